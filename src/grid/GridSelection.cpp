#include "grid/GridSelection.h"

#include <algorithm>

bool CGridSelection::IsSelected(int nRow, int nCol) const {
  return std::any_of(m_blocks.begin(), m_blocks.end(),
                     [&](const CCellRange& b) { return b.InRange(nRow, nCol); });
}

CCellRange CGridSelection::GetBounds() const {
  if (m_blocks.empty()) return {};
  int r0 = m_blocks[0].GetMinRow(), c0 = m_blocks[0].GetMinCol();
  int r1 = m_blocks[0].GetMaxRow(), c1 = m_blocks[0].GetMaxCol();
  for (const CCellRange& b : m_blocks) {
    r0 = std::min(r0, b.GetMinRow());
    c0 = std::min(c0, b.GetMinCol());
    r1 = std::max(r1, b.GetMaxRow());
    c1 = std::max(c1, b.GetMaxCol());
  }
  return {r0, c0, r1, c1};
}

void CGridSelection::Clear() {
  m_blocks.clear();
  m_dragBase.clear();
  m_focus = {};
  m_anchor = {};
}

void CGridSelection::ClearSelection() { m_blocks.clear(); }

CCellRange CGridSelection::Block(CCellID from, CCellID to, const GridSelectionMode& mode) const {
  if (mode.bListMode) {
    if (mode.bSingleRow) from = to;
    return {std::min(from.row, to.row), mode.nFixedCols, std::max(from.row, to.row),
            mode.nCols - 1};
  }
  return CCellRange::Spanning(from, to);
}

void CGridSelection::Click(CCellID cell, bool bShift, bool bCtrl, const GridSelectionMode& mode) {
  if (!cell.IsValid()) return;
  const bool bReplace = !bCtrl || (mode.bListMode && mode.bSingleRow);
  if (bShift && m_anchor.IsValid()) {
    if (bReplace) m_blocks.clear();
    m_blocks.push_back(Block(m_anchor, cell, mode));
  } else {
    if (bReplace) m_blocks.clear();
    m_anchor = cell;
    m_blocks.push_back(Block(cell, cell, mode));
  }
  m_focus = cell;
}

void CGridSelection::MoveTo(CCellID cell, bool bShift, const GridSelectionMode& mode) {
  Click(cell, bShift, false, mode);
}

void CGridSelection::DragTo(CCellID cell, bool bCtrl, const GridSelectionMode& mode) {
  if (!cell.IsValid() || !m_anchor.IsValid()) return;
  m_blocks = bCtrl && !(mode.bListMode && mode.bSingleRow) ? m_dragBase
                                                           : std::vector<CCellRange>{};
  m_blocks.push_back(Block(m_anchor, cell, mode));
  m_focus = cell;
}

void CGridSelection::SelectAll(const GridSelectionMode& mode) {
  SelectRange({mode.nFixedRows, mode.nFixedCols, mode.nRows - 1, mode.nCols - 1});
}

void CGridSelection::SelectColumn(int nCol, const GridSelectionMode& mode) {
  SelectRange({mode.nFixedRows, nCol, mode.nRows - 1, nCol});
}

void CGridSelection::SelectRow(int nRow, const GridSelectionMode& mode) {
  SelectRange({nRow, mode.nFixedCols, nRow, mode.nCols - 1});
}

void CGridSelection::SelectRange(const CCellRange& range) {
  m_blocks.clear();
  if (range.IsValid()) m_blocks.push_back(range);
}

void CGridSelection::Clip(const GridSelectionMode& mode) {
  auto clip = [&](std::vector<CCellRange>& blocks) {
    std::vector<CCellRange> kept;
    for (const CCellRange& b : blocks) {
      CCellRange c(b.GetMinRow(), b.GetMinCol(), std::min(b.GetMaxRow(), mode.nRows - 1),
                   std::min(b.GetMaxCol(), mode.nCols - 1));
      if (c.IsValid()) kept.push_back(c);
    }
    blocks = std::move(kept);
  };
  clip(m_blocks);
  clip(m_dragBase);
  if (m_focus.row >= mode.nRows || m_focus.col >= mode.nCols) m_focus = {};
  if (m_anchor.row >= mode.nRows || m_anchor.col >= mode.nCols) m_anchor = {};
}
