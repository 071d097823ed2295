#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "app/Artwork.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QStringLiteral("About Velmira"));
  auto* icon = new QLabel(this);
  icon->setPixmap(ApplicationIcon().pixmap(32, 32));
  auto* name = new QLabel(QStringLiteral("Velmira, Version 1.4"), this);
  auto* maker = new QLabel(QStringLiteral("Pelinor\nGNSS iş dosyalarından kadastro formları"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, Qt::AlignTop);
  layout->addWidget(name, 0, 1);
  layout->addWidget(maker, 1, 1);
  layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignRight);
  setFixedSize(sizeHint());
}
