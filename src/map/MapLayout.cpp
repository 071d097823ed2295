#include "map/MapLayout.h"

#include <algorithm>
#include <cmath>

#include "text/Numbers.h"

namespace jobmap {

namespace {

// The multiples of step from lo to hi. The view's size bounds their count, but a guard
// keeps a damaged step from looping for ever.
std::vector<double> Multiples(double lo, double hi, double step) {
  std::vector<double> out;
  constexpr double kMostLines = 1000;
  const double first = std::ceil(lo / step), last = std::floor(hi / step);
  if (!(first <= last) || last - first > kMostLines) return out;
  for (double k = first; k <= last; ++k) out.push_back(k * step);
  return out;
}

}  // namespace

GridLines GridLinesFor(const MapViewport& view, double spacingPx) {
  GridLines g;
  g.step = NiceCeil(std::max(spacingPx, 1.0) / view.PixelsPerMetre());
  const GridBounds b = view.Visible();
  g.eastings = Multiples(b.minY, b.maxY, g.step);
  g.northings = Multiples(b.minX, b.maxX, g.step);
  return g;
}

std::string CoordinateText(double metres, double step) {
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
  std::string s = text::FormatFixed(metres, decimals);
  if (s.find_first_not_of("-0.") == std::string::npos) s = decimals == 0 ? "0" : s.substr(s[0] == '-');
  return s;
}

ScaleBar ScaleBarFor(const MapViewport& view, double maxPx) {
  ScaleBar bar;
  bar.metres = NiceFloor(std::max(maxPx, 1.0) / view.PixelsPerMetre());
  bar.pixels = bar.metres * view.PixelsPerMetre();
  bar.text = bar.metres >= 1000 ? CoordinateText(bar.metres / 1000, bar.metres / 1000) + " km"
                                 : CoordinateText(bar.metres, bar.metres) + " m";
  return bar;
}

LabelSpace::LabelSpace(int width, int height, int cellPx) : m_cell(std::max(cellPx, 1)) { Reset(width, height); }

void LabelSpace::Reset(int width, int height) {
  m_width = std::max(width, 1);
  m_height = std::max(height, 1);
  m_cols = m_width / m_cell + 1;
  m_rows = m_height / m_cell + 1;
  m_taken.assign(static_cast<std::size_t>(m_cols) * static_cast<std::size_t>(m_rows), 0);
}

bool LabelSpace::TryPlace(double left, double top, double right, double bottom) {
  if (!(left >= 0 && top >= 0 && right >= left && bottom >= top && right <= m_width && bottom <= m_height)) return false;
  const double c0 = std::floor(left / m_cell), r0 = std::floor(top / m_cell);
  const double c1 = std::floor(right / m_cell), r1 = std::floor(bottom / m_cell);
  const int col0 = static_cast<int>(c0), row0 = static_cast<int>(r0);
  const int col1 = static_cast<int>(c1), row1 = static_cast<int>(r1);
  for (int r = row0; r <= row1; ++r) {
    for (int c = col0; c <= col1; ++c) {
      if (m_taken[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(c)]) return false;
    }
  }
  for (int r = row0; r <= row1; ++r) {
    for (int c = col0; c <= col1; ++c) {
      m_taken[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(c)] = 1;
    }
  }
  return true;
}

}  // namespace jobmap
