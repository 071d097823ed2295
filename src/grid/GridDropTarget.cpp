#include "grid/GridDropTarget.h"

#include <QMimeData>

#include "grid/GridCtrl.h"
#include "text/Cp1254.h"

bool CGridDropTarget::OnDragOver(const QMimeData* pData, QPoint point, bool bFromSelf) {
  if (!m_grid.GetDragAndDrop() || !pData || !pData->hasText()) return false;
  const CCellID cell = m_grid.GetCellFromPt(point);
  if (!cell.IsValid() || cell.row < m_grid.GetFixedRowCount()) {
    Highlight({});
    return false;
  }
  if (!(bFromSelf && m_grid.m_bDragRowMode) && !m_grid.IsCellEditable(cell.row, cell.col)) {
    Highlight({});
    return false;
  }
  Highlight(cell);
  return true;
}

void CGridDropTarget::OnDragLeave() { Highlight({}); }

bool CGridDropTarget::OnDrop(const QMimeData* pData, QPoint point, bool bFromSelf,
                             CCellID dragSource) {
  const bool bOk = OnDragOver(pData, point, bFromSelf);
  Highlight({});
  if (!bOk) return false;
  const CCellID cell = m_grid.GetCellFromPt(point);
  if (bFromSelf && m_grid.m_bDragRowMode) {
    if (!dragSource.IsValid()) return false;
    return m_grid.MoveRow(dragSource.row, cell.row);
  }
  const QString str = pData->text();
  const std::string bytes =
      text::Utf16ToCp1254(std::u16string_view(reinterpret_cast<const char16_t*>(str.utf16()),
                                              static_cast<size_t>(str.size())));
  m_grid.ClearSelection();
  const bool bDone = m_grid.PasteTextToGrid(cell, bytes, false);
  m_grid.Refresh();
  return bDone;
}

void CGridDropTarget::Highlight(CCellID cell) {
  if (cell == m_highlighted) return;
  if (CGridCellBase* old = m_grid.GetCell(m_highlighted.row, m_highlighted.col)) {
    old->SetState(old->GetState() & ~GVIS_DROPHILITED);
  }
  if (CGridCellBase* now = m_grid.GetCell(cell.row, cell.col)) {
    now->SetState(now->GetState() | GVIS_DROPHILITED);
  }
  m_highlighted = cell;
  m_grid.Refresh();
}
