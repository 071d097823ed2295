#pragma once
// The selection as clipboard text and clipboard text split into fields; 8-bit
// Windows-1254 on both sides.
#include <string>
#include <string_view>
#include <vector>

class CGridCellStore;
class CGridGeometry;
class CGridSelection;

// The cells of the selected range: tab between columns, CR LF between rows, hidden rows
// and columns left out, unselected cells in the range as empty fields, and the terminating
// zero byte of the 8-bit text at the end. Empty (no zero either) when nothing is selected
// or the range does not fit the table.
std::string BuildCopyText(const CGridCellStore& store, const CGridGeometry& geometry,
                          const CGridSelection& selection);

// Lines at line feeds, fields at every tab or comma, each field trimmed of white space.
// A line's fields end where its remaining text is empty, so a trailing separator adds no
// field; an empty line has no fields but still takes a row.
std::vector<std::vector<std::string>> SplitPasteText(std::string_view text);
