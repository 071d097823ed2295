#pragma once
// The single-line editor that covers a cell while it is edited in place. It ends itself on
// Enter, Tab, Escape (text put back), losing the focus, and on the arrow and page keys
// when it was opened by typing or Ctrl is held; EditEnded fires exactly once.
#include <QLineEdit>

class CInPlaceEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kChildId = 8;

  // nFirstKey tells how the edit opened: 0 (mouse, Enter, F2) puts the caret at the end,
  // Backspace deletes the last character, Tab, blank and navigation keys select the text,
  // any other key replaces the text by strTyped.
  CInPlaceEdit(QWidget* pParent, const QRect& rect, int nRow, int nCol, const QString& strInit,
               int nFirstKey, const QString& strTyped);

  int Row() const { return m_nRow; }
  int Col() const { return m_nCol; }
  // Ends the edit as if the key had been pressed (0: focus lost).
  void EndEdit(int nLastKey);

 signals:
  void EditEnded(int nRow, int nCol, const QString& strText, int nLastKey);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void FitToText();

  int m_nRow;
  int m_nCol;
  QString m_strInitText;
  bool m_bExitOnArrows;
  bool m_bEnded = false;
  QRect m_rect;
};
