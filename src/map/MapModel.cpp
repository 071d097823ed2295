#include "map/MapModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "drawing/Plots.h"
#include "jobdata/CVelmiraDoc.h"

namespace jobmap {

namespace {

// About this many dots share a cell: few enough that a click looks at a handful, many
// enough that the cell table stays small beside the dots.
constexpr double kDotsPerCell = 4;
// Cells are never smaller than a millimetre, so that points in one place make one cell.
constexpr double kSmallestCellM = 1e-3;

// Job files get their colour by their place in the file list; points of a file no longer
// listed follow, in the order met.
std::vector<int> FileOrder(const CVelmiraDoc& doc) {
  std::vector<int> order;
  for (const tsjdosya& f : doc.TsjList()) order.push_back(f.nFileNumber);
  return order;
}

std::uint8_t SlotOf(std::vector<int>& order, int nFileNumber) {
  auto it = std::find(order.begin(), order.end(), nFileNumber);
  const auto slot = static_cast<std::size_t>(it - order.begin());
  if (it == order.end()) order.push_back(nFileNumber);
  return static_cast<std::uint8_t>(std::min<std::size_t>(slot, 255));
}

}  // namespace

std::vector<std::string> MapModel::Zones(const CVelmiraDoc& doc) {
  std::vector<std::string> zones;
  std::unordered_set<std::string> seen;
  for (const CTarvekNokta& p : doc.NoktaList()) {
    if (seen.insert(p.strMeridian).second) zones.push_back(p.strMeridian);
  }
  return zones;
}

MapModel MapModel::Build(const CVelmiraDoc& doc, const std::vector<Finding>& findings, const std::string& meridian) {
  MapModel m;
  m.m_meridian = meridian;
  std::vector<MapData> maps = MapDataOf(doc, findings);
  auto zone = std::find_if(maps.begin(), maps.end(), [&](const MapData& d) { return d.meridian == meridian; });
  if (zone == maps.end()) {
    m.Index();
    return m;
  }
  // The map's points are the zone's points in list order; walking the list beside them
  // finds each one's place for its name without a table.
  const std::vector<CTarvekNokta>& list = doc.NoktaList();
  std::vector<int> order = FileOrder(doc);
  std::size_t pos = 0;
  m.m_dots.reserve(zone->points.size());
  for (const MapPoint& p : zone->points) {
    while (pos < list.size() && list[pos].strMeridian != meridian) ++pos;
    std::uint32_t listPos = kNoListPos;
    if (pos < list.size() && list[pos].nIndex == p.nIndex) listPos = static_cast<std::uint32_t>(pos++);
    if (!IsPlaceable({p.y, p.x})) continue;
    m.m_dots.push_back(MapDot{p.y, p.x, p.nIndex, p.nFileNumber, listPos, SlotOf(order, p.nFileNumber), p.failing});
  }
  m.Index();
  m.m_links.reserve(zone->pairs.size());
  for (const MapPair& pair : zone->pairs) {
    const auto a = m.DotOfIndex(pair.nIndex1), b = m.DotOfIndex(pair.nIndex2);
    if (a && b) m.m_links.push_back(MapLink{*a, *b, pair.nPairNo, pair.failing});
  }
  m.m_links.shrink_to_fit();
  return m;
}

// Sorts the dots into their cells (a counting sort, stable, so list order holds within a
// cell) and builds the tables that find them.
void MapModel::Index() {
  m_bounds = {};
  for (const MapDot& d : m_dots) m_bounds.Add(d.At());
  const std::size_t n = m_dots.size();
  if (n == 0) {
    m_cols = m_rows = 0;
    m_cellStart.assign(1, 0);
    return;
  }
  const double spanY = m_bounds.maxY - m_bounds.minY, spanX = m_bounds.maxX - m_bounds.minX;
  const double target = std::max(1.0, static_cast<double>(n) / kDotsPerCell);
  // Neither side may hold more than target cells, which bounds the table at 3 x target + 1
  // cells however flat the points lie.
  m_cellM = std::max({std::sqrt(spanY * spanX / target), std::max(spanY, spanX) / target, kSmallestCellM});
  m_cols = static_cast<std::size_t>(spanY / m_cellM) + 1;
  m_rows = static_cast<std::size_t>(spanX / m_cellM) + 1;

  std::vector<std::uint32_t> cellOf(n);
  m_cellStart.assign(m_cols * m_rows + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    cellOf[i] = static_cast<std::uint32_t>(RowOf(m_dots[i].x) * m_cols + ColOf(m_dots[i].y));
    ++m_cellStart[cellOf[i] + 1];
  }
  for (std::size_t c = 1; c < m_cellStart.size(); ++c) m_cellStart[c] += m_cellStart[c - 1];
  std::vector<MapDot> sorted(n);
  std::vector<std::uint32_t> next(m_cellStart.begin(), m_cellStart.end() - 1);
  for (std::size_t i = 0; i < n; ++i) sorted[next[cellOf[i]]++] = m_dots[i];
  m_dots = std::move(sorted);

  m_byIndex.clear();
  m_byIndex.reserve(n);
  m_failingDots.clear();
  for (std::uint32_t i = 0; i < n; ++i) {
    m_byIndex.emplace_back(m_dots[i].nIndex, i);
    if (m_dots[i].failing) m_failingDots.push_back(i);
  }
  // A repeated nIndex (only from damaged input) finds the first in list order.
  std::sort(m_byIndex.begin(), m_byIndex.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : m_dots[a.second].listPos < m_dots[b.second].listPos;
  });
  m_failingDots.shrink_to_fit();
}

std::size_t MapModel::ColOf(double y) const {
  const double c = std::floor((y - m_bounds.minY) / m_cellM);
  return c <= 0 ? 0 : c >= static_cast<double>(m_cols - 1) ? m_cols - 1 : static_cast<std::size_t>(c);
}

std::size_t MapModel::RowOf(double x) const {
  const double r = std::floor((x - m_bounds.minX) / m_cellM);
  return r <= 0 ? 0 : r >= static_cast<double>(m_rows - 1) ? m_rows - 1 : static_cast<std::size_t>(r);
}

bool MapModel::CellsOf(const GridBounds& area, CellRange& r) const {
  if (m_dots.empty() || !area.Intersects(m_bounds)) return false;
  r.col0 = ColOf(area.minY), r.col1 = ColOf(area.maxY);
  r.row0 = RowOf(area.minX), r.row1 = RowOf(area.maxX);
  return true;
}

std::optional<std::uint32_t> MapModel::Nearest(GridPoint p, double radiusMetres) const {
  if (!std::isfinite(p.y) || !std::isfinite(p.x) || !std::isfinite(radiusMetres) || radiusMetres < 0) return std::nullopt;
  GridBounds box;
  box.Add({p.y - radiusMetres, p.x - radiusMetres});
  box.Add({p.y + radiusMetres, p.x + radiusMetres});
  const double limit = radiusMetres * radiusMetres;
  std::optional<std::uint32_t> best;
  double bestD2 = std::numeric_limits<double>::infinity();
  ForEachDotIn(box, [&](std::uint32_t i) {
    const double dy = m_dots[i].y - p.y, dx = m_dots[i].x - p.x;
    const double d2 = dy * dy + dx * dx;
    if (d2 > limit) return;
    if (d2 < bestD2 || (d2 == bestD2 && m_dots[i].nIndex < m_dots[*best].nIndex)) {
      best = i;
      bestD2 = d2;
    }
  });
  return best;
}

std::optional<std::uint32_t> MapModel::DotOfIndex(int nIndex) const {
  auto it = std::lower_bound(m_byIndex.begin(), m_byIndex.end(), nIndex,
                             [](const std::pair<int, std::uint32_t>& e, int key) { return e.first < key; });
  if (it == m_byIndex.end() || it->first != nIndex) return std::nullopt;
  return it->second;
}

GridPoint MapModel::VectorEnd(const MapDot& first, const MapDot& second, double magnification) {
  return {first.y + (second.y - first.y) * magnification, first.x + (second.x - first.x) * magnification};
}

std::size_t MapModel::RetainedBytes() const {
  return m_meridian.capacity() + m_dots.capacity() * sizeof(MapDot) + m_links.capacity() * sizeof(MapLink) +
         m_failingDots.capacity() * sizeof(std::uint32_t) + m_byIndex.capacity() * sizeof(m_byIndex[0]) +
         m_cellStart.capacity() * sizeof(std::uint32_t);
}

}  // namespace jobmap
