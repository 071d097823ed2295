#pragma once
// Makers of single marks, for the code in this folder that builds pictures.
#include <optional>
#include <string>
#include <vector>

#include "drawing/Drawing.h"

namespace drawing {

Mark LineMark(Point a, Point b, Pen pen);
Mark RectMark(Point topLeft, Point bottomRight, std::optional<Pen> pen, std::optional<Rgb> fill);
Mark CircleMark(Point centre, double radius, std::optional<Pen> pen, std::optional<Rgb> fill);
Mark PolygonMark(std::vector<Point> points, std::optional<Pen> pen, std::optional<Rgb> fill);
// Text in colour (its fill), no outline.
Mark TextMark(Point at, std::string text, Anchor anchor, double fontSize, Rgb colour, bool bold = false);
// The mark standing for a pair (key nPairNo) or a point (key nIndex, and its job file).
Mark Keyed(Mark m, KeyKind kind, int key, int fileNumber = 0);

}  // namespace drawing
