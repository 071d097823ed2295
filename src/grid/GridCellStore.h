#pragma once
// The cells of the table: one array of owned cells per row. Knows nothing of sizes,
// selection or painting.
#include <functional>
#include <memory>
#include <vector>

#include "grid/GridCellBase.h"

class CGridCellStore {
 public:
  using CellFactory = std::function<std::unique_ptr<CGridCellBase>(int nRow, int nCol)>;

  int GetRowCount() const { return static_cast<int>(m_rows.size()); }
  int GetColumnCount() const { return m_nCols; }

  // nullptr out of range.
  CGridCellBase* GetCell(int nRow, int nCol) const;
  // Replaces the cell and returns the old one; nothing happens out of range.
  std::unique_ptr<CGridCellBase> SetCell(int nRow, int nCol, std::unique_ptr<CGridCellBase> cell);

  // Grows at the end with cells from make, or shrinks from the end.
  void SetRowCount(int nRows, const CellFactory& make);
  void SetColumnCount(int nCols, const CellFactory& make);

  void MoveRow(int nFrom, int nTo);
  // Rows from nFirst become the old rows order[i - nFirst], cells and all.
  void PermuteRows(int nFirst, const std::vector<int>& order);

 private:
  using Row = std::vector<std::unique_ptr<CGridCellBase>>;
  std::vector<Row> m_rows;
  int m_nCols = 0;
};
