#pragma once
// Row heights and column widths of the table, their positions and hit testing. Positions
// come from prefix sums rebuilt lazily after a change, so painting and hit testing cost a
// binary search however many rows there are. A size of 0 hides a row or column.
#include <vector>

class CGridGeometry {
 public:
  int GetRowCount() const { return static_cast<int>(m_rowHeights.size()); }
  int GetColumnCount() const { return static_cast<int>(m_colWidths.size()); }

  // Counts grow at the end with the given size or shrink from the end.
  void SetRowCount(int nRows, int nHeight);
  void SetColumnCount(int nCols, int nWidth);
  void InsertRow(int nAt, int nHeight);
  void RemoveRow(int nRow);

  int GetRowHeight(int nRow) const;  // 0 out of range
  int GetColumnWidth(int nCol) const;
  void SetRowHeight(int nRow, int nHeight);  // ignores out of range and negatives
  void SetColumnWidth(int nCol, int nWidth);

  // Offsets from the top of row 0 / left of column 0; a count gives the total.
  int RowTop(int nRow) const;
  int ColLeft(int nCol) const;
  int TotalHeight() const { return RowTop(GetRowCount()); }
  int TotalWidth() const { return ColLeft(GetColumnCount()); }

  // The row (column) whose extent holds the offset; -1 when outside. Hidden rows never
  // hold an offset.
  int RowAt(int y) const;
  int ColAt(int x) const;

  // The nearest row (column) at or past nFrom in direction nStep (+1 or -1) that is not
  // hidden and lies within [nMin, count); -1 when there is none.
  int VisibleRowFrom(int nFrom, int nStep, int nMin) const;
  int VisibleColFrom(int nFrom, int nStep, int nMin) const;

  // Rows from nFirst take the heights of the old rows order[i - nFirst].
  void PermuteRows(int nFirst, const std::vector<int>& order);
  void MoveRow(int nFrom, int nTo);

 private:
  static int Offset(const std::vector<int>& sizes, std::vector<int>& sums, bool& bDirty,
                    int nIndex);
  static int IndexAt(const std::vector<int>& sizes, std::vector<int>& sums, bool& bDirty,
                     int nOffset);

  std::vector<int> m_rowHeights;
  std::vector<int> m_colWidths;
  mutable std::vector<int> m_rowSums;  // m_rowSums[i] = top of row i, size rows + 1
  mutable std::vector<int> m_colSums;
  mutable bool m_bRowsDirty = true;
  mutable bool m_bColsDirty = true;
};
