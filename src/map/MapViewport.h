#pragma once
// The map's window on the grid: which grid point lies at the centre of the screen and how
// many screen pixels a metre takes. Easting (Y) runs to the right and northing (X) up, so
// the screen's y, which runs down, is the negated northing. Every value that comes in is
// checked here; nothing this class returns is ever infinite or NaN.
#include <algorithm>
#include <limits>

#include "drawing/MapFurniture.h"

namespace jobmap {

// A grid position in metres: easting (false easting included) and northing.
struct GridPoint {
  double y = 0;
  double x = 0;
  bool operator==(const GridPoint&) const = default;
};

// A screen position in pixels from the widget's top-left corner.
struct ScreenPoint {
  double sx = 0;
  double sy = 0;
};

// The smallest box around the points added; empty until the first one.
struct GridBounds {
  double minY = std::numeric_limits<double>::infinity();
  double minX = std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();

  bool Empty() const { return !(minY <= maxY && minX <= maxX); }
  void Add(GridPoint p) {
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
  }
  bool Contains(GridPoint p) const { return p.y >= minY && p.y <= maxY && p.x >= minX && p.x <= maxX; }
  bool Intersects(const GridBounds& o) const {
    return !Empty() && !o.Empty() && minY <= o.maxY && o.minY <= maxY && minX <= o.maxX && o.minX <= maxX;
  }
  bool operator==(const GridBounds&) const = default;
};

// Positions farther than this from the zone's origin are damage, not ground: they are
// never placed on the map and the viewport's centre never goes there.
inline constexpr double kFarthestGridM = 1e8;
// The scale's limits: from a millimetre to a hundred kilometres per pixel.
inline constexpr double kMostPixelsPerMetre = 1000.0;
inline constexpr double kLeastPixelsPerMetre = 1e-5;
// What a map of one point (or of points in one place) shows across, metres.
inline constexpr double kSinglePointSpanM = 100.0;

bool IsPlaceable(GridPoint p);

class MapViewport {
 public:
  // A 1x1 pixel view of the origin at one pixel per metre.
  MapViewport() = default;
  // The centre is clamped into the placeable range, the scale into its limits and the
  // size to at least one pixel; values that are not finite fall back to the defaults.
  MapViewport(GridPoint centre, double pixelsPerMetre, int width, int height);

  GridPoint Centre() const { return m_centre; }
  double PixelsPerMetre() const { return m_pixelsPerMetre; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

  ScreenPoint ToScreen(GridPoint g) const;
  // The exact inverse of ToScreen, up to rounding.
  GridPoint ToGrid(ScreenPoint s) const;

  // Scales by factor about the screen point s, so that the grid point under s stays there.
  // Ignored when factor is not a finite positive number or s is not finite; the scale stops
  // at its limits.
  void ZoomAt(ScreenPoint s, double factor);
  // Moves the picture by (dx, dy) pixels, as a drag does; non-finite values are ignored.
  void PanBy(double dx, double dy);
  // Keeps the centre and the scale; sizes below one pixel become one.
  void Resize(int width, int height);

  // The view of width x height pixels that shows the whole of bounds, marginPx clear of
  // every edge (less when the view is too small for it). Bounds of one point, or narrower
  // than a metre, are shown kSinglePointSpanM across; empty bounds give the origin.
  static MapViewport Fit(const GridBounds& bounds, int width, int height, double marginPx);

  // The grid area the screen shows.
  GridBounds Visible() const;
  // The same mapping as a frame of the whole screen, for the map's furniture.
  drawing::GridFrame Frame() const;

  bool operator==(const MapViewport&) const = default;

 private:
  void SetCentre(GridPoint c);
  GridPoint m_centre;
  double m_pixelsPerMetre = 1;
  int m_width = 1;
  int m_height = 1;
};

}  // namespace jobmap
