#pragma once
// A small table with fixed sizes, so tests can aim the mouse at cells.
#include <QApplication>
#include <memory>
#include <string>

#include "grid/GridCtrl.h"

inline constexpr int kTestColWidth = 60;
inline constexpr int kTestRowHeight = 24;

// rows x cols with one header row; cell (r, c) holds "r,c" unless texts are given.
inline std::unique_ptr<CGridCtrl> MakeGrid(int nRows, int nCols) {
  auto grid = std::make_unique<CGridCtrl>();
  grid->resize(400, 300);
  grid->SetColumnCount(nCols);
  grid->SetRowCount(nRows);
  grid->SetFixedRowCount(1);
  for (int c = 0; c < nCols; ++c) grid->SetColumnWidth(c, kTestColWidth);
  for (int r = 0; r < nRows; ++r) {
    grid->SetRowHeight(r, kTestRowHeight);
    for (int c = 0; c < nCols; ++c) {
      grid->SetItemText8(r, c, std::to_string(r) + "," + std::to_string(c));
    }
  }
  return grid;
}
