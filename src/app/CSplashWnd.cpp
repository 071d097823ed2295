#include "app/CSplashWnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CSplashWnd::CSplashWnd(const QPixmap& picture, QWidget* pParent)
    : QWidget(pParent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setCursor(Qt::ArrowCursor);
  setFixedSize(m_picture.isNull() ? QSize(0, 0) : m_picture.size());
}

void CSplashWnd::ShowCentred() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
  }
  show();
  raise();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_picture);
}

void CSplashWnd::closeEvent(QCloseEvent* event) {
  if (m_bCloseAllowed) {
    event->accept();
  } else {
    event->ignore();
  }
}

// Dragged like by a caption; a click never closes it.
void CSplashWnd::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_bDragging = true;
  m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
  event->accept();
}

void CSplashWnd::mouseMoveEvent(QMouseEvent* event) {
  if (!m_bDragging) return;
  move(event->globalPosition().toPoint() - m_dragOffset);
  event->accept();
}

void CSplashWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bDragging = false;
  event->accept();
}
