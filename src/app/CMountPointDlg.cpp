#include "app/CMountPointDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/Artwork.h"
#include "jobdata/Records.h"
#include "text/Cp1254.h"

CMountPointDlg::CMountPointDlg(const QString& caption, const QString& option, QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(caption);
  auto* picture = new QLabel(this);
  picture->setPixmap(MountpointPicture());
  auto* prompt = new QLabel(
      QStringLiteral("Dosyadan MOUNTPOINT değeri alınamamıştır\nAşağıdaki değerlerden seçiminizi yapınız"), this);
  m_pCombo = new QComboBox(this);
  m_pCombo->setEditable(true);
  m_pCombo->setInsertPolicy(QComboBox::NoInsert);
  for (const char* name : kMountpoints) m_pCombo->addItem(QString::fromLatin1(name));
  m_pCombo->setCurrentIndex(0);
  if (!option.trimmed().isEmpty()) m_pCombo->setCurrentText(option.trimmed());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  connect(m_pCombo, &QComboBox::currentTextChanged, ok,
          [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QGridLayout(this);
  // Room between the prompt and the buttons, which otherwise touch.
  layout->setHorizontalSpacing(16);
  layout->setVerticalSpacing(8);
  layout->addWidget(picture, 0, 0, Qt::AlignTop);
  layout->addWidget(prompt, 0, 1);
  layout->addWidget(m_pCombo, 1, 1);
  layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
}

std::string CMountPointDlg::GetValue() const {
  return text::Utf8ToCp1254(m_pCombo->currentText().trimmed().toStdString());
}
