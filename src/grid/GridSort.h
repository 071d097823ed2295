#pragma once
// The order of the rows after a header click. Each column has a type that says how its
// texts compare; the sort is stable, so rows with equal keys keep their order.
#include <vector>

class CGridCellStore;

enum class GridColumnType {
  Bytes,     // the 8-bit bytes as they are (a column nobody typed)
  Text,      // Turkish collation: Ç after C, İ after I, Ş after S
  Number,    // by value; "-0.0000" equals "0.0000"
  DateTime,  // "d.m.yyyy h:m", nothing padded
};

// The order of the rows from nFirstRow sorted by the cells of column nCol. In ascending
// order empty cells come first, then the cells whose text has the column's type, then
// texts that do not (by their bytes); descending turns that round. result[i] is the old
// index of the row that goes to nFirstRow + i; empty when nFirstRow lies outside.
std::vector<int> SortRowOrder(const CGridCellStore& store, int nCol, GridColumnType type,
                              bool bAscending, int nFirstRow);
