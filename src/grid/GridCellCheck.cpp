#include "grid/GridCellCheck.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "grid/GridCtrl.h"

bool CGridCellCheck::SetCheck(bool bChecked) {
  const bool bOld = m_bChecked != 0;
  m_bChecked = bChecked ? 1 : 0;
  if (bOld != bChecked) {
    if (CGridCtrl* grid = GetGrid()) grid->Refresh();
  }
  return bOld;
}

int CGridCellCheck::BoxSide() const {
  // The side of the box is the height of a horizontal scroll bar.
  QStyle* style = QApplication::style();
  return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
}

QRect CGridCellCheck::GetCheckPlacement(const QRect& cellRect) const {
  const int side = BoxSide();
  const int m = GetMargin();
  int top = cellRect.top() + m;
  if (cellRect.height() < side + 2 * m) top = cellRect.top() + (cellRect.height() - side) / 2;
  return {cellRect.left() + m, top, side, side};
}

QRect CGridCellCheck::GetTextRect(const QRect& cellRect) const {
  QRect r = CGridCell::GetTextRect(cellRect);
  r.setLeft(GetCheckPlacement(cellRect).right() + 1 + GetMargin());
  return r;
}

QSize CGridCellCheck::GetCellExtent() const {
  const QSize ext = CGridCell::GetCellExtent();
  const int side = BoxSide();
  return {ext.width() + side + 2 * GetMargin(), std::max(ext.height(), side + 2 * GetMargin())};
}

void CGridCellCheck::Draw(QPainter& painter, const QRect& rect, unsigned nDrawState) {
  CGridCell::Draw(painter, rect, nDrawState);
  QStyleOptionButton opt;
  opt.rect = GetCheckPlacement(rect);
  opt.state = QStyle::State_Enabled | (m_bChecked ? QStyle::State_On : QStyle::State_Off);
  const CGridCtrl* grid = GetGrid();
  QStyle* style = grid ? grid->style() : QApplication::style();
  style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &painter, grid);
}

void CGridCellCheck::OnClick(QPoint pointCellRelative, const QRect& cellRect) {
  const CGridCtrl* grid = GetGrid();
  if (!grid || !grid->CanTick() || IsReadOnly()) return;
  const QRect box = GetCheckPlacement(QRect(QPoint(0, 0), cellRect.size()));
  if (box.contains(pointCellRelative)) SetCheck(!GetCheck());
}

void CGridCellCheck::Reset() {
  CGridCell::Reset();
  m_bChecked = 0;
}
