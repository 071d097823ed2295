#include "grid/InPlaceEdit.h"

#include <QKeyEvent>

CInPlaceEdit::CInPlaceEdit(QWidget* pParent, const QRect& rect, int nRow, int nCol,
                           const QString& strInit, int nFirstKey, const QString& strTyped)
    : QLineEdit(pParent), m_nRow(nRow), m_nCol(nCol), m_strInitText(strInit), m_rect(rect) {
  setFont(pParent->font());
  setFrame(true);
  setGeometry(rect);
  setText(strInit);
  // Opened by typing, the arrows leave the cell as they would without an editor.
  m_bExitOnArrows = nFirstKey != 0 && nFirstKey != Qt::Key_Return && nFirstKey != Qt::Key_Enter;
  switch (nFirstKey) {
    case 0:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      end(false);
      break;
    case Qt::Key_Backspace:
      end(false);
      backspace();
      break;
    case Qt::Key_Tab:
    case Qt::Key_Space:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      selectAll();
      break;
    default:
      setText(strTyped);
      end(false);
      break;
  }
  connect(this, &QLineEdit::textChanged, this, [this] { FitToText(); });
  FitToText();
  show();
  setFocus();
}

void CInPlaceEdit::FitToText() {
  if (!parentWidget()) return;
  const int nWanted =
      fontMetrics().horizontalAdvance(text() + QStringLiteral("  ")) + 10;
  const int nMax = parentWidget()->width() - m_rect.left();
  const int nWidth = std::max(m_rect.width(), std::min(nWanted, nMax));
  if (nWidth != width()) resize(nWidth, height());
}

void CInPlaceEdit::EndEdit(int nLastKey) {
  if (m_bEnded) return;
  m_bEnded = true;
  emit EditEnded(m_nRow, m_nCol, text(), nLastKey);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool bCtrl = event->modifiers() & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      EndEdit(key);
      return;
    case Qt::Key_Escape:
      setText(m_strInitText);
      EndEdit(key);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (m_bExitOnArrows || bCtrl) {
        EndEdit(key);
        return;
      }
      break;
    default:
      break;
  }
  QLineEdit::keyPressEvent(event);
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  EndEdit(0);
}
