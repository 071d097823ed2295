#include "grid/GridText.h"

#include "grid/GridCellStore.h"
#include "grid/GridGeometry.h"
#include "grid/GridSelection.h"

std::string BuildCopyText(const CGridCellStore& store, const CGridGeometry& geometry,
                          const CGridSelection& selection) {
  const CCellRange range = selection.GetBounds();
  if (range.GetMinRow() < 0 || range.GetMinCol() < 0 || range.GetMaxRow() < 0 ||
      range.GetMaxCol() < 0 || range.GetMaxRow() >= store.GetRowCount() ||
      range.GetMaxCol() >= store.GetColumnCount() || range.GetMaxRow() < range.GetMinRow() ||
      range.GetMaxCol() < range.GetMinCol()) {
    return {};
  }
  std::string out;
  for (int r = range.GetMinRow(); r <= range.GetMaxRow(); ++r) {
    if (geometry.GetRowHeight(r) == 0) continue;
    for (int c = range.GetMinCol(); c <= range.GetMaxCol(); ++c) {
      if (geometry.GetColumnWidth(c) == 0) continue;
      if (selection.IsSelected(r, c)) {
        if (const CGridCellBase* cell = store.GetCell(r, c)) out += cell->GetText();
      }
      if (c != range.GetMaxCol()) out += '\t';
    }
    if (r != range.GetMaxRow()) out += "\r\n";
  }
  out += '\0';
  return out;
}

namespace {

std::string_view Trim(std::string_view s) {
  constexpr std::string_view kBlank = " \t\r\n\v\f";
  const size_t b = s.find_first_not_of(kBlank);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(kBlank) - b + 1);
}

}  // namespace

std::vector<std::vector<std::string>> SplitPasteText(std::string_view text) {
  std::vector<std::vector<std::string>> lines;
  while (true) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    std::vector<std::string> fields;
    while (!line.empty()) {
      const size_t sep = line.find_first_of("\t,");
      fields.emplace_back(Trim(line.substr(0, sep)));
      line = sep == std::string_view::npos ? std::string_view{} : line.substr(sep + 1);
    }
    lines.push_back(std::move(fields));
    if (nl == std::string_view::npos) break;
    text = text.substr(nl + 1);
  }
  return lines;
}
