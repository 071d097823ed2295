#include "app/COlcuYontemDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "jobdata/Records.h"

COlcuYontemDlg::COlcuYontemDlg(const QString& caption, QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(caption.isEmpty() ? QStringLiteral("Ölçü Yöntemi") : caption);
  auto* group = new QGroupBox(QStringLiteral("TSJ Dosyasındaki Noktaların Ölçü Yöntemi"), this);
  m_pRtk = new QRadioButton(QStringLiteral("RTK"), group);
  m_pCors = new QRadioButton(QStringLiteral("CORS (TUSAGA)"), group);
  m_pCombo = new QComboBox(group);
  for (const char* name : kMountpoints) m_pCombo->addItem(QString::fromLatin1(name));
  m_pCombo->setCurrentIndex(0);
  m_pRtk->setChecked(true);
  m_pCombo->setEnabled(false);
  connect(m_pCors, &QRadioButton::toggled, m_pCombo, &QWidget::setEnabled);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_pRtk);
  groupLayout->addWidget(m_pCors);
  groupLayout->addWidget(m_pCombo);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons, 0, Qt::AlignTop);
}

std::string COlcuYontemDlg::GetValue() const {
  return m_pCors->isChecked() ? m_pCombo->currentText().toStdString() : std::string("RTK");
}
