#include "drawing/Marks.h"

#include <utility>

namespace drawing {

Mark LineMark(Point a, Point b, Pen pen) {
  Mark m;
  m.kind = Mark::Kind::Line;
  m.points = {a, b};
  m.pen = pen;
  return m;
}

Mark RectMark(Point topLeft, Point bottomRight, std::optional<Pen> pen, std::optional<Rgb> fill) {
  Mark m;
  m.kind = Mark::Kind::Rect;
  m.points = {topLeft, bottomRight};
  m.pen = pen;
  m.fill = fill;
  return m;
}

Mark CircleMark(Point centre, double radius, std::optional<Pen> pen, std::optional<Rgb> fill) {
  Mark m;
  m.kind = Mark::Kind::Circle;
  m.points = {centre};
  m.radius = radius;
  m.pen = pen;
  m.fill = fill;
  return m;
}

Mark PolygonMark(std::vector<Point> points, std::optional<Pen> pen, std::optional<Rgb> fill) {
  Mark m;
  m.kind = Mark::Kind::Polygon;
  m.points = std::move(points);
  m.pen = pen;
  m.fill = fill;
  return m;
}

Mark TextMark(Point at, std::string text, Anchor anchor, double fontSize, Rgb colour, bool bold) {
  Mark m;
  m.kind = Mark::Kind::Text;
  m.points = {at};
  m.text = std::move(text);
  m.anchor = anchor;
  m.fontSize = fontSize;
  m.fill = colour;
  m.bold = bold;
  return m;
}

Mark Keyed(Mark m, KeyKind kind, int key, int fileNumber) {
  m.keyKind = kind;
  m.key = key;
  m.fileNumber = fileNumber;
  return m;
}

}  // namespace drawing
