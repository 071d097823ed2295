#include "app/CBoylamDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>

#include "jobdata/Records.h"

CBoylamDlg::CBoylamDlg(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QStringLiteral("DİLİM ORTA MERİDYENİ"));
  m_pCombo = new QComboBox(this);
  for (const char* meridian : kMeridians) m_pCombo->addItem(QString::fromLatin1(meridian));
  m_pCombo->setCurrentIndex(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("D.O.M. :"), this), 0, Qt::AlignTop);
  layout->addWidget(m_pCombo, 0, Qt::AlignTop);
  layout->addWidget(buttons);
}

std::string CBoylamDlg::GetValue() const { return m_pCombo->currentText().toStdString(); }
