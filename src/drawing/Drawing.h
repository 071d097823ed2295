#pragma once
// A picture as a list of marks in its own pixels (x to the right, y downward), made once
// from the job's data and then painted by whichever output needs it: SVG for the report
// page, a painter on the screen. Marks that stand for a pair or a point carry its key, so
// that a click on the screen can find what it hit.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drawing {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Point {
  double x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Pen {
  Rgb colour;
  double width = 1;
  bool dashed = false;
};

enum class Anchor { Start, Middle, End };  // where a text's anchor point lies along it

// What a mark stands for; Furniture is axes, grid, limits, labels.
enum class KeyKind { Furniture, Pair, Point };

struct Mark {
  enum class Kind {
    Line,      // points[0] to points[1]
    Polyline,  // open, through points
    Polygon,   // closed, through points
    Rect,      // points[0] top-left, points[1] bottom-right
    Circle,    // centre points[0], radius
    Text,      // anchored at points[0] on its baseline; UTF-8
  };
  Kind kind = Kind::Line;
  std::vector<Point> points;
  double radius = 0;
  std::optional<Pen> pen;   // no outline when empty
  std::optional<Rgb> fill;  // not filled when empty
  std::string text;
  Anchor anchor = Anchor::Start;
  double fontSize = 12;
  bool bold = false;
  KeyKind keyKind = KeyKind::Furniture;
  int key = 0;  // a pair's nPairNo or a point's nIndex
  int fileNumber = 0;  // a point's nFileNumber
};

struct Drawing {
  double width = 0;
  double height = 0;
  std::string title;  // UTF-8: what the picture shows, for its caption and its SVG title
  std::vector<Mark> marks;  // painted in order
};

}  // namespace drawing
