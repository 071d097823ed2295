#pragma once
// The splash window: the picture centred on the screen, without frame or task bar
// button, ignoring close requests until start-up allows them, dragged by the mouse.
#include <QPixmap>
#include <QWidget>

class CSplashWnd : public QWidget {
  Q_OBJECT

 public:
  explicit CSplashWnd(const QPixmap& picture, QWidget* pParent = nullptr);

  // Shows the window centred on the primary screen.
  void ShowCentred();
  void AllowClose() { m_bCloseAllowed = true; }
  bool IsCloseAllowed() const { return m_bCloseAllowed; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPixmap m_picture;
  bool m_bCloseAllowed = false;
  bool m_bDragging = false;
  QPoint m_dragOffset;  // from the window's corner to the pointer, global coordinates
};
