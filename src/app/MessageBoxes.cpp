#include "app/MessageBoxes.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

void FitToText(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  const QScreen* screen = box.screen();
  if (!label || !screen) return;
  const QFontMetrics metrics(label->font());
  int widest = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
  // Qt's own limits: no wrapping up to the soft one, no box wider than the hard one.
  const int screenWidth = screen->availableGeometry().width();
  const int softLimit = std::min(screenWidth / 2, 500);
  constexpr int kIconAndMargins = 120;
  const int width = std::min(widest + 4, std::min(screenWidth - 480, 1000) - kIconAndMargins);
  if (width <= softLimit) return;
  box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(width));
}

void ShowMessageBox(QWidget* pParent, std::string_view utf8Text, MessageIcon icon) {
  QMessageBox::Icon boxIcon = QMessageBox::Information;
  if (icon == MessageIcon::Warning) boxIcon = QMessageBox::Warning;
  if (icon == MessageIcon::Error) boxIcon = QMessageBox::Critical;
  QMessageBox box(boxIcon, QStringLiteral("Velmira"), QString::fromUtf8(utf8Text.data(), static_cast<int>(utf8Text.size())),
                  QMessageBox::Ok, pParent);
  FitToText(box);
  box.exec();
}

bool AskToGoOn(QWidget* pParent, const QString& text, const QString& goOn) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Velmira"), text, QMessageBox::NoButton, pParent);
  QPushButton* go = box.addButton(goOn, QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
  box.setDefaultButton(go);
  FitToText(box);
  box.exec();
  return box.clickedButton() == go;
}
