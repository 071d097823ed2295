#pragma once
// Cell addresses and rectangular cell ranges of the table control; -1 means none.
#include <algorithm>

struct CCellID {
  int row = -1;
  int col = -1;

  CCellID() = default;
  CCellID(int nRow, int nCol) : row(nRow), col(nCol) {}
  bool IsValid() const { return row >= 0 && col >= 0; }
  bool operator==(const CCellID&) const = default;
};

// Inclusive bounds. An empty range has a maximum below its minimum.
class CCellRange {
 public:
  CCellRange() = default;
  CCellRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol)
      : m_nMinRow(nMinRow), m_nMinCol(nMinCol), m_nMaxRow(nMaxRow), m_nMaxCol(nMaxCol) {}
  // The block spanned by two corners given in any order.
  static CCellRange Spanning(CCellID a, CCellID b) {
    return {std::min(a.row, b.row), std::min(a.col, b.col), std::max(a.row, b.row),
            std::max(a.col, b.col)};
  }

  int GetMinRow() const { return m_nMinRow; }
  int GetMinCol() const { return m_nMinCol; }
  int GetMaxRow() const { return m_nMaxRow; }
  int GetMaxCol() const { return m_nMaxCol; }
  CCellID GetTopLeft() const { return {m_nMinRow, m_nMinCol}; }

  bool IsValid() const {
    return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= m_nMinRow && m_nMaxCol >= m_nMinCol;
  }
  bool InRange(int nRow, int nCol) const {
    return nRow >= m_nMinRow && nRow <= m_nMaxRow && nCol >= m_nMinCol && nCol <= m_nMaxCol;
  }
  bool InRange(CCellID cell) const { return InRange(cell.row, cell.col); }
  bool operator==(const CCellRange&) const = default;

 private:
  int m_nMinRow = -1;
  int m_nMinCol = -1;
  int m_nMaxRow = -1;
  int m_nMaxCol = -1;
};
