#include "grid/GridCellStore.h"

#include <algorithm>

CGridCellBase* CGridCellStore::GetCell(int nRow, int nCol) const {
  if (nRow < 0 || nRow >= GetRowCount() || nCol < 0 || nCol >= m_nCols) return nullptr;
  return m_rows[static_cast<size_t>(nRow)][static_cast<size_t>(nCol)].get();
}

std::unique_ptr<CGridCellBase> CGridCellStore::SetCell(int nRow, int nCol,
                                                       std::unique_ptr<CGridCellBase> cell) {
  if (nRow < 0 || nRow >= GetRowCount() || nCol < 0 || nCol >= m_nCols) return cell;
  std::swap(m_rows[static_cast<size_t>(nRow)][static_cast<size_t>(nCol)], cell);
  return cell;
}

void CGridCellStore::SetRowCount(int nRows, const CellFactory& make) {
  nRows = std::max(nRows, 0);
  if (nRows < GetRowCount()) {
    m_rows.resize(static_cast<size_t>(nRows));
    return;
  }
  m_rows.reserve(static_cast<size_t>(nRows));
  for (int r = GetRowCount(); r < nRows; ++r) {
    Row row(static_cast<size_t>(m_nCols));
    for (int c = 0; c < m_nCols; ++c) row[static_cast<size_t>(c)] = make(r, c);
    m_rows.push_back(std::move(row));
  }
}

void CGridCellStore::SetColumnCount(int nCols, const CellFactory& make) {
  nCols = std::max(nCols, 0);
  for (size_t r = 0; r < m_rows.size(); ++r) {
    Row& row = m_rows[r];
    const int nOld = static_cast<int>(row.size());
    row.resize(static_cast<size_t>(nCols));
    for (int c = nOld; c < nCols; ++c) row[static_cast<size_t>(c)] = make(static_cast<int>(r), c);
  }
  m_nCols = nCols;
}

void CGridCellStore::MoveRow(int nFrom, int nTo) {
  if (nFrom < 0 || nFrom >= GetRowCount() || nTo < 0 || nTo >= GetRowCount()) return;
  Row row = std::move(m_rows[static_cast<size_t>(nFrom)]);
  m_rows.erase(m_rows.begin() + nFrom);
  m_rows.insert(m_rows.begin() + nTo, std::move(row));
}

void CGridCellStore::PermuteRows(int nFirst, const std::vector<int>& order) {
  std::vector<Row> old;
  old.reserve(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    old.push_back(std::move(m_rows[static_cast<size_t>(nFirst) + i]));
  }
  for (size_t i = 0; i < order.size(); ++i) {
    m_rows[static_cast<size_t>(nFirst) + i] = std::move(old[static_cast<size_t>(order[i] - nFirst)]);
  }
}
