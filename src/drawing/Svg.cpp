// A drawing as SVG 1.1: the root with its size and a title, then one element per mark in
// painting order. Marks in a row that share their look (a map's points, its pair links)
// go into one <g> that carries the look once, so a map of many points stays small.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "drawing/Plots.h"
#include "text/Numbers.h"
#include "text/Xml.h"

using drawing::Mark;

namespace {

using Attributes = std::vector<std::pair<const char*, std::string>>;

// Pixels to two decimals at most, "12.5" rather than "12.50", never "-0".
std::string Num(double value) {
  std::string s = text::FormatFixed(value, 2);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

std::string Hex(drawing::Rgb c) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string s = "#";
  for (std::uint8_t v : {c.r, c.g, c.b}) {
    s += kDigits[v >> 4];
    s += kDigits[v & 15];
  }
  return s;
}

// A mark with a coordinate, radius or size that is not a number would make the whole
// picture unreadable to some viewers; such a mark is left out.
bool IsDrawable(const Mark& m) {
  for (const drawing::Point& p : m.points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  }
  if (m.pen && !std::isfinite(m.pen->width)) return false;
  const std::size_t needed = m.kind == Mark::Kind::Line || m.kind == Mark::Kind::Rect ? 2 : 1;
  return m.points.size() >= needed && std::isfinite(m.radius) && std::isfinite(m.fontSize);
}

const char* ElementName(Mark::Kind kind) {
  switch (kind) {
    case Mark::Kind::Line: return "line";
    case Mark::Kind::Polyline: return "polyline";
    case Mark::Kind::Polygon: return "polygon";
    case Mark::Kind::Rect: return "rect";
    case Mark::Kind::Circle: return "circle";
    case Mark::Kind::Text: return "text";
  }
  return "g";
}

const char* AnchorName(drawing::Anchor anchor) {
  switch (anchor) {
    case drawing::Anchor::Start: return "start";
    case drawing::Anchor::Middle: return "middle";
    case drawing::Anchor::End: return "end";
  }
  return "start";
}

// How a mark looks; what a <g> may carry for a row of marks.
Attributes LookOf(const Mark& m) {
  Attributes look;
  if (m.kind == Mark::Kind::Text) {
    look.emplace_back("fill", m.fill ? Hex(*m.fill) : "#000000");
    look.emplace_back("font-size", Num(std::max(m.fontSize, 0.0)));
    look.emplace_back("text-anchor", AnchorName(m.anchor));
    if (m.bold) look.emplace_back("font-weight", "bold");
    return look;
  }
  look.emplace_back("fill", m.fill && m.kind != Mark::Kind::Line && m.kind != Mark::Kind::Polyline ? Hex(*m.fill) : "none");
  if (!m.pen) {
    look.emplace_back("stroke", "none");
    return look;
  }
  const double width = std::max(m.pen->width, 0.0);
  look.emplace_back("stroke", Hex(m.pen->colour));
  look.emplace_back("stroke-width", Num(width));
  if (m.pen->dashed) look.emplace_back("stroke-dasharray", Num(4 * std::max(width, 1.0)) + " " + Num(3 * std::max(width, 1.0)));
  return look;
}

std::string PointList(const std::vector<drawing::Point>& points) {
  std::string s;
  for (const drawing::Point& p : points) {
    if (!s.empty()) s += ' ';
    s += Num(p.x) + "," + Num(p.y);
  }
  return s;
}

// Where and how large a mark is.
void WriteGeometry(XmlWriter& w, const Mark& m) {
  const auto& p = m.points;
  switch (m.kind) {
    case Mark::Kind::Line:
      w.Attribute("x1", Num(p[0].x)); w.Attribute("y1", Num(p[0].y));
      w.Attribute("x2", Num(p[1].x)); w.Attribute("y2", Num(p[1].y));
      break;
    case Mark::Kind::Polyline:
    case Mark::Kind::Polygon:
      w.Attribute("points", PointList(p));
      break;
    case Mark::Kind::Rect:
      w.Attribute("x", Num(std::min(p[0].x, p[1].x))); w.Attribute("y", Num(std::min(p[0].y, p[1].y)));
      w.Attribute("width", Num(std::fabs(p[1].x - p[0].x))); w.Attribute("height", Num(std::fabs(p[1].y - p[0].y)));
      break;
    case Mark::Kind::Circle:
      w.Attribute("cx", Num(p[0].x)); w.Attribute("cy", Num(p[0].y));
      w.Attribute("r", Num(std::max(m.radius, 0.0)));
      break;
    case Mark::Kind::Text:
      w.Attribute("x", Num(p[0].x)); w.Attribute("y", Num(p[0].y));
      break;
  }
}

void WriteMark(XmlWriter& w, const Mark& m, const Attributes* look) {
  w.Start(ElementName(m.kind));
  WriteGeometry(w, m);
  if (look) {
    for (const auto& [name, value] : *look) w.Attribute(name, value);
  }
  if (m.kind == Mark::Kind::Text) w.Text(m.text);
  w.End();
}

void WriteRoot(XmlWriter& w, const drawing::Drawing& picture) {
  const double width = std::isfinite(picture.width) ? std::max(picture.width, 0.0) : 0;
  const double height = std::isfinite(picture.height) ? std::max(picture.height, 0.0) : 0;
  w.Start("svg");
  w.Attribute("xmlns", "http://www.w3.org/2000/svg");
  w.Attribute("width", Num(width));
  w.Attribute("height", Num(height));
  w.Attribute("viewBox", "0 0 " + Num(width) + " " + Num(height));
  w.Attribute("font-family", "sans-serif");
  w.Attribute("role", "img");
  w.Newline();
  w.Element("title", picture.title);
}

void WriteGroup(XmlWriter& w, const std::vector<const Mark*>& marks, const Attributes& look) {
  w.Start("g");
  for (const auto& [name, value] : look) w.Attribute(name, value);
  for (const Mark* m : marks) {
    w.Newline();
    WriteMark(w, *m, nullptr);
  }
  w.Newline();
  w.End();
}

}  // namespace

std::string SvgOf(const drawing::Drawing& picture) {
  XmlWriter w(XmlWriter::Mode::Xml);
  WriteRoot(w, picture);
  std::vector<const Mark*> run;  // drawable marks in a row that look alike
  Attributes runLook;
  auto flush = [&] {
    w.Newline();
    if (run.size() == 1) {
      WriteMark(w, *run[0], &runLook);
    } else {
      WriteGroup(w, run, runLook);
    }
    run.clear();
  };
  for (const Mark& m : picture.marks) {
    if (!IsDrawable(m)) continue;
    Attributes look = LookOf(m);
    if (!run.empty() && look != runLook) flush();
    if (run.empty()) runLook = std::move(look);
    run.push_back(&m);
  }
  if (!run.empty()) flush();
  w.Newline();
  return w.Take();
}
