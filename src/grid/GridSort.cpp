#include "grid/GridSort.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

#include "grid/GridCellStore.h"
#include "text/TurkishCollation.h"

namespace {

// Where a cell stands before its value is compared.
enum Rank { kEmpty = 0, kTyped = 1, kOther = 2 };

struct SortKey {
  int rank = kEmpty;
  double value = 0;
  std::string text;   // Text columns: the collation key
  std::string bytes;  // Bytes columns and the texts that do not have the column's type
};

std::string_view Trim(std::string_view s) {
  constexpr std::string_view kBlank = " \t\r\n";
  const size_t b = s.find_first_not_of(kBlank);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(kBlank) - b + 1);
}

// The whole text as a number, as the tables print them (full stop, no grouping); none for
// anything else, a "nan" included, so it cannot break the ordering.
std::optional<double> ParseNumber(std::string_view s) {
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || std::isnan(v)) return std::nullopt;
  return v;
}

// Reads an integer and the separator after it (none at the end).
bool ReadField(std::string_view& s, int& n, char sep) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc()) return false;
  s.remove_prefix(static_cast<size_t>(end - s.data()));
  if (sep == '\0') return s.empty();
  if (s.empty() || s.front() != sep) return false;
  s.remove_prefix(1);
  return true;
}

// "d.m.y h:m" as one number that grows with the time; the year may be negative.
std::optional<double> ParseDateTime(std::string_view s) {
  int d = 0, m = 0, y = 0, h = 0, min = 0;
  if (!ReadField(s, d, '.') || !ReadField(s, m, '.') || !ReadField(s, y, ' ') ||
      !ReadField(s, h, ':') || !ReadField(s, min, '\0')) {
    return std::nullopt;
  }
  if (d < 1 || d > 31 || m < 1 || m > 12 || h < 0 || h > 23 || min < 0 || min > 59) return std::nullopt;
  const double monthToMinute = ((m * 100.0 + d) * 100.0 + h) * 100.0 + min;  // below 1e8
  return y * 1e8 + monthToMinute;
}

SortKey MakeKey(const std::string& cellText, GridColumnType type) {
  SortKey key;
  const std::string_view trimmed = Trim(cellText);
  if (type == GridColumnType::Bytes) {
    key.rank = cellText.empty() ? kEmpty : kTyped;
    key.bytes = cellText;
    return key;
  }
  if (trimmed.empty()) return key;
  if (type == GridColumnType::Text) {
    key.rank = kTyped;
    key.text = text::TurkishSortKey(cellText);
    return key;
  }
  const auto value = type == GridColumnType::Number ? ParseNumber(trimmed) : ParseDateTime(trimmed);
  if (value) {
    key.rank = kTyped;
    key.value = *value;
  } else {
    key.rank = kOther;
    key.bytes = cellText;
  }
  return key;
}

}  // namespace

std::vector<int> SortRowOrder(const CGridCellStore& store, int nCol, GridColumnType type,
                              bool bAscending, int nFirstRow) {
  const int nRows = store.GetRowCount();
  if (nFirstRow < 0 || nFirstRow >= nRows) return {};
  std::vector<int> idx(static_cast<size_t>(nRows - nFirstRow));
  std::iota(idx.begin(), idx.end(), nFirstRow);
  std::vector<SortKey> keys(idx.size());
  for (size_t i = 0; i < idx.size(); ++i) {
    const CGridCellBase* cell = store.GetCell(nFirstRow + static_cast<int>(i), nCol);
    keys[i] = MakeKey(cell ? cell->GetText() : std::string(), type);
  }

  auto compare = [&](const SortKey& a, const SortKey& b) -> int {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    if (a.rank == kEmpty) return 0;
    if (type == GridColumnType::Bytes || a.rank == kOther) return a.bytes.compare(b.bytes);
    if (type == GridColumnType::Text) return a.text.compare(b.text);
    return a.value < b.value ? -1 : b.value < a.value ? 1 : 0;
  };
  std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
    const int c = compare(keys[static_cast<size_t>(a - nFirstRow)], keys[static_cast<size_t>(b - nFirstRow)]);
    return bAscending ? c < 0 : c > 0;
  });
  return idx;
}
