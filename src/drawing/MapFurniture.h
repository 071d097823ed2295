#pragma once
// The furniture of a map, one code for the report's point map and the desktop's map view:
// the frame that places grid coordinates in a picture, round grid lines with their labels,
// a scale bar, a north arrow and the points' names. Each caller gives its own sizes and
// colours, as a printed page and a screen differ; the rules are the same.
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "drawing/Drawing.h"
#include "drawing/LabelSpace.h"

namespace drawing {

// Grid coordinates to the pixels of a picture, one scale for both axes: easting to the
// right, northing up, the frame's middle at (centreY, centreX). pixelsPerMetre must be a
// finite positive number (the callers' fits and viewports keep it so).
struct GridFrame {
  double left = 0, top = 0, right = 1, bottom = 1;  // pixels
  double centreY = 0, centreX = 0;                  // grid easting and northing, metres
  double pixelsPerMetre = 1;

  double PixelX(double easting) const { return (left + right) / 2 + (easting - centreY) * pixelsPerMetre; }
  double PixelY(double northing) const { return (top + bottom) / 2 - (northing - centreX) * pixelsPerMetre; }
  Point ToPixel(double easting, double northing) const { return {PixelX(easting), PixelY(northing)}; }
  double EastingAt(double px) const { return centreY + (px - (left + right) / 2) / pixelsPerMetre; }
  double NorthingAt(double py) const { return centreX - (py - (top + bottom) / 2) / pixelsPerMetre; }
};

// Round grid lines over the frame, at least spacingPx apart (less than 2.5 times that).
struct GridLines {
  double step = 1;                // metres
  std::vector<double> eastings;   // metres, left to right
  std::vector<double> northings;  // metres, bottom to top
};
GridLines GridLinesFor(const GridFrame& frame, double spacingPx);

struct GridStyle {
  static constexpr double kAnywhere = std::numeric_limits<double>::infinity();
  double spacingPx = 110;
  Rgb line{};
  Rgb label{};
  double labelPx = 9;
  bool crispLines = false;        // on pixel centres, as a screen shows them sharp
  bool labelsAfterLines = false;  // every label over every line; else line, label, line, ...
  double eastingLabelY = 0;       // baseline of the eastings' labels, right of their lines
  // Labels keep clear of the corners' furniture: an easting is labelled only when its line
  // lies within these x, a northing (left edge, over its line) within these y.
  double eastingLabelsFromX = -kAnywhere, eastingLabelsToX = kAnywhere;
  double northingLabelsFromY = -kAnywhere, northingLabelsToY = kAnywhere;
};
// Light lines across the frame, eastings first, and their coordinates.
void AddGrid(std::vector<Mark>& marks, const GridFrame& frame, const GridStyle& style);

// A bar of a round length (1, 2, 5 times a power of ten) at most maxPx long.
struct ScaleBar {
  double metres = 1;
  double pixels = 1;
  std::string text;  // "500 m", "2 km", "0.5 m"
};
ScaleBar ScaleBarFor(double pixelsPerMetre, double maxPx);

struct ScaleBarStyle {
  enum class Label { Above, Right };  // centred over the bar, or after its end
  double heightPx = 7;
  Label label = Label::Above;
  double labelPx = 11;
  Rgb ink{};
  Rgb paper{};
};
// The bar from topLeft, its first half ink and its second paper, outlined, and its length.
void AddScaleBar(std::vector<Mark>& marks, const ScaleBar& bar, Point topLeft, const ScaleBarStyle& style);

struct NorthArrowStyle {
  double halfWidthPx = 9;
  double lengthPx = 32;
  double notchPx = 8;      // how far the base's middle rises into the arrowhead
  double letterGapPx = 6;  // from the tip up to the baseline of "K"
  double letterPx = 14;
  Rgb ink{};
  Rgb paper{};
};
// A split arrowhead pointing up from tip, one half ink and one paper, under "K" (Kuzey).
void AddNorthArrow(std::vector<Mark>& marks, Point tip, const NorthArrowStyle& style);

// A point's name and where its dot is drawn.
struct NameSpot {
  Point dot{};
  std::string text;  // UTF-8; empty names are left out
  bool failing = false;
  int nIndex = 0;
  int nFileNumber = 0;
};

struct NameStyle {
  double fontPx = 9;
  double gapPx = 5;    // from the dot's centre to the name's near end
  double raisePx = 4;  // of the baseline over the dot's centre
  Rgb ink{};
  Rgb fail{};
};

// A text's size in the painter's font, pixels.
struct TextExtent {
  double width = 0, ascent = 0, descent = 0;
};
using MeasureText = std::function<TextExtent(const std::string& utf8)>;

// Names beside their dots, in the order given, as text marks keyed by their points. The
// two sessions of a control point share a name and, at map scale, a place: a name that a
// spot within 3 px already gave is left out, as two would print as a smudge. Without room
// every name goes right of its dot; with room (and measure, for the name's box), right of
// it, else left, where room grants the box, and is left out otherwise.
void AddNames(std::vector<Mark>& marks, const std::vector<NameSpot>& spots, const NameStyle& style,
              LabelSpace* room = nullptr, const MeasureText& measure = {});

}  // namespace drawing
