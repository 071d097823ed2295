#pragma once
// A borderless window that shows the whole text of a clipped cell over the cell while the
// pointer rests on it.
#include <QWidget>

class CTitleTip : public QWidget {
  Q_OBJECT

 public:
  explicit CTitleTip(QWidget* pParent);

  // rectCell in global coordinates; the tip grows to the text's width.
  void Show(const QRect& rectCell, const QString& strText, const QFont& font);
  void Hide();
  QString Text() const { return m_strText; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_strText;
};
