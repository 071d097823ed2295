#include "grid/TitleTip.h"

#include <QFontMetrics>
#include <QPainter>

CTitleTip::CTitleTip(QWidget* pParent)
    : QWidget(pParent, Qt::ToolTip | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
}

void CTitleTip::Show(const QRect& rectCell, const QString& strText, const QFont& font) {
  m_strText = strText;
  setFont(font);
  const int nWidth = QFontMetrics(font).horizontalAdvance(strText) + 8;
  setGeometry(rectCell.left(), rectCell.top(), std::max(nWidth, rectCell.width()),
              rectCell.height());
  show();
  update();
}

void CTitleTip::Hide() {
  m_strText.clear();
  hide();
}

void CTitleTip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().toolTipBase());
  painter.setPen(palette().toolTipText().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.drawText(rect().adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, m_strText);
}
