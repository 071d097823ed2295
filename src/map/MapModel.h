#pragma once
// The points of one zone as the map draws and hit-tests them: compact dots (no names; those
// are looked up in the document when drawn), the links of matched pairs, and a uniform grid
// over the dots' bounds. The dots are stored cell by cell (row by row, west to east), so
// the dots of a run of cells in one row are one contiguous range.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "map/MapViewport.h"
#include "rules/RuleCheck.h"

class CVelmiraDoc;

namespace jobmap {

struct MapDot {
  double y = 0;  // grid easting, metres
  double x = 0;  // grid northing, metres
  int nIndex = 0;
  int nFileNumber = 0;
  std::uint32_t listPos = 0;  // the point's place in the document's list when built, for its name
  std::uint8_t fileSlot = 0;  // the job file's place in the document's file list, capped at 255
  bool failing = false;       // a "Hata" on the point or on one of its pairs
  GridPoint At() const { return {y, x}; }
};

struct MapLink {
  std::uint32_t first = 0;   // dot of the pair's session 1
  std::uint32_t second = 0;  // dot of session 2
  int nPairNo = 0;
  bool failing = false;
};

class MapModel {
 public:
  static constexpr std::uint32_t kNoListPos = 0xFFFFFFFFu;

  // The zones of the document's points, in the order they are first met.
  static std::vector<std::string> Zones(const CVelmiraDoc& doc);
  // The points of one zone whose grid position is placeable, and the pairs with both points
  // among them. A zone without points gives an empty model.
  static MapModel Build(const CVelmiraDoc& doc, const std::vector<Finding>& findings, const std::string& meridian);

  const std::string& Meridian() const { return m_meridian; }
  const std::vector<MapDot>& Dots() const { return m_dots; }
  const std::vector<MapLink>& Links() const { return m_links; }
  // The failing dots, for drawing them on top.
  const std::vector<std::uint32_t>& FailingDots() const { return m_failingDots; }
  const GridBounds& Bounds() const { return m_bounds; }
  bool Empty() const { return m_dots.empty(); }

  // The dot nearest to p within radiusMetres (inclusive); among equally near dots the one
  // of the smallest nIndex. Nothing for an empty model, or when p or the radius is not a
  // finite number or the radius is negative.
  std::optional<std::uint32_t> Nearest(GridPoint p, double radiusMetres) const;
  // The dot of a point; nothing when it is not on this map.
  std::optional<std::uint32_t> DotOfIndex(int nIndex) const;

  // Calls f(dotIndex) for every dot inside area (edges included), cell row by cell row.
  template <typename F>
  void ForEachDotIn(const GridBounds& area, F&& f) const {
    CellRange r;
    if (!CellsOf(area, r)) return;
    for (std::size_t row = r.row0; row <= r.row1; ++row) {
      const std::uint32_t begin = m_cellStart[row * m_cols + r.col0];
      const std::uint32_t end = m_cellStart[row * m_cols + r.col1 + 1];
      for (std::uint32_t i = begin; i < end; ++i) {
        if (area.Contains(m_dots[i].At())) f(i);
      }
    }
  }

  // The end of a pair's difference vector drawn from its first point: first + (second -
  // first) x magnification, so that centimetres read as metres.
  static GridPoint VectorEnd(const MapDot& first, const MapDot& second, double magnification);

  // The bytes the model keeps on the heap (its vectors' capacities).
  std::size_t RetainedBytes() const;
  std::size_t CellCount() const { return m_cols * m_rows; }

 private:
  struct CellRange {
    std::size_t col0 = 0, col1 = 0, row0 = 0, row1 = 0;
  };
  bool CellsOf(const GridBounds& area, CellRange& r) const;
  std::size_t ColOf(double y) const;
  std::size_t RowOf(double x) const;
  void Index();

  std::string m_meridian;
  std::vector<MapDot> m_dots;
  std::vector<MapLink> m_links;
  std::vector<std::uint32_t> m_failingDots;
  std::vector<std::pair<int, std::uint32_t>> m_byIndex;  // (nIndex, dot), sorted
  GridBounds m_bounds;
  double m_cellM = 1;  // side of a cell, metres
  std::size_t m_cols = 0, m_rows = 0;
  std::vector<std::uint32_t> m_cellStart;  // first dot of each cell, and one past the last
};

}  // namespace jobmap
