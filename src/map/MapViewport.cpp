#include "map/MapViewport.h"

#include <cmath>

namespace jobmap {

bool IsPlaceable(GridPoint p) {
  return std::isfinite(p.y) && std::isfinite(p.x) && std::fabs(p.y) < kFarthestGridM &&
         std::fabs(p.x) < kFarthestGridM;
}

namespace {

double ClampedScale(double pixelsPerMetre) {
  if (!std::isfinite(pixelsPerMetre) || pixelsPerMetre <= 0) return 1;
  return std::clamp(pixelsPerMetre, kLeastPixelsPerMetre, kMostPixelsPerMetre);
}

// The largest size a widget may have; keeps width * height and the pixel arithmetic in range.
constexpr int kLargestSidePx = 1 << 16;

int ClampedSide(int px) { return std::clamp(px, 1, kLargestSidePx); }

}  // namespace

MapViewport::MapViewport(GridPoint centre, double pixelsPerMetre, int width, int height)
    : m_pixelsPerMetre(ClampedScale(pixelsPerMetre)), m_width(ClampedSide(width)), m_height(ClampedSide(height)) {
  SetCentre(centre);
}

void MapViewport::SetCentre(GridPoint c) {
  if (!std::isfinite(c.y) || !std::isfinite(c.x)) return;
  m_centre = {std::clamp(c.y, -kFarthestGridM, kFarthestGridM), std::clamp(c.x, -kFarthestGridM, kFarthestGridM)};
}

ScreenPoint MapViewport::ToScreen(GridPoint g) const {
  return {m_width / 2.0 + (g.y - m_centre.y) * m_pixelsPerMetre, m_height / 2.0 - (g.x - m_centre.x) * m_pixelsPerMetre};
}

GridPoint MapViewport::ToGrid(ScreenPoint s) const {
  return {m_centre.y + (s.sx - m_width / 2.0) / m_pixelsPerMetre, m_centre.x - (s.sy - m_height / 2.0) / m_pixelsPerMetre};
}

void MapViewport::ZoomAt(ScreenPoint s, double factor) {
  if (!std::isfinite(factor) || factor <= 0 || !std::isfinite(s.sx) || !std::isfinite(s.sy)) return;
  const GridPoint under = ToGrid(s);
  m_pixelsPerMetre = ClampedScale(m_pixelsPerMetre * factor);
  SetCentre({under.y - (s.sx - m_width / 2.0) / m_pixelsPerMetre, under.x + (s.sy - m_height / 2.0) / m_pixelsPerMetre});
}

void MapViewport::PanBy(double dx, double dy) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  SetCentre({m_centre.y - dx / m_pixelsPerMetre, m_centre.x + dy / m_pixelsPerMetre});
}

void MapViewport::Resize(int width, int height) {
  m_width = ClampedSide(width);
  m_height = ClampedSide(height);
}

MapViewport MapViewport::Fit(const GridBounds& bounds, int width, int height, double marginPx) {
  MapViewport v({0, 0}, 1, width, height);
  if (bounds.Empty() || !IsPlaceable({bounds.minY, bounds.minX}) || !IsPlaceable({bounds.maxY, bounds.maxX})) return v;
  // A margin that would leave less than half the view for the points shrinks to fit.
  const double margin = std::isfinite(marginPx) ? std::clamp(marginPx, 0.0, std::min(v.m_width, v.m_height) / 4.0) : 0;
  const double usableW = v.m_width - 2 * margin, usableH = v.m_height - 2 * margin;
  const double spanY = bounds.maxY - bounds.minY, spanX = bounds.maxX - bounds.minX;
  constexpr double kNarrowestM = 1.0;
  double scale;
  if (std::max(spanY, spanX) < kNarrowestM) {
    scale = std::min(usableW, usableH) / kSinglePointSpanM;
  } else {
    scale = std::min(spanY > 0 ? usableW / spanY : INFINITY, spanX > 0 ? usableH / spanX : INFINITY);
  }
  v.m_pixelsPerMetre = ClampedScale(scale);
  v.SetCentre({(bounds.minY + bounds.maxY) / 2, (bounds.minX + bounds.maxX) / 2});
  return v;
}

GridBounds MapViewport::Visible() const {
  const GridPoint topLeft = ToGrid({0, 0});
  const GridPoint bottomRight = ToGrid({static_cast<double>(m_width), static_cast<double>(m_height)});
  GridBounds b;
  b.Add(topLeft);
  b.Add(bottomRight);
  return b;
}

drawing::GridFrame MapViewport::Frame() const {
  return {0, 0, static_cast<double>(m_width), static_cast<double>(m_height), m_centre.y, m_centre.x, m_pixelsPerMetre};
}

}  // namespace jobmap
