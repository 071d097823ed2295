#include "drawing/MapFurniture.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "drawing/Marks.h"
#include "drawing/RoundNumbers.h"

namespace drawing {

GridLines GridLinesFor(const GridFrame& frame, double spacingPx) {
  GridLines g;
  g.step = NiceCeil(std::max(spacingPx, 1.0) / frame.pixelsPerMetre);
  g.eastings = Ticks(frame.EastingAt(frame.left), frame.EastingAt(frame.right), g.step);
  g.northings = Ticks(frame.NorthingAt(frame.bottom), frame.NorthingAt(frame.top), g.step);
  return g;
}

void AddGrid(std::vector<Mark>& marks, const GridFrame& frame, const GridStyle& style) {
  const GridLines g = GridLinesFor(frame, style.spacingPx);
  const Pen pen{style.line, 1};
  auto crisp = [&](double px) { return style.crispLines ? std::round(px) + 0.5 : px; };
  auto eastingLine = [&](double y) {
    const double px = crisp(frame.PixelX(y));
    marks.push_back(LineMark({px, frame.top}, {px, frame.bottom}, pen));
  };
  auto northingLine = [&](double x) {
    const double py = crisp(frame.PixelY(x));
    marks.push_back(LineMark({frame.left, py}, {frame.right, py}, pen));
  };
  auto eastingLabel = [&](double y) {
    const double px = frame.PixelX(y);
    if (px < style.eastingLabelsFromX || px > style.eastingLabelsToX) return;
    marks.push_back(TextMark({px + 3, style.eastingLabelY}, TickText(y, g.step), Anchor::Start, style.labelPx, style.label));
  };
  auto northingLabel = [&](double x) {
    const double py = frame.PixelY(x);
    if (py < style.northingLabelsFromY || py > style.northingLabelsToY) return;
    marks.push_back(TextMark({frame.left + 4, py - 3}, TickText(x, g.step), Anchor::Start, style.labelPx, style.label));
  };
  if (style.labelsAfterLines) {
    for (double y : g.eastings) eastingLine(y);
    for (double x : g.northings) northingLine(x);
    for (double y : g.eastings) eastingLabel(y);
    for (double x : g.northings) northingLabel(x);
    return;
  }
  for (double y : g.eastings) eastingLine(y), eastingLabel(y);
  for (double x : g.northings) northingLine(x), northingLabel(x);
}

ScaleBar ScaleBarFor(double pixelsPerMetre, double maxPx) {
  ScaleBar bar;
  bar.metres = NiceFloor(std::max(maxPx, 1.0) / pixelsPerMetre);
  bar.pixels = bar.metres * pixelsPerMetre;
  bar.text = bar.metres >= 1000 ? TickText(bar.metres / 1000, NiceFloor(bar.metres / 1000)) + " km"
                                : TickText(bar.metres, NiceFloor(bar.metres)) + " m";
  return bar;
}

void AddScaleBar(std::vector<Mark>& marks, const ScaleBar& bar, Point topLeft, const ScaleBarStyle& style) {
  const double x = topLeft.x, y = topLeft.y;
  marks.push_back(RectMark({x, y}, {x + bar.pixels, y + style.heightPx}, Pen{style.ink, 1}, style.paper));
  marks.push_back(RectMark({x, y}, {x + bar.pixels / 2, y + style.heightPx}, std::nullopt, style.ink));
  if (style.label == ScaleBarStyle::Label::Above) {
    marks.push_back(TextMark({x + bar.pixels / 2, y - 6}, bar.text, Anchor::Middle, style.labelPx, style.ink));
  } else {
    constexpr double kGapPx = 6;
    marks.push_back(TextMark({bar.pixels + (x + kGapPx), y + style.heightPx + 2}, bar.text, Anchor::Start, style.labelPx,
                             style.ink));
  }
}

void AddNorthArrow(std::vector<Mark>& marks, Point tip, const NorthArrowStyle& style) {
  const double cx = tip.x, base = tip.y + style.lengthPx, notch = base - style.notchPx;
  marks.push_back(TextMark({cx, tip.y - style.letterGapPx}, "K", Anchor::Middle, style.letterPx, style.ink, true));
  marks.push_back(PolygonMark({tip, {cx - style.halfWidthPx, base}, {cx, notch}}, Pen{style.ink, 1}, style.ink));
  marks.push_back(PolygonMark({tip, {cx + style.halfWidthPx, base}, {cx, notch}}, Pen{style.ink, 1}, style.paper));
}

void AddNames(std::vector<Mark>& marks, const std::vector<NameSpot>& spots, const NameStyle& style, LabelSpace* room,
              const MeasureText& measure) {
  std::vector<const NameSpot*> given;
  for (const NameSpot& spot : spots) {
    if (spot.text.empty()) continue;
    const bool twin = std::any_of(given.begin(), given.end(), [&](const NameSpot* g) {
      return std::fabs(g->dot.x - spot.dot.x) < 3 && std::fabs(g->dot.y - spot.dot.y) < 3 && g->text == spot.text;
    });
    if (twin) continue;
    given.push_back(&spot);
    const double base = spot.dot.y - style.raisePx;
    auto name = [&](double left) {
      return Keyed(TextMark({left, base}, spot.text, Anchor::Start, style.fontPx, spot.failing ? style.fail : style.ink),
                   KeyKind::Point, spot.nIndex, spot.nFileNumber);
    };
    if (!room || !measure) {
      marks.push_back(name(spot.dot.x + style.gapPx));
      continue;
    }
    const TextExtent e = measure(spot.text);
    for (const double left : {spot.dot.x + style.gapPx, spot.dot.x - style.gapPx - e.width}) {
      if (!room->TryPlace(left, base - e.ascent, left + e.width, base + e.descent)) continue;
      marks.push_back(name(left));
      break;
    }
  }
}

}  // namespace drawing
