// Painting, scrolling and the input handlers of CGridCtrl. Handlers turn an event into a
// selection move (CGridSelection) or one of the control's operations.
#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "grid/GridCtrl.h"
#include "grid/GridDropTarget.h"
#include "grid/InPlaceEdit.h"
#include "grid/TitleTip.h"
#include "text/Cp1254.h"

int CGridCtrl::ScrollY() const { return verticalScrollBar()->value(); }
int CGridCtrl::ScrollX() const { return horizontalScrollBar()->value(); }

int CGridCtrl::RowY(int nRow) const {
  return m_geometry.RowTop(nRow) - (nRow < m_nFixedRows ? 0 : ScrollY());
}

int CGridCtrl::ColX(int nCol) const {
  return m_geometry.ColLeft(nCol) - (nCol < m_nFixedCols ? 0 : ScrollX());
}

QRect CGridCtrl::GetCellRect(int nRow, int nCol) const {
  if (!IsValid(nRow, nCol)) return {};
  const int w = m_geometry.GetColumnWidth(nCol), h = m_geometry.GetRowHeight(nRow);
  if (w == 0 || h == 0) return {};
  return {ColX(nCol), RowY(nRow), w, h};
}

CCellID CGridCtrl::GetCellFromPt(QPoint point) const {
  const int fixedH = m_geometry.RowTop(m_nFixedRows), fixedW = m_geometry.ColLeft(m_nFixedCols);
  const int row = point.y() < fixedH ? m_geometry.RowAt(point.y()) : m_geometry.RowAt(point.y() + ScrollY());
  const int col = point.x() < fixedW ? m_geometry.ColAt(point.x()) : m_geometry.ColAt(point.x() + ScrollX());
  if (row < 0 || col < 0 || point.x() < 0 || point.y() < 0) return {};
  return {row, col};
}

CCellRange CGridCtrl::GetVisibleNonFixedCellRange() const {
  const int fixedH = m_geometry.RowTop(m_nFixedRows), fixedW = m_geometry.ColLeft(m_nFixedCols);
  const QSize vs = viewport()->size();
  auto last = [](int at, int total, auto find) { return find(std::min(at, total - 1)); };
  const int r0 = m_geometry.RowAt(fixedH + ScrollY());
  const int c0 = m_geometry.ColAt(fixedW + ScrollX());
  const int r1 = last(ScrollY() + vs.height() - 1, m_geometry.TotalHeight(),
                      [&](int y) { return m_geometry.RowAt(y); });
  const int c1 = last(ScrollX() + vs.width() - 1, m_geometry.TotalWidth(),
                      [&](int x) { return m_geometry.ColAt(x); });
  if (r0 < 0 || c0 < 0) return {};
  return {r0, c0, std::max(r0, r1 < 0 ? GetRowCount() - 1 : r1),
          std::max(c0, c1 < 0 ? GetColumnCount() - 1 : c1)};
}

void CGridCtrl::ResetScrollBars() {
  const QSize vs = viewport()->size();
  const int fixedH = m_geometry.RowTop(m_nFixedRows), fixedW = m_geometry.ColLeft(m_nFixedCols);
  verticalScrollBar()->setRange(0, std::max(0, m_geometry.TotalHeight() - vs.height()));
  verticalScrollBar()->setPageStep(std::max(1, vs.height() - fixedH));
  verticalScrollBar()->setSingleStep(std::max(1, m_cellDefault.GetHeight()));
  horizontalScrollBar()->setRange(0, std::max(0, m_geometry.TotalWidth() - vs.width()));
  horizontalScrollBar()->setPageStep(std::max(1, vs.width() - fixedW));
  horizontalScrollBar()->setSingleStep(std::max(1, m_cellDefault.GetWidth() / 4));
}

void CGridCtrl::EnsureVisible(CCellID cell) {
  if (!IsValid(cell)) return;
  const QSize vs = viewport()->size();
  const int fixedH = m_geometry.RowTop(m_nFixedRows), fixedW = m_geometry.ColLeft(m_nFixedCols);
  if (cell.row >= m_nFixedRows) {
    const int top = m_geometry.RowTop(cell.row), bottom = top + m_geometry.GetRowHeight(cell.row);
    if (top - ScrollY() < fixedH) verticalScrollBar()->setValue(top - fixedH);
    else if (bottom - ScrollY() > vs.height()) verticalScrollBar()->setValue(bottom - vs.height());
  }
  if (cell.col >= m_nFixedCols) {
    const int left = m_geometry.ColLeft(cell.col), right = left + m_geometry.GetColumnWidth(cell.col);
    if (left - ScrollX() < fixedW) horizontalScrollBar()->setValue(left - fixedW);
    else if (right - ScrollX() > vs.width()) horizontalScrollBar()->setValue(right - vs.width());
  }
}

void CGridCtrl::InvalidateCell(int nRow, int nCol) {
  const QRect r = GetCellRect(nRow, nCol);
  if (!r.isNull()) viewport()->update(r);
}

void CGridCtrl::InvalidateRange(const CCellRange& range) {
  if (!range.IsValid()) return;
  const CCellRange vis = GetVisibleNonFixedCellRange();
  const int r0 = std::max(range.GetMinRow(), vis.GetMinRow()), r1 = std::min(range.GetMaxRow(), vis.GetMaxRow());
  const int c0 = std::max(range.GetMinCol(), vis.GetMinCol()), c1 = std::min(range.GetMaxCol(), vis.GetMaxCol());
  if (r0 > r1 || c0 > c1) return;
  const QRect rect(QPoint(ColX(c0), RowY(r0)),
                   QPoint(ColX(c1) + GetColumnWidth(c1) - 1, RowY(r1) + GetRowHeight(r1) - 1));
  viewport()->update(rect);
}

void CGridCtrl::scrollContentsBy(int, int) {
  if (m_pEditor) m_pEditor->EndEdit(0);
  m_pTitleTip->Hide();
  viewport()->update();
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (!m_bDropTargetRegistered) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    m_bDropTargetRegistered = true;
  }
  ResetScrollBars();
}

// ---- painting -------------------------------------------------------------------------

void CGridCtrl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), m_crWindowColour);
  PaintCells(painter, event->rect());
}

void CGridCtrl::PaintCells(QPainter& painter, const QRect& clip) {
  const CCellRange vis = GetVisibleNonFixedCellRange();
  const int fixedH = m_geometry.RowTop(m_nFixedRows), fixedW = m_geometry.ColLeft(m_nFixedCols);
  const QSize vs = viewport()->size();

  auto drawCell = [&](int r, int c) {
    const QRect rect = GetCellRect(r, c);
    if (rect.isNull() || !rect.intersects(clip)) return;
    CGridCellBase* cell = GetCell(r, c);
    if (!cell) return;
    unsigned state = GetItemState(r, c);
    if (!m_bTrackFocusCell) state &= ~GVIS_FOCUSED;
    painter.save();
    painter.setClipRect(rect.intersected(clip));
    cell->Draw(painter, rect, state);
    if (!cell->IsFixed()) {
      painter.setPen(m_crGridLineColour);
      if (m_bGridLinesVert) painter.drawLine(rect.topRight(), rect.bottomRight());
      if (m_bGridLinesHorz) painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    } else if (r < m_nFixedRows && c == m_nSortColumn && m_bSortOnClick) {
      // In the room the header text leaves free for it; pointing up when ascending.
      const QRect a = SortArrowRectIn(rect);
      const QPolygon tri = m_bAscending
                               ? QPolygon({a.bottomLeft(), a.bottomRight(), QPoint(a.center().x(), a.top())})
                               : QPolygon({a.topLeft(), a.topRight(), QPoint(a.center().x(), a.bottom())});
      painter.setBrush(m_crShadowColour.darker(160));  // the plain shadow is too faint on a header
      painter.setPen(Qt::NoPen);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.drawPolygon(tri);
    }
    painter.restore();
  };

  // Scrolled cells first, then the fixed rows and columns over them.
  if (vis.IsValid()) {
    painter.save();
    painter.setClipRect(QRect(fixedW, fixedH, vs.width() - fixedW, vs.height() - fixedH));
    for (int r = vis.GetMinRow(); r <= vis.GetMaxRow(); ++r) {
      for (int c = vis.GetMinCol(); c <= vis.GetMaxCol(); ++c) drawCell(r, c);
    }
    painter.restore();
  }
  for (int r = 0; r < m_nFixedRows; ++r) {
    if (vis.IsValid()) {
      for (int c = vis.GetMinCol(); c <= vis.GetMaxCol(); ++c) drawCell(r, c);
    }
  }
  for (int c = 0; c < m_nFixedCols; ++c) {
    if (vis.IsValid()) {
      for (int r = vis.GetMinRow(); r <= vis.GetMaxRow(); ++r) drawCell(r, c);
    }
    for (int r = 0; r < m_nFixedRows; ++r) drawCell(r, c);
  }
  // A header over an empty table still shows.
  if (!vis.IsValid()) {
    const int c0 = std::max(m_nFixedCols, m_geometry.ColAt(fixedW + ScrollX()));
    for (int r = 0; r < m_nFixedRows && c0 >= 0; ++r) {
      for (int c = c0; c < GetColumnCount() && ColX(c) < vs.width(); ++c) drawCell(r, c);
    }
  }
}

namespace {
constexpr int kSortArrowWidth = 9;  // pixels; the arrow is half as high
}  // namespace

int CGridCtrl::GetSortArrowRoom() const {
  return m_bSortOnClick ? kSortArrowWidth + m_cellFixedRowDef.GetMargin() : 0;
}

QRect CGridCtrl::SortArrowRectIn(const QRect& cellRect) const {
  const int h = (kSortArrowWidth + 1) / 2;
  return {cellRect.right() - m_cellFixedRowDef.GetMargin() - kSortArrowWidth + 1,
          cellRect.center().y() - h / 2, kSortArrowWidth, h};
}

QRect CGridCtrl::GetSortArrowRect(int nCol) const {
  if (!m_bSortOnClick || nCol != m_nSortColumn || m_nFixedRows == 0) return {};
  const QRect cell = GetCellRect(0, nCol);
  return cell.isNull() ? QRect() : SortArrowRectIn(cell);
}

// ---- mouse --------------------------------------------------------------------------

int CGridCtrl::ColumnDividerAt(QPoint point) const {
  if (!m_bAllowColumnResize || point.y() >= m_geometry.RowTop(m_nFixedRows)) return -1;
  const CCellID cell = GetCellFromPt(point);
  const int nCols = GetColumnCount();
  if (nCols == 0) return -1;
  if (!cell.IsValid()) {
    // Past the last column: its right edge.
    const int right = ColX(nCols - 1) + GetColumnWidth(nCols - 1);
    return point.x() >= right && point.x() - right <= kResizeCaptureRange ? nCols - 1 : -1;
  }
  const int left = ColX(cell.col), right = left + GetColumnWidth(cell.col);
  if (right - point.x() <= kResizeCaptureRange) return cell.col;
  if (point.x() - left < kResizeCaptureRange && cell.col > 0) {
    // Right of a divider: the column before it, which may be a hidden one.
    int col = cell.col - 1;
    if (!m_bHiddenColUnhide) col = m_geometry.VisibleColFrom(col, -1, 0);
    return col;
  }
  return -1;
}

int CGridCtrl::RowDividerAt(QPoint point) const {
  if (!m_bAllowRowResize || point.x() >= m_geometry.ColLeft(m_nFixedCols)) return -1;
  const CCellID cell = GetCellFromPt(point);
  if (!cell.IsValid()) return -1;
  const int top = RowY(cell.row), bottom = top + GetRowHeight(cell.row);
  if (bottom - point.y() <= kResizeCaptureRange) return cell.row;
  if (point.y() - top < kResizeCaptureRange && cell.row > 0) {
    int row = cell.row - 1;
    if (!m_bHiddenRowUnhide) row = m_geometry.VisibleRowFrom(row, -1, 0);
    return row;
  }
  return -1;
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  m_pTitleTip->Hide();
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  if (m_pEditor) m_pEditor->EndEdit(0);
  m_leftClickDownPoint = pos;
  m_leftClickDownCell = GetCellFromPt(pos);

  if (const int col = ColumnDividerAt(pos); col >= 0) {
    m_mouseMode = MouseMode::SizingColumn;
    m_nSizingIndex = col;
    m_nSizingOrigin = ColX(col);
    return;
  }
  if (const int row = RowDividerAt(pos); row >= 0) {
    m_mouseMode = MouseMode::SizingRow;
    m_nSizingIndex = row;
    m_nSizingOrigin = RowY(row);
    return;
  }
  const CCellID cell = m_leftClickDownCell;
  if (!IsValid(cell)) return;
  if (cell.row < m_nFixedRows) return OnFixedRowClick(cell);
  if (cell.col < m_nFixedCols) return OnFixedColumnClick(cell);

  const Qt::KeyboardModifiers mods = event->modifiers();
  if (m_bAllowDragAndDrop && IsCellSelected(cell.row, cell.col) && mods == Qt::NoModifier) {
    m_mouseMode = MouseMode::PrepareDrag;
    return;
  }
  CGridSelection next = m_selection;
  next.BeginDrag();
  next.Click(cell, mods & Qt::ShiftModifier, mods & Qt::ControlModifier, SelectionMode());
  CommitSelection(next);
  m_mouseMode = MouseMode::SelectCells;
}

void CGridCtrl::OnFixedRowClick(CCellID cell) {
  if (m_bSortOnClick) {
    const bool bAscending = cell.col != m_nSortColumn || !m_bAscending;
    SortItems(cell.col, bAscending);
  }
  if (m_bFixedColumnSelection && cell.col >= m_nFixedCols && GetRowCount() > m_nFixedRows) {
    CGridSelection next = m_selection;
    next.SetFocusCell({m_nFixedRows, cell.col});
    next.SelectColumn(cell.col, SelectionMode());
    CommitSelection(next);
  }
}

void CGridCtrl::OnFixedColumnClick(CCellID cell) {
  if (!m_bFixedRowSelection) return;
  CGridSelection next = m_selection;
  next.SetFocusCell({cell.row, m_nFixedCols});
  next.SelectRow(cell.row, SelectionMode());
  CommitSelection(next);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  m_lastMousePoint = pos;
  if (!(event->buttons() & Qt::LeftButton)) {
    const bool bCol = ColumnDividerAt(pos) >= 0, bRow = RowDividerAt(pos) >= 0;
    viewport()->setCursor(bCol ? Qt::SplitHCursor : bRow ? Qt::SplitVCursor : Qt::ArrowCursor);
    UpdateTitleTip(pos);
    return;
  }
  switch (m_mouseMode) {
    case MouseMode::SizingColumn:
      SetColumnWidth(m_nSizingIndex, std::max(pos.x() - m_nSizingOrigin, m_bAllowColHide ? 0 : 1));
      break;
    case MouseMode::SizingRow:
      SetRowHeight(m_nSizingIndex, std::max(pos.y() - m_nSizingOrigin, m_bAllowRowHide ? 0 : 1));
      break;
    case MouseMode::SelectCells: {
      if (!viewport()->rect().contains(pos)) {
        if (!m_dragSelectTimer.isActive()) m_dragSelectTimer.start(kDragSelectTimerMs, this);
        break;
      }
      const CCellID cell = GetCellFromPt(pos);
      if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) {
        CGridSelection next = m_selection;
        next.DragTo(cell, event->modifiers() & Qt::ControlModifier, SelectionMode());
        CommitSelection(next);
      }
      break;
    }
    case MouseMode::PrepareDrag:
      if ((pos - m_leftClickDownPoint).manhattanLength() >= QApplication::startDragDistance()) {
        m_mouseMode = MouseMode::Nothing;
        StartDrag();
      }
      break;
    default:
      break;
  }
}

void CGridCtrl::timerEvent(QTimerEvent* event) {
  if (event->timerId() != m_dragSelectTimer.timerId()) return QAbstractScrollArea::timerEvent(event);
  if (m_mouseMode != MouseMode::SelectCells || !(QApplication::mouseButtons() & Qt::LeftButton)) {
    m_dragSelectTimer.stop();
    return;
  }
  const QPoint pos = m_lastMousePoint;
  const QRect vr = viewport()->rect();
  if (pos.y() >= vr.height()) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  if (pos.y() < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (pos.x() >= vr.width()) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  if (pos.x() < 0) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  const QPoint inside(std::clamp(pos.x(), m_geometry.ColLeft(m_nFixedCols), vr.width() - 1),
                      std::clamp(pos.y(), m_geometry.RowTop(m_nFixedRows), vr.height() - 1));
  const CCellID cell = GetCellFromPt(inside);
  if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) {
    CGridSelection next = m_selection;
    next.DragTo(cell, QApplication::keyboardModifiers() & Qt::ControlModifier, SelectionMode());
    CommitSelection(next);
  }
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const CCellID cell = GetCellFromPt(pos);
  if (event->button() == Qt::RightButton) {
    emit CellRightClick(cell.row, cell.col);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  m_dragSelectTimer.stop();
  const MouseMode mode = m_mouseMode;
  m_mouseMode = MouseMode::Nothing;
  if (mode == MouseMode::SizingColumn || mode == MouseMode::SizingRow) return;
  const CCellID down = m_leftClickDownCell;
  if (mode == MouseMode::PrepareDrag) {
    // No drag after all: an ordinary click.
    CGridSelection next = m_selection;
    next.Click(down, false, false, SelectionMode());
    CommitSelection(next);
  }
  if (IsValid(down) && cell == down) {
    if (CGridCellBase* pCell = GetCell(down.row, down.col)) {
      const QRect rect = GetCellRect(down.row, down.col);
      pCell->OnClick(pos - rect.topLeft(), rect);
    }
  }
  emit CellClick(down.row, down.col);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  if (const int col = ColumnDividerAt(pos); col >= 0) {
    AutoSizeColumn(col);
    return;
  }
  if (const int row = RowDividerAt(pos); row >= 0) {
    AutoSizeRow(row);
    return;
  }
  const CCellID cell = GetCellFromPt(pos);
  if (!IsValid(cell)) return;
  emit CellDoubleClick(cell.row, cell.col);
  if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) {
    const CGridCellBase* pCell = GetCell(cell.row, cell.col);
    const QRect rect = GetCellRect(cell.row, cell.col);
    if (pCell && pCell->GetTextRect(rect).contains(pos)) EditCell(cell.row, cell.col, 0);
  }
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) return;
  verticalScrollBar()->setValue(ScrollY() - notches * m_nRowsPerWheelNotch *
                                                std::max(1, m_cellDefault.GetHeight()));
  event->accept();
}

bool CGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) m_pTitleTip->Hide();
  return QAbstractScrollArea::viewportEvent(event);
}

void CGridCtrl::UpdateTitleTip(QPoint point) {
  const CCellID cell = GetCellFromPt(point);
  const CGridCellBase* pCell = GetCell(cell.row, cell.col);
  if (!m_bTitleTips || m_pEditor || !pCell || pCell->GetText().empty()) {
    m_pTitleTip->Hide();
    return;
  }
  const QRect rect = pCell->GetTipTextRect(GetCellRect(cell.row, cell.col));
  const bool bWrap = (pCell->GetFormat() & DT_WORDBREAK) && !(pCell->GetFormat() & DT_SINGLELINE);
  if (bWrap || pCell->GetTextExtent(pCell->GetText()).width() <= rect.width()) {
    m_pTitleTip->Hide();
    return;
  }
  const QRect global(viewport()->mapToGlobal(rect.topLeft()), rect.size());
  if (m_pTitleTip->isVisible() && m_pTitleTip->geometry().topLeft() == global.topLeft()) return;
  m_pTitleTip->Show(global, pCell->GetTipText(), pCell->GetFont());
}

// ---- keyboard -----------------------------------------------------------------------

CCellID CGridCtrl::NextCellForKey(int nKey, Qt::KeyboardModifiers mods) const {
  const int firstRow = m_geometry.VisibleRowFrom(m_nFixedRows, 1, m_nFixedRows);
  const int firstCol = m_geometry.VisibleColFrom(m_nFixedCols, 1, m_nFixedCols);
  const int lastRow = m_geometry.VisibleRowFrom(GetRowCount() - 1, -1, m_nFixedRows);
  const int lastCol = m_geometry.VisibleColFrom(GetColumnCount() - 1, -1, m_nFixedCols);
  if (firstRow < 0 || firstCol < 0) return {};
  CCellID f = GetFocusCell();
  if (!IsValid(f) || f.row < m_nFixedRows || f.col < m_nFixedCols) return {firstRow, firstCol};
  auto orStay = [](int n, int stay) { return n < 0 ? stay : n; };
  const bool bCtrl = mods & Qt::ControlModifier;
  switch (nKey) {
    case Qt::Key_Up: return {orStay(m_geometry.VisibleRowFrom(f.row - 1, -1, m_nFixedRows), f.row), f.col};
    case Qt::Key_Down: return {orStay(m_geometry.VisibleRowFrom(f.row + 1, 1, m_nFixedRows), f.row), f.col};
    case Qt::Key_Left: return {f.row, orStay(m_geometry.VisibleColFrom(f.col - 1, -1, m_nFixedCols), f.col)};
    case Qt::Key_Right: return {f.row, orStay(m_geometry.VisibleColFrom(f.col + 1, 1, m_nFixedCols), f.col)};
    case Qt::Key_Home: return bCtrl ? CCellID(firstRow, firstCol) : CCellID(f.row, firstCol);
    case Qt::Key_End: return bCtrl ? CCellID(lastRow, lastCol) : CCellID(f.row, lastCol);
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const int page = verticalScrollBar()->pageStep() * (nKey == Qt::Key_PageUp ? -1 : 1);
      const int y = m_geometry.RowTop(f.row) + page;
      int row = m_geometry.RowAt(std::clamp(y, 0, std::max(0, m_geometry.TotalHeight() - 1)));
      if (row < 0) row = nKey == Qt::Key_PageUp ? firstRow : lastRow;
      row = std::clamp(row, firstRow, lastRow);
      return {orStay(m_geometry.VisibleRowFrom(row, 1, m_nFixedRows), lastRow), f.col};
    }
    default: return f;
  }
}

void CGridCtrl::MoveFocusTo(CCellID cell, bool bShift) {
  if (!IsValid(cell)) return;
  CGridSelection next = m_selection;
  next.MoveTo(cell, bShift, SelectionMode());
  CommitSelection(next);
  EnsureVisible(cell);
}

bool CGridCtrl::HandleTab(bool bBack) {
  const CCellID f = GetFocusCell();
  if (!IsValid(f)) return false;
  const int step = bBack ? -1 : 1;
  CCellID next(f.row, m_geometry.VisibleColFrom(f.col + step, step, m_nFixedCols));
  if (next.col < 0) {
    next.row = m_geometry.VisibleRowFrom(f.row + step, step, m_nFixedRows);
    next.col = bBack ? m_geometry.VisibleColFrom(GetColumnCount() - 1, -1, m_nFixedCols)
                     : m_geometry.VisibleColFrom(m_nFixedCols, 1, m_nFixedCols);
    if (next.row < 0 || next.col < 0) return false;  // at the table's end: focus moves on
  }
  MoveFocusTo(next, false);
  return true;
}

bool CGridCtrl::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress && m_bTabMoves) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        !(key->modifiers() & Qt::ControlModifier)) {
      if (HandleTab(key->key() == Qt::Key_Backtab)) return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool bCtrl = mods & Qt::ControlModifier, bShift = mods & Qt::ShiftModifier;
  const CCellID focus = GetFocusCell();
  if (bCtrl) {
    switch (key) {
      case Qt::Key_C:
      case Qt::Key_Insert:
        if (m_bCopyKeys) CopySelection();
        return;
      case Qt::Key_X: CutSelection(); return;
      case Qt::Key_V: Paste(); return;
      case Qt::Key_A: SelectAllCells(); return;
      case Qt::Key_Plus:
        if (mods & Qt::KeypadModifier) AutoSizeColumns();
        return;
      default: break;
    }
  }
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      MoveFocusTo(NextCellForKey(key, mods), bShift);
      return;
    case Qt::Key_Delete:
      ClearSelectedTexts();
      return;
    case Qt::Key_F2:
      EditCell(focus.row, focus.col, 0);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
      EditCell(focus.row, focus.col, key);
      return;
    case Qt::Key_Escape:
      return;
    default:
      break;
  }
  const QString typed = event->text();
  if (!bCtrl && !typed.isEmpty() && typed.at(0).isPrint()) {
    EditCell(focus.row, focus.col, key, typed);
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

// ---- in-place editing ---------------------------------------------------------------

bool CGridCtrl::EditCell(int nRow, int nCol, int nKey, const QString& strTyped) {
  if (!IsCellEditable(nRow, nCol) || m_pEditor) return false;
  if (GetRowHeight(nRow) == 0 || GetColumnWidth(nCol) == 0) return false;
  bool bAllow = true;
  emit BeginEdit(nRow, nCol, &bAllow);
  if (!bAllow) return false;
  EnsureVisible({nRow, nCol});
  CGridCellBase* cell = GetCell(nRow, nCol);
  const QRect rect = cell->GetTextRect(GetCellRect(nRow, nCol))
                         .united(GetCellRect(nRow, nCol).adjusted(0, 0, -1, -1))
                         .intersected(GetCellRect(nRow, nCol));
  cell->SetEditing(true);
  auto* editor = new CInPlaceEdit(viewport(), rect, nRow, nCol, GetItemText(nRow, nCol), nKey, strTyped);
  m_pEditor = editor;
  connect(editor, &CInPlaceEdit::EditEnded, this, &CGridCtrl::OnEndInPlaceEdit);
  return true;
}

void CGridCtrl::OnEndInPlaceEdit(int nRow, int nCol, const QString& strText, int nLastKey) {
  if (CInPlaceEdit* editor = m_pEditor.data()) {
    m_pEditor = nullptr;
    editor->hide();
    editor->deleteLater();
  }
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return;
  cell->SetEditing(false);
  const std::string strOld = cell->GetText();
  const std::u16string_view u(reinterpret_cast<const char16_t*>(strText.utf16()), static_cast<size_t>(strText.size()));
  const std::string strNew = text::Utf16ToCp1254(u);
  if (strNew != strOld) {
    SetCellText8(nRow, nCol, strNew);
    bool bAllow = true;
    emit EndEdit(nRow, nCol, &bAllow);
    if (!bAllow) {
      cell->SetText(strOld);
      InvalidateCell(nRow, nCol);
    }
  }
  if (nLastKey == 0) return;
  setFocus();
  switch (nLastKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (HandleTab(nLastKey == Qt::Key_Backtab)) EditCell(GetFocusCell().row, GetFocusCell().col, Qt::Key_Tab);
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const CCellID next = NextCellForKey(nLastKey, Qt::NoModifier);
      if (next != GetFocusCell()) {
        MoveFocusTo(next, false);
        EditCell(next.row, next.col, nLastKey);
      }
      break;
    }
    default:
      break;
  }
}

// ---- drag and drop ------------------------------------------------------------------

void CGridCtrl::StartDrag() {
  const std::string bytes = CopySelectionText();
  if (bytes.empty()) return;
  const std::u16string u = text::Cp1254ToUtf16(std::string_view(bytes).substr(0, bytes.size() - 1));
  auto* mime = new QMimeData;
  mime->setText(QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())));
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  m_dragRowSource = m_leftClickDownCell;
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
  m_dragRowSource = {};
}

void CGridCtrl::dragEnterEvent(QDragEnterEvent* event) {
  if (m_pDropTarget->OnDragOver(event->mimeData(), event->position().toPoint(), event->source() == this)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent* event) {
  if (m_pDropTarget->OnDragOver(event->mimeData(), event->position().toPoint(), event->source() == this)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CGridCtrl::dragLeaveEvent(QDragLeaveEvent*) { m_pDropTarget->OnDragLeave(); }

void CGridCtrl::dropEvent(QDropEvent* event) {
  if (m_pDropTarget->OnDrop(event->mimeData(), event->position().toPoint(), event->source() == this,
                            m_dragRowSource)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}
