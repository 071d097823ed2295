// The job's pictures, in three steps each: the data (pairs and points as the plots need
// them), the ranges (always holding the limits, and the data as far as it stays
// readable), and the marks, painted back to front: background, grid, limits, data,
// labels, legend.
#include "drawing/Plots.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <unordered_map>
#include <utility>

#include "drawing/MapFurniture.h"
#include "drawing/Marks.h"
#include "drawing/RoundNumbers.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"

using namespace drawing;

namespace {

constexpr double kCmPerM = 100.0;
constexpr double kSecondsPerHour = 3600.0;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk{33, 33, 33};
constexpr Rgb kMuted{110, 110, 110};
constexpr Rgb kGrid{228, 228, 228};
constexpr Rgb kFrame{160, 160, 160};
constexpr Rgb kZero{190, 190, 190};
constexpr Rgb kLimit{68, 68, 68};
constexpr Rgb kLink{140, 140, 140};
constexpr Rgb kRing{148, 103, 189};
constexpr Rgb kPass{0x1f, 0x77, 0xb4};
constexpr Rgb kFail{0xd6, 0x27, 0x28};

// ---- data ------------------------------------------------------------------------------

std::set<int> FailingPairNos(const std::vector<Finding>& findings) {
  std::set<int> failing;
  for (const Finding& f : findings) {
    if (f.target == Finding::Target::Pair && f.level == Finding::Level::Error) failing.insert(f.nIndex);
  }
  return failing;
}

std::set<std::pair<int, int>> FailingPointKeys(const std::vector<Finding>& findings) {
  std::set<std::pair<int, int>> failing;
  for (const Finding& f : findings) {
    if (f.target == Finding::Target::Point && f.level == Finding::Level::Error) {
      failing.emplace(f.nIndex, f.nFileNumber);
    }
  }
  return failing;
}

// ---- marks -----------------------------------------------------------------------------

Mark Background(double width, double height) { return RectMark({0, 0}, {width, height}, std::nullopt, kWhite); }

// ---- ranges and ticks ------------------------------------------------------------------

// Values to pixels along one axis.
struct Scale {
  double v0 = 0, v1 = 1;  // values at the two ends
  double p0 = 0, p1 = 1;  // their pixels
  double operator()(double v) const { return p0 + (v - v0) * (p1 - p0) / (v1 - v0); }
};

// A limit beyond this (metres or hours) is no limit a job is judged by; drawn, it would
// push everything else into one pixel.
constexpr double kLargestLimit = 1e6;

// A limit to draw: in the unit shown, and only when it is a usable number.
double UsableLimit(double value, double factor) {
  return value > 0 && value <= kLargestLimit ? value * factor : 0;
}

// How far an axis reaches beyond its limit before the data outside is drawn on its edge.
constexpr double kLimitHeadroom = 1.25;
constexpr double kMostTimesLimit = 4.0;
constexpr double kLargestAxis = 1e9;  // without a limit, data beyond this is drawn on the edge

// The top of an axis that starts at zero (or the half range of a symmetric one): the limit
// with headroom, the data while it stays within a few limits, rounded up to a whole step.
struct AxisTop {
  double top = 1;
  double step = 1;
};

AxisTop AxisTopFor(double limit, double dataMax, int steps) {
  double want = std::max(limit * kLimitHeadroom, dataMax * 1.05);
  if (limit > 0) want = std::min(want, limit * kMostTimesLimit);
  if (!(want > 0)) want = 1;
  want = std::min(want, kLargestAxis);
  const double step = NiceCeil(want / steps);
  return {std::ceil(want / step - 1e-9) * step, step};
}

// ---- legend ----------------------------------------------------------------------------

std::size_t Utf8Length(const std::string& s) {
  return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

enum class Swatch { Dot, Box, Dashed, Line, Diamond, Ring };

// One entry: a swatch and its text, laid out from left to right; returns the next x.
double LegendEntry(std::vector<Mark>& marks, double x, double y, Swatch swatch, Rgb colour, const std::string& label) {
  const Point c{x + 8, y - 4};
  switch (swatch) {
    case Swatch::Dot: marks.push_back(CircleMark(c, 4.5, Pen{kWhite, 0.75}, colour)); break;
    case Swatch::Box: marks.push_back(RectMark({c.x - 5, c.y - 5}, {c.x + 5, c.y + 5}, std::nullopt, colour)); break;
    case Swatch::Dashed: marks.push_back(LineMark({x, c.y}, {x + 18, c.y}, Pen{colour, 1.5, true})); break;
    case Swatch::Line: marks.push_back(LineMark({x, c.y}, {x + 18, c.y}, Pen{colour, 1.5})); break;
    case Swatch::Ring: marks.push_back(CircleMark(c, 5, Pen{colour, 1.25}, std::nullopt)); break;
    case Swatch::Diamond:
      marks.push_back(PolygonMark({{c.x, c.y - 5}, {c.x + 5, c.y}, {c.x, c.y + 5}, {c.x - 5, c.y}}, std::nullopt, colour));
      break;
  }
  marks.push_back(TextMark({x + 24, y}, label, Anchor::Start, 11, kInk));
  // Text widths are not known here; an average letter of 11 px text is about 6.2 px wide.
  return x + 24 + 6.2 * static_cast<double>(Utf8Length(label)) + 18;
}

std::string Count(std::size_t n) { return text::FormatInt(static_cast<std::int64_t>(n)); }

// A limit as the legends print it, to two decimals at most: "7", "2.5".
std::string Trimmed(double value) {
  std::string s = text::FormatFixed(value, 2);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

// ---- the difference scatter --------------------------------------------------------------

constexpr double kDiffWidth = 640, kDiffHeight = 640;
constexpr double kDiffLeft = 80, kDiffTop = 60, kDiffSide = 480;
constexpr double kDotRadius = 4.5;

struct DiffFrame {
  double half = 1;  // cm from the centre to each edge
  double step = 1;
  Scale east, north;
};

DiffFrame DiffFrameFor(const std::vector<PairDifference>& pairs, double limY, double limX) {
  double dataMax = 0;
  for (const PairDifference& p : pairs) {
    if (std::isfinite(p.dy) && std::isfinite(p.dx)) {
      dataMax = std::max({dataMax, std::fabs(p.dy) * kCmPerM, std::fabs(p.dx) * kCmPerM});
    }
  }
  const AxisTop axis = AxisTopFor(std::max(limY, limX), dataMax, 5);
  DiffFrame f;
  f.half = axis.top;
  f.step = axis.step;
  f.east = {-f.half, f.half, kDiffLeft, kDiffLeft + kDiffSide};
  f.north = {-f.half, f.half, kDiffTop + kDiffSide, kDiffTop};  // north up
  return f;
}

void DiffGrid(std::vector<Mark>& marks, const DiffFrame& f) {
  const double right = kDiffLeft + kDiffSide, bottom = kDiffTop + kDiffSide;
  for (double t : Ticks(-f.half, f.half, f.step)) {
    const Rgb colour = t == 0 ? kZero : kGrid;
    marks.push_back(LineMark({f.east(t), kDiffTop}, {f.east(t), bottom}, Pen{colour, 1}));
    marks.push_back(LineMark({kDiffLeft, f.north(t)}, {right, f.north(t)}, Pen{colour, 1}));
  }
  for (double t : Ticks(-f.half, f.half, f.step)) {
    marks.push_back(TextMark({f.east(t), bottom + 17}, TickText(t, f.step), Anchor::Middle, 11, kMuted));
    marks.push_back(TextMark({kDiffLeft - 7, f.north(t) + 4}, TickText(t, f.step), Anchor::End, 11, kMuted));
  }
  marks.push_back(TextMark({kDiffLeft + kDiffSide / 2, bottom + 40}, "ΔY (cm)", Anchor::Middle, 12, kInk, true));
  marks.push_back(TextMark({kDiffLeft, kDiffTop - 12}, "ΔX (cm)", Anchor::Middle, 12, kInk, true));
}

void DiffLimits(std::vector<Mark>& marks, const DiffFrame& f, double limY, double limX) {
  const double reach = std::max(limY, limX);
  if (reach <= 0) return;
  marks.push_back(CircleMark({f.east(0), f.north(0)}, f.east(reach) - f.east(0), Pen{kMuted, 1}, std::nullopt));
  marks.push_back(RectMark({f.east(-limY), f.north(limX)}, {f.east(limY), f.north(-limX)}, Pen{kLimit, 1.5, true},
                           std::nullopt));
}

// A pair inside the frame is a dot; one beyond it a diamond on the frame's edge.
Mark PairDot(const PairDifference& p, const DiffFrame& f, bool& clipped) {
  const double y = p.dy * kCmPerM, x = p.dx * kCmPerM;
  const double cy = std::clamp(y, -f.half, f.half), cx = std::clamp(x, -f.half, f.half);
  clipped = cy != y || cx != x;
  const Point c{f.east(cy), f.north(cx)};
  const Rgb colour = p.failing ? kFail : kPass;
  if (!clipped) return Keyed(CircleMark(c, kDotRadius, Pen{kWhite, 0.75}, colour), KeyKind::Pair, p.nPairNo);
  const double r = kDotRadius + 1;
  return Keyed(PolygonMark({{c.x, c.y - r}, {c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}}, Pen{kWhite, 0.75}, colour),
               KeyKind::Pair, p.nPairNo);
}

// Failing pairs are drawn last, so none hides under a passing one.
std::size_t DiffDots(std::vector<Mark>& marks, const std::vector<PairDifference>& pairs, const DiffFrame& f) {
  std::size_t clippedCount = 0;
  for (bool failing : {false, true}) {
    for (const PairDifference& p : pairs) {
      if (p.failing != failing || !std::isfinite(p.dy) || !std::isfinite(p.dx)) continue;
      bool clipped = false;
      marks.push_back(PairDot(p, f, clipped));
      clippedCount += clipped;
    }
  }
  return clippedCount;
}

void DiffLegend(std::vector<Mark>& marks, const std::vector<PairDifference>& pairs, double limY, double limX,
                std::size_t clipped) {
  const auto failing = static_cast<std::size_t>(std::count_if(pairs.begin(), pairs.end(), [](auto& p) { return p.failing; }));
  const double y = kDiffHeight - 16;
  double x = kDiffLeft - 40;
  x = LegendEntry(marks, x, y, Swatch::Dot, kPass, "Uygun (" + Count(pairs.size() - failing) + ")");
  x = LegendEntry(marks, x, y, Swatch::Dot, kFail, "Hatalı (" + Count(failing) + ")");
  if (std::max(limY, limX) > 0) {
    x = LegendEntry(marks, x, y, Swatch::Dashed, kLimit, "Sınır ±" + Trimmed(limY) + " / ±" + Trimmed(limX) + " cm");
  }
  if (clipped > 0) LegendEntry(marks, x, y, Swatch::Diamond, kMuted, "Ölçek dışı (" + Count(clipped) + ")");
}

// ---- the height and time columns ------------------------------------------------------

constexpr double kColumnsWidth = 800, kColumnsHeight = 520;
constexpr double kColumnsLeft = 70, kColumnsRight = 780;
constexpr double kPanelHeight = 160;
constexpr double kHeightPanelTop = 60, kTimePanelTop = 280;

struct PanelSpec {
  double top = 0;
  std::string title;     // with its unit
  std::string limitText;
  double limit = 0;      // in the panel's unit; 0 for none
  bool failsAbove = true;  // a column above the limit fails; else one below it
};

// A column's value in the panel's unit, whether it breaks the panel's limit.
struct Column {
  int nPairNo = 0;
  double value = 0;
  bool failing = false;
};

std::vector<Column> ColumnsOf(const std::vector<PairDifference>& pairs, const PanelSpec& panel, bool height) {
  std::vector<Column> columns;
  columns.reserve(pairs.size());
  for (const PairDifference& p : pairs) {
    Column c{p.nPairNo, height ? std::fabs(p.dh) * kCmPerM : p.hours, false};
    if (panel.limit > 0) c.failing = panel.failsAbove ? c.value > panel.limit : c.value < panel.limit;
    columns.push_back(c);
  }
  return columns;
}

Scale SlotScale(std::size_t count) {
  return {0, static_cast<double>(std::max<std::size_t>(count, 1)), kColumnsLeft, kColumnsRight};
}

void PanelAxes(std::vector<Mark>& marks, const PanelSpec& panel, const Scale& value, double step) {
  const double bottom = panel.top + kPanelHeight;
  for (double t : Ticks(value.v0, value.v1, step)) {
    marks.push_back(LineMark({kColumnsLeft, value(t)}, {kColumnsRight, value(t)}, Pen{t == 0 ? kZero : kGrid, 1}));
    marks.push_back(TextMark({kColumnsLeft - 7, value(t) + 4}, TickText(t, step), Anchor::End, 11, kMuted));
  }
  marks.push_back(RectMark({kColumnsLeft, panel.top}, {kColumnsRight, bottom}, Pen{kFrame, 1}, std::nullopt));
  marks.push_back(TextMark({kColumnsLeft, panel.top - 10}, panel.title, Anchor::Start, 12, kInk, true));
}

void PanelLimit(std::vector<Mark>& marks, const PanelSpec& panel, const Scale& value) {
  if (panel.limit <= 0) return;
  const double y = value(panel.limit);
  marks.push_back(LineMark({kColumnsLeft, y}, {kColumnsRight, y}, Pen{kLimit, 1.5, true}));
  marks.push_back(TextMark({kColumnsRight, panel.top - 10}, panel.limitText, Anchor::End, 11, kLimit));
}

// Columns at most 24 px wide with a gap between them. With more pairs than the panel has
// pixels for gaps, columns fill their slots, so they print as solid colour rather than
// faint hairlines; a failing one stays at least a pixel wide and is drawn over its
// neighbours. A column beyond the axis ends in a small triangle.
constexpr double kFewestGapPixels = 3;

double ColumnWidth(double slotWidth, bool failing) {
  if (slotWidth >= kFewestGapPixels) return std::min(slotWidth * 0.7, 24.0);
  return failing ? std::max(slotWidth, 1.0) : slotWidth;
}

void PanelColumns(std::vector<Mark>& marks, const std::vector<Column>& columns, const Scale& value) {
  const Scale slot = SlotScale(columns.size());
  const double slotWidth = slot(1) - slot(0);
  for (bool failing : {false, true}) {
    const double half = ColumnWidth(slotWidth, failing) / 2;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Column& c = columns[i];
      if (c.failing != failing || !std::isfinite(c.value)) continue;
      const double mid = slot(static_cast<double>(i) + 0.5);
      const double top = value(std::min(c.value, value.v1));
      const Rgb colour = c.failing ? kFail : kPass;
      marks.push_back(Keyed(RectMark({mid - half, top}, {mid + half, value(0)}, std::nullopt, colour), KeyKind::Pair, c.nPairNo));
      if (c.value <= value.v1) continue;
      marks.push_back(Keyed(PolygonMark({{mid - 4, top + 6}, {mid + 4, top + 6}, {mid, top}}, Pen{kWhite, 0.5}, colour),
                            KeyKind::Pair, c.nPairNo));
    }
  }
}

void DrawPanel(std::vector<Mark>& marks, const std::vector<Column>& columns, const PanelSpec& panel) {
  double dataMax = 0;
  for (const Column& c : columns) {
    if (std::isfinite(c.value)) dataMax = std::max(dataMax, c.value);
  }
  const AxisTop axis = AxisTopFor(panel.limit, dataMax, 4);
  const Scale value{0, axis.top, panel.top + kPanelHeight, panel.top};
  PanelAxes(marks, panel, value, axis.step);
  PanelColumns(marks, columns, value);
  PanelLimit(marks, panel, value);
}

// Pair numbers under the lower panel, every n-th of them (n from 1, 2, 5, 10, ...) so
// that labels stay about 48 px apart.
void PairLabels(std::vector<Mark>& marks, const std::vector<PairDifference>& pairs) {
  const Scale slot = SlotScale(pairs.size());
  const double bottom = kTimePanelTop + kPanelHeight;
  const double slotWidth = slot(1) - slot(0);
  const auto every = static_cast<std::size_t>(slotWidth >= 48 ? 1 : NiceCeil(48 / slotWidth));
  for (std::size_t i = 0; i < pairs.size(); i += every) {
    const double mid = slot(static_cast<double>(i) + 0.5);
    marks.push_back(LineMark({mid, bottom}, {mid, bottom + 4}, Pen{kFrame, 1}));
    marks.push_back(Keyed(TextMark({mid, bottom + 17}, text::FormatInt(pairs[i].nPairNo), Anchor::Middle, 10, kMuted),
                          KeyKind::Pair, pairs[i].nPairNo));
  }
  marks.push_back(TextMark({(kColumnsLeft + kColumnsRight) / 2, bottom + 40}, "Eşleşme no (listedeki sırayla)",
                           Anchor::Middle, 12, kInk, true));
}

void NoPairsNote(std::vector<Mark>& marks, Point at) {
  marks.push_back(TextMark(at, "Eşleşen nokta yok", Anchor::Middle, 14, kMuted));
}

// ---- the map ---------------------------------------------------------------------------

constexpr double kMapWidth = 800, kMapHeight = 800;
constexpr double kMapLeft = 20, kMapTop = 44, kMapRight = 780, kMapBottom = 730;
constexpr double kMapInset = 36;      // between the outermost points and the frame
constexpr double kMinMapSpanM = 20;   // a map never shows less ground than this
constexpr std::size_t kMostNamedPoints = 300;
constexpr double kPointRadius = 3;

// No grid coordinate lies 100,000 km from the zone's origin; such a value is damage and
// would squash every real point into one pixel.
constexpr double kFarthestGridM = 1e8;

bool IsMappable(const MapPoint& p) { return std::fabs(p.y) < kFarthestGridM && std::fabs(p.x) < kFarthestGridM; }

GridFrame MapFrameFor(const std::vector<MapPoint>& points) {
  double minY = std::numeric_limits<double>::infinity(), maxY = -minY, minX = minY, maxX = -minY;
  for (const MapPoint& p : points) {
    if (!IsMappable(p)) continue;
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
  }
  GridFrame f{kMapLeft, kMapTop, kMapRight, kMapBottom, 0, 0, 1};
  if (!(minY <= maxY)) return f;  // nothing to place
  const double spanY = std::max(maxY - minY, kMinMapSpanM), spanX = std::max(maxX - minX, kMinMapSpanM);
  f.centreY = (minY + maxY) / 2;
  f.centreX = (minX + maxX) / 2;
  f.pixelsPerMetre = std::min((kMapRight - kMapLeft - 2 * kMapInset) / spanY, (kMapBottom - kMapTop - 2 * kMapInset) / spanX);
  return f;
}

// Grid labels keep clear of the zone box and the north arrow in the top corners, and of
// the frame's right edge; eastings are labelled inside the frame's bottom edge.
constexpr GridStyle kMapGrid{.spacingPx = 110,
                             .line = kGrid,
                             .label = kMuted,
                             .labelPx = 9,
                             .eastingLabelY = kMapBottom - 5,
                             .eastingLabelsToX = kMapRight - 48,
                             .northingLabelsFromY = kMapTop + 36};

void MapLinks(std::vector<Mark>& marks, const MapData& map, const GridFrame& f) {
  const KeyIndex byIndex(map.points, [](const MapPoint& p) { return p.nIndex; });
  for (bool failing : {false, true}) {
    for (const MapPair& pair : map.pairs) {
      if (pair.failing != failing) continue;
      const std::uint32_t i = byIndex.Find(pair.nIndex1), j = byIndex.Find(pair.nIndex2);
      if (i == KeyIndex::kNone || j == KeyIndex::kNone) continue;
      const MapPoint &a = map.points[i], &b = map.points[j];
      if (!IsMappable(a) || !IsMappable(b)) continue;
      const Pen pen = failing ? Pen{kFail, 1.5} : Pen{kLink, 1};
      const Point first = f.ToPixel(a.y, a.x);
      marks.push_back(Keyed(LineMark(first, f.ToPixel(b.y, b.x), pen), KeyKind::Pair, pair.nPairNo));
      // Two sessions lie centimetres apart, so at map scale the line is hidden under the
      // point: a ring marks the pair.
      marks.push_back(Keyed(CircleMark(first, kPointRadius + 3, Pen{failing ? kFail : kRing, 1.25}, std::nullopt),
                            KeyKind::Pair, pair.nPairNo));
    }
  }
}

void MapPoints(std::vector<Mark>& marks, const std::vector<MapPoint>& points, const GridFrame& f) {
  for (bool failing : {false, true}) {
    for (const MapPoint& p : points) {
      if (p.failing != failing || !IsMappable(p)) continue;
      const double r = failing ? kPointRadius + 0.5 : kPointRadius;
      marks.push_back(Keyed(CircleMark(f.ToPixel(p.y, p.x), r, Pen{kWhite, 0.5}, failing ? kFail : kPass),
                            KeyKind::Point, p.nIndex, p.nFileNumber));
    }
  }
}

void MapNames(std::vector<Mark>& marks, const std::vector<MapPoint>& points, const GridFrame& f) {
  if (points.size() > kMostNamedPoints) return;
  std::vector<NameSpot> spots;
  spots.reserve(points.size());
  for (const MapPoint& p : points) {
    if (IsMappable(p)) spots.push_back({f.ToPixel(p.y, p.x), p.name, p.failing, p.nIndex, p.nFileNumber});
  }
  AddNames(marks, spots, NameStyle{.fontPx = 9, .gapPx = 5, .raisePx = 4, .ink = kInk, .fail = kFail});
}

// A north arrow in the top right corner, a scale bar of a tenth to a quarter of the map's
// width under its bottom left corner.
void MapCompass(std::vector<Mark>& marks, const GridFrame& f) {
  AddNorthArrow(marks, {kMapRight - 30, kMapTop + 30},
                NorthArrowStyle{.halfWidthPx = 9, .lengthPx = 32, .notchPx = 8, .letterGapPx = 6, .letterPx = 14,
                                .ink = kInk, .paper = kWhite});
  AddScaleBar(marks, ScaleBarFor(f.pixelsPerMetre, (kMapRight - kMapLeft) / 4), {kMapLeft + 10, kMapBottom + 30},
              ScaleBarStyle{.heightPx = 7, .label = ScaleBarStyle::Label::Above, .labelPx = 11, .ink = kInk, .paper = kWhite});
}

void ZoneLabel(std::vector<Mark>& marks, const std::string& zone) {
  marks.push_back(RectMark({kMapLeft + 1, kMapTop + 1}, {kMapLeft + 80, kMapTop + 28}, std::nullopt, kWhite));
  marks.push_back(TextMark({kMapLeft + 10, kMapTop + 20}, zone, Anchor::Start, 14, kInk, true));
}

void MapLegend(std::vector<Mark>& marks, const MapData& map) {
  const auto failing = static_cast<std::size_t>(
      std::count_if(map.points.begin(), map.points.end(), [](const MapPoint& p) { return p.failing; }));
  double x = kMapRight - 500;
  const double y = kMapBottom + 38;
  x = LegendEntry(marks, x, y, Swatch::Dot, kPass, "Nokta (" + Count(map.points.size() - failing) + ")");
  x = LegendEntry(marks, x, y, Swatch::Dot, kFail, "Hatalı (" + Count(failing) + ")");
  x = LegendEntry(marks, x, y, Swatch::Ring, kRing, "Eşleşen (" + Count(map.pairs.size()) + ")");
  LegendEntry(marks, x, y, Swatch::Line, kLink, "Oturumlar arası");
}

std::string ZoneText(const MapData& map) { return "TM" + map.meridian; }

}  // namespace

std::vector<PairDifference> PairDifferencesOf(const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  const JobIndex index(doc);
  const std::set<int> failing = FailingPairNos(findings);
  std::vector<PairDifference> out;
  out.reserve(doc.EslesenList().size());
  for (const CEslesenNokta& pair : doc.EslesenList()) {
    const CTarvekNokta* p = index.Point(pair.nIndex1);
    const CTarvekNokta* q = index.Point(pair.nIndex2);
    if (!p || !q) continue;
    PairDifference d;
    d.nPairNo = pair.nPairNo;
    d.name = text::Cp1254ToUtf8(pair.strName1);
    d.dy = q->dY - p->dY;
    d.dx = q->dX - p->dX;
    d.dh = q->dHeight - p->dHeight;
    d.hours = std::fabs(q->dStartTime - p->dStartTime) / kSecondsPerHour;
    d.failing = failing.count(pair.nPairNo) > 0;
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<MapData> MapDataOf(const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  const std::vector<CTarvekNokta>& points = doc.NoktaList();
  const JobIndex index(doc);
  const std::set<int> failingPairs = FailingPairNos(findings);
  const std::set<std::pair<int, int>> failingPoints = FailingPointKeys(findings);

  // The points of failing pairs fail with them.
  std::set<int> inFailingPair;
  for (const CEslesenNokta& pair : doc.EslesenList()) {
    if (failingPairs.count(pair.nPairNo) == 0) continue;
    inFailingPair.insert(pair.nIndex1);
    inFailingPair.insert(pair.nIndex2);
  }

  std::vector<MapData> maps;
  std::unordered_map<std::string, std::size_t> zoneOf;
  for (const CTarvekNokta& p : points) {
    auto [it, added] = zoneOf.emplace(p.strMeridian, maps.size());
    if (added) maps.push_back(MapData{p.strMeridian, {}, {}});
    MapPoint m{p.nIndex, p.nFileNumber, text::Cp1254ToUtf8(p.strName), p.dY, p.dX, false};
    m.failing = failingPoints.count({p.nIndex, p.nFileNumber}) > 0 || inFailingPair.count(p.nIndex) > 0;
    maps[it->second].points.push_back(std::move(m));
  }
  for (const CEslesenNokta& pair : doc.EslesenList()) {
    const CTarvekNokta* p = index.Point(pair.nIndex1);
    const CTarvekNokta* q = index.Point(pair.nIndex2);
    if (!p || !q || p->strMeridian != q->strMeridian) continue;
    maps[zoneOf.at(p->strMeridian)].pairs.push_back(
        MapPair{pair.nPairNo, pair.nIndex1, pair.nIndex2, failingPairs.count(pair.nPairNo) > 0});
  }
  return maps;
}

drawing::Drawing DifferencePlot(const std::vector<PairDifference>& pairs, const RuleProfile& profile) {
  const double limY = UsableLimit(profile.dMaxDiffY, kCmPerM), limX = UsableLimit(profile.dMaxDiffX, kCmPerM);
  const DiffFrame f = DiffFrameFor(pairs, limY, limX);
  drawing::Drawing d{kDiffWidth, kDiffHeight, "Oturum farkları: ΔY ve ΔX (2. oturum − 1. oturum)", {}};
  d.marks.push_back(Background(kDiffWidth, kDiffHeight));
  d.marks.push_back(TextMark({kDiffWidth / 2, 26}, "Oturum farkları (2. oturum − 1. oturum)", Anchor::Middle, 15, kInk, true));
  DiffGrid(d.marks, f);
  DiffLimits(d.marks, f, limY, limX);
  d.marks.push_back(RectMark({kDiffLeft, kDiffTop}, {kDiffLeft + kDiffSide, kDiffTop + kDiffSide}, Pen{kFrame, 1}, std::nullopt));
  const std::size_t clipped = DiffDots(d.marks, pairs, f);
  if (pairs.empty()) NoPairsNote(d.marks, {kDiffLeft + kDiffSide / 2, kDiffTop + kDiffSide / 2 - 20});
  DiffLegend(d.marks, pairs, limY, limX, clipped);
  return d;
}

drawing::Drawing HeightTimePlot(const std::vector<PairDifference>& pairs, const RuleProfile& profile) {
  drawing::Drawing d{kColumnsWidth, kColumnsHeight, "Yükseklik farkı ve oturumlar arası süre", {}};
  d.marks.push_back(Background(kColumnsWidth, kColumnsHeight));
  d.marks.push_back(TextMark({kColumnsWidth / 2, 26}, d.title, Anchor::Middle, 15, kInk, true));
  const double limH = UsableLimit(profile.dMaxDiffH, kCmPerM);
  const double limHours = UsableLimit(profile.dMinDiffHours, 1);
  const PanelSpec height{kHeightPanelTop, "|Δh| (cm)", "Sınır: en çok " + Trimmed(limH) + " cm", limH, true};
  const PanelSpec time{kTimePanelTop, "Oturumlar arası süre (saat)", "Sınır: en az " + Trimmed(limHours) + " saat",
                       limHours, false};
  DrawPanel(d.marks, ColumnsOf(pairs, height, true), height);
  DrawPanel(d.marks, ColumnsOf(pairs, time, false), time);
  PairLabels(d.marks, pairs);
  if (pairs.empty()) NoPairsNote(d.marks, {(kColumnsLeft + kColumnsRight) / 2, kHeightPanelTop + kPanelHeight / 2});
  double x = kColumnsRight - 330;
  x = LegendEntry(d.marks, x, kColumnsHeight - 12, Swatch::Box, kPass, "Sınır içinde");
  x = LegendEntry(d.marks, x, kColumnsHeight - 12, Swatch::Box, kFail, "Sınır dışı");
  LegendEntry(d.marks, x, kColumnsHeight - 12, Swatch::Dashed, kLimit, "Sınır");
  return d;
}

drawing::Drawing PointMap(const MapData& map) {
  const GridFrame f = MapFrameFor(map.points);
  drawing::Drawing d{kMapWidth, kMapHeight, "Nokta haritası " + ZoneText(map), {}};
  d.marks.reserve(map.points.size() * (map.points.size() <= kMostNamedPoints ? 2 : 1) + map.pairs.size() + 100);
  d.marks.push_back(Background(kMapWidth, kMapHeight));
  d.marks.push_back(TextMark({kMapWidth / 2, 28}, d.title + " (" + Count(map.points.size()) + " nokta)",
                             Anchor::Middle, 15, kInk, true));
  AddGrid(d.marks, f, kMapGrid);
  d.marks.push_back(RectMark({kMapLeft, kMapTop}, {kMapRight, kMapBottom}, Pen{kFrame, 1}, std::nullopt));
  MapLinks(d.marks, map, f);
  MapPoints(d.marks, map.points, f);
  MapNames(d.marks, map.points, f);
  ZoneLabel(d.marks, ZoneText(map));
  MapCompass(d.marks, f);
  MapLegend(d.marks, map);
  return d;
}
