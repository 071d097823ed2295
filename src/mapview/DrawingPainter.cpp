// The painter's side of a drawing. Each choice below mirrors what an SVG viewer does with
// the element Svg.cpp writes for the mark (butt caps, miter joins, nonzero fill, dashes of
// 4 and 3 times the pen width but never under 1 px), so a plot looks the same on the
// screen, in a saved PNG and in the report page.
#include "mapview/DrawingPainter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>

using drawing::Mark;

namespace {

bool IsFinite(drawing::Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The marks the SVG writer leaves out.
bool IsDrawable(const Mark& m) {
  if (!std::all_of(m.points.begin(), m.points.end(), IsFinite)) return false;
  if (m.pen && !std::isfinite(m.pen->width)) return false;
  const std::size_t needed = m.kind == Mark::Kind::Line || m.kind == Mark::Kind::Rect ? 2 : 1;
  return m.points.size() >= needed && std::isfinite(m.radius) && std::isfinite(m.fontSize);
}

bool HasStroke(const Mark& m) { return m.pen && m.pen->width > 0; }

// Fill applies to closed shapes only; a line or polyline is "fill: none" in the SVG.
bool HasFill(const Mark& m) {
  return m.fill && m.kind != Mark::Kind::Line && m.kind != Mark::Kind::Polyline && m.kind != Mark::Kind::Text;
}

// Whether anything of the mark reaches the picture: what paints nothing cannot be hit.
bool IsVisible(const Mark& m) {
  if (!IsDrawable(m)) return false;
  const auto& p = m.points;
  switch (m.kind) {
    case Mark::Kind::Line: return HasStroke(m);
    case Mark::Kind::Polyline: return HasStroke(m) && p.size() >= 2;
    case Mark::Kind::Polygon: return (HasStroke(m) || HasFill(m)) && p.size() >= 2;
    case Mark::Kind::Rect: return (HasStroke(m) || HasFill(m)) && p[0].x != p[1].x && p[0].y != p[1].y;
    case Mark::Kind::Circle: return (HasStroke(m) || HasFill(m)) && m.radius > 0;
    case Mark::Kind::Text: return m.fontSize > 0 && !m.text.empty();
  }
  return false;
}

QColor ColourOf(drawing::Rgb c) { return QColor(c.r, c.g, c.b); }

QPointF At(drawing::Point p) { return {p.x, p.y}; }

QPen PenOf(const Mark& m) {
  if (!HasStroke(m)) return Qt::NoPen;
  QPen pen(ColourOf(m.pen->colour), m.pen->width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  // SVG's miter limit of 4 measures the whole miter; Qt's counts from the join, half of it.
  pen.setMiterLimit(2);
  // Qt's raster stroker counts a dash pattern in pen widths of at least 1 px, which is the
  // SVG's 4 and 3 times max(width, 1) pixels.
  if (m.pen->dashed) pen.setDashPattern({4, 3});
  return pen;
}

QPolygonF PolygonOf(const std::vector<drawing::Point>& points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const drawing::Point& p : points) polygon << At(p);
  return polygon;
}

QRectF RectOf(const Mark& m) {
  const auto& p = m.points;
  return QRectF(QPointF(std::min(p[0].x, p[1].x), std::min(p[0].y, p[1].y)),
                QPointF(std::max(p[0].x, p[1].x), std::max(p[0].y, p[1].y)));
}

// Glyphs are laid out at a whole pixel size and scaled to the mark's exact size; beyond a
// few thousand pixels the scale does the rest, so no font engine sees an absurd size.
constexpr double kLargestFontPixels = 4096;

void PaintText(QPainter& painter, const Mark& m) {
  const double size = std::min(m.fontSize, kLargestFontPixels);
  const int pixels = std::max(1, static_cast<int>(std::lround(size)));
  QFont font = QGuiApplication::font();
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(m.bold);
  // Unhinted widths grow with the scale, so an anchored text ends where it should at
  // every zoom and in the 2x image alike.
  font.setHintingPreference(QFont::PreferNoHinting);
  const QString text = QString::fromUtf8(m.text.data(), static_cast<qsizetype>(m.text.size()));
  const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
  double shift = 0;
  if (m.anchor == drawing::Anchor::Middle) shift = -width / 2;
  if (m.anchor == drawing::Anchor::End) shift = -width;

  painter.save();
  painter.translate(At(m.points[0]));
  painter.scale(m.fontSize / pixels, m.fontSize / pixels);
  painter.setFont(font);
  painter.setPen(ColourOf(m.fill.value_or(drawing::Rgb{})));
  painter.drawText(QPointF(shift, 0), text);
  painter.restore();
}

void PaintMark(QPainter& painter, const Mark& m) {
  if (m.kind == Mark::Kind::Text) return PaintText(painter, m);
  painter.setPen(PenOf(m));
  painter.setBrush(HasFill(m) ? QBrush(ColourOf(*m.fill)) : QBrush(Qt::NoBrush));
  switch (m.kind) {
    case Mark::Kind::Line: painter.drawLine(At(m.points[0]), At(m.points[1])); break;
    case Mark::Kind::Polyline: painter.drawPolyline(PolygonOf(m.points)); break;
    case Mark::Kind::Polygon: painter.drawPolygon(PolygonOf(m.points), Qt::WindingFill); break;
    case Mark::Kind::Rect: painter.drawRect(RectOf(m)); break;
    case Mark::Kind::Circle: painter.drawEllipse(At(m.points[0]), m.radius, m.radius); break;
    case Mark::Kind::Text: break;
  }
}

// ---- hit testing -----------------------------------------------------------------------

double Distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
  const QPointF d = b - a;
  const double length2 = QPointF::dotProduct(d, d);
  if (!(length2 > 0)) return Distance(p, a);
  const double t = std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0);
  return Distance(p, a + t * d);
}

double PathDistance(QPointF p, const std::vector<drawing::Point>& points, bool closed) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    best = std::min(best, SegmentDistance(p, At(points[i]), At(points[i + 1])));
  }
  if (closed && points.size() > 2) best = std::min(best, SegmentDistance(p, At(points.back()), At(points.front())));
  return best;
}

// Nonzero winding, as the polygon is filled.
bool Winds(QPointF p, const std::vector<drawing::Point>& points) {
  int winding = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const drawing::Point a = points[i], b = points[(i + 1) % points.size()];
    const double side = (b.x - a.x) * (p.y() - a.y) - (p.x() - a.x) * (b.y - a.y);
    if (a.y <= p.y()) {
      if (b.y > p.y() && side > 0) ++winding;
    } else if (b.y <= p.y() && side < 0) {
      --winding;
    }
  }
  return winding != 0;
}

// How far p lies outside the mark as painted (its stroke included); 0 or less inside it.
// A closed shape counts as solid even when unfilled: a ring around a point is a target.
double Gap(const Mark& m, QPointF p) {
  const double halfPen = HasStroke(m) ? m.pen->width / 2 : 0;
  switch (m.kind) {
    case Mark::Kind::Line:
    case Mark::Kind::Polyline:
      return PathDistance(p, m.points, false) - halfPen;
    case Mark::Kind::Polygon:
      return Winds(p, m.points) ? 0 : PathDistance(p, m.points, true) - halfPen;
    case Mark::Kind::Rect: {
      const QRectF r = RectOf(m).adjusted(-halfPen, -halfPen, halfPen, halfPen);
      const double dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
      const double dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
      return std::hypot(dx, dy);
    }
    case Mark::Kind::Circle:
      return Distance(p, At(m.points[0])) - m.radius - halfPen;
    case Mark::Kind::Text:
      break;
  }
  return std::numeric_limits<double>::infinity();
}

}  // namespace

void PaintDrawing(QPainter& painter, const drawing::Drawing& picture) {
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  for (const Mark& m : picture.marks) {
    if (IsVisible(m)) PaintMark(painter, m);
  }
  painter.restore();
}

const drawing::Mark* KeyedMarkAt(const drawing::Drawing& picture, QPointF at, double tolerancePx) {
  if (!std::isfinite(at.x()) || !std::isfinite(at.y())) return nullptr;
  const double tolerance = tolerancePx > 0 ? tolerancePx : 0;  // also when not a number
  const Mark* nearest = nullptr;
  double nearestGap = std::numeric_limits<double>::infinity();
  for (auto it = picture.marks.rbegin(); it != picture.marks.rend(); ++it) {
    const Mark& m = *it;
    if (m.keyKind == drawing::KeyKind::Furniture || m.kind == Mark::Kind::Text || !IsVisible(m)) continue;
    const double gap = Gap(m, at);
    if (gap <= 0) return &m;
    if (gap <= tolerance && gap < nearestGap) {
      nearest = &m;
      nearestGap = gap;
    }
  }
  return nearest;
}
