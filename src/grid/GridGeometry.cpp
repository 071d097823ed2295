#include "grid/GridGeometry.h"

#include <algorithm>

void CGridGeometry::SetRowCount(int nRows, int nHeight) {
  m_rowHeights.resize(static_cast<size_t>(std::max(nRows, 0)), nHeight);
  m_bRowsDirty = true;
}

void CGridGeometry::SetColumnCount(int nCols, int nWidth) {
  m_colWidths.resize(static_cast<size_t>(std::max(nCols, 0)), nWidth);
  m_bColsDirty = true;
}

void CGridGeometry::InsertRow(int nAt, int nHeight) {
  nAt = std::clamp(nAt, 0, GetRowCount());
  m_rowHeights.insert(m_rowHeights.begin() + nAt, nHeight);
  m_bRowsDirty = true;
}

void CGridGeometry::RemoveRow(int nRow) {
  if (nRow < 0 || nRow >= GetRowCount()) return;
  m_rowHeights.erase(m_rowHeights.begin() + nRow);
  m_bRowsDirty = true;
}

int CGridGeometry::GetRowHeight(int nRow) const {
  return nRow >= 0 && nRow < GetRowCount() ? m_rowHeights[static_cast<size_t>(nRow)] : 0;
}

int CGridGeometry::GetColumnWidth(int nCol) const {
  return nCol >= 0 && nCol < GetColumnCount() ? m_colWidths[static_cast<size_t>(nCol)] : 0;
}

void CGridGeometry::SetRowHeight(int nRow, int nHeight) {
  if (nRow < 0 || nRow >= GetRowCount() || nHeight < 0) return;
  int& h = m_rowHeights[static_cast<size_t>(nRow)];
  if (h == nHeight) return;
  h = nHeight;
  m_bRowsDirty = true;
}

void CGridGeometry::SetColumnWidth(int nCol, int nWidth) {
  if (nCol < 0 || nCol >= GetColumnCount() || nWidth < 0) return;
  int& w = m_colWidths[static_cast<size_t>(nCol)];
  if (w == nWidth) return;
  w = nWidth;
  m_bColsDirty = true;
}

int CGridGeometry::Offset(const std::vector<int>& sizes, std::vector<int>& sums, bool& bDirty,
                          int nIndex) {
  if (bDirty) {
    sums.resize(sizes.size() + 1);
    sums[0] = 0;
    for (size_t i = 0; i < sizes.size(); ++i) sums[i + 1] = sums[i] + sizes[i];
    bDirty = false;
  }
  nIndex = std::clamp(nIndex, 0, static_cast<int>(sizes.size()));
  return sums[static_cast<size_t>(nIndex)];
}

int CGridGeometry::IndexAt(const std::vector<int>& sizes, std::vector<int>& sums, bool& bDirty,
                           int nOffset) {
  const int nTotal = Offset(sizes, sums, bDirty, static_cast<int>(sizes.size()));
  if (nOffset < 0 || nOffset >= nTotal) return -1;
  // The last index whose start is at or before the offset skips zero-size entries.
  auto it = std::upper_bound(sums.begin(), sums.end(), nOffset);
  return static_cast<int>(it - sums.begin()) - 1;
}

int CGridGeometry::RowTop(int nRow) const {
  return Offset(m_rowHeights, m_rowSums, m_bRowsDirty, nRow);
}

int CGridGeometry::ColLeft(int nCol) const {
  return Offset(m_colWidths, m_colSums, m_bColsDirty, nCol);
}

int CGridGeometry::RowAt(int y) const { return IndexAt(m_rowHeights, m_rowSums, m_bRowsDirty, y); }

int CGridGeometry::ColAt(int x) const { return IndexAt(m_colWidths, m_colSums, m_bColsDirty, x); }

int CGridGeometry::VisibleRowFrom(int nFrom, int nStep, int nMin) const {
  for (int r = nFrom; r >= nMin && r < GetRowCount(); r += nStep) {
    if (GetRowHeight(r) > 0) return r;
  }
  return -1;
}

int CGridGeometry::VisibleColFrom(int nFrom, int nStep, int nMin) const {
  for (int c = nFrom; c >= nMin && c < GetColumnCount(); c += nStep) {
    if (GetColumnWidth(c) > 0) return c;
  }
  return -1;
}

void CGridGeometry::PermuteRows(int nFirst, const std::vector<int>& order) {
  std::vector<int> old(m_rowHeights.begin() + nFirst, m_rowHeights.end());
  for (size_t i = 0; i < order.size(); ++i) {
    m_rowHeights[static_cast<size_t>(nFirst) + i] = old[static_cast<size_t>(order[i] - nFirst)];
  }
  m_bRowsDirty = true;
}

void CGridGeometry::MoveRow(int nFrom, int nTo) {
  const int h = GetRowHeight(nFrom);
  RemoveRow(nFrom);
  InsertRow(nTo, h);
}
