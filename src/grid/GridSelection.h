#pragma once
// The selection of the table: focus cell, anchor (where the last unshifted selection
// began), the selected cells as a union of blocks, and the blocks that were selected when
// a mouse drag began. A value type: the control builds the next selection, compares it
// with the current one and only then notifies and repaints.
#include <vector>

#include "grid/CellID.h"

// What the selection moves need to know about the table.
struct GridSelectionMode {
  int nRows = 0;
  int nCols = 0;
  int nFixedRows = 0;
  int nFixedCols = 0;
  bool bListMode = false;
  bool bSingleRow = false;  // only in list mode
};

class CGridSelection {
 public:
  CCellID GetFocusCell() const { return m_focus; }
  CCellID GetAnchor() const { return m_anchor; }
  const std::vector<CCellRange>& GetBlocks() const { return m_blocks; }
  bool IsSelected(int nRow, int nCol) const;
  bool IsEmpty() const { return m_blocks.empty(); }
  // The smallest range covering every selected cell; invalid when nothing is selected.
  CCellRange GetBounds() const;

  void Clear();           // selection, focus and anchor
  void ClearSelection();  // the blocks only
  void SetFocusCell(CCellID cell) { m_focus = cell; }

  // A click (or an unshifted key move) on a cell; bCtrl keeps the blocks selected so far.
  void Click(CCellID cell, bool bShift, bool bCtrl, const GridSelectionMode& mode);
  // A keyboard move to cell: as an unshifted click, or with Shift the block from the anchor.
  void MoveTo(CCellID cell, bool bShift, const GridSelectionMode& mode);
  // Left-button drag: keep the blocks from the drag start and add anchor..cell.
  void BeginDrag() { m_dragBase = m_blocks; }
  void DragTo(CCellID cell, bool bCtrl, const GridSelectionMode& mode);
  void SelectAll(const GridSelectionMode& mode);
  void SelectColumn(int nCol, const GridSelectionMode& mode);
  void SelectRow(int nRow, const GridSelectionMode& mode);
  void SelectRange(const CCellRange& range);  // replaces the blocks
  // Drops blocks and cells that no longer exist after the table shrank.
  void Clip(const GridSelectionMode& mode);

  bool operator==(const CGridSelection& other) const {
    return m_focus == other.m_focus && m_anchor == other.m_anchor && m_blocks == other.m_blocks;
  }

 private:
  CCellRange Block(CCellID from, CCellID to, const GridSelectionMode& mode) const;

  CCellID m_focus;
  CCellID m_anchor;
  std::vector<CCellRange> m_blocks;
  std::vector<CCellRange> m_dragBase;
};
