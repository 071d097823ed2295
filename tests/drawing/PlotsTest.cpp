// The job's pictures: the data they are made of (signs, zones, what fails), where the
// data lands in pixels (limits, north, scale), what every picture does with empty,
// equal, huge and non-numeric input, and their SVG as xmllint reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DrawingFixture.h"
#include "drawing/Plots.h"
#include "support/Oracles.h"
#include "support/Portable.h"

namespace {

using drawing::KeyKind;
using drawing::Mark;
using drawing::Point;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr drawing::Rgb kBlue{0x1f, 0x77, 0xb4};

PairDifference Diff(int nPairNo, double dy, double dx, double dh = 0.01, double hours = 2, bool failing = false) {
  return PairDifference{nPairNo, "P" + std::to_string(nPairNo), dy, dx, dh, hours, failing};
}

Finding PairFinding(int nPairNo, Finding::Level level = Finding::Level::Error) {
  Finding f;
  f.target = Finding::Target::Pair;
  f.nIndex = nPairNo;
  f.level = level;
  return f;
}

Finding PointFinding(int nIndex, int nFileNumber, Finding::Level level = Finding::Level::Error) {
  Finding f;
  f.target = Finding::Target::Point;
  f.nIndex = nIndex;
  f.nFileNumber = nFileNumber;
  f.level = level;
  return f;
}

struct Box {
  double left, top, right, bottom;
};

Box BoxOf(const Mark& rect) {
  return {std::min(rect.points[0].x, rect.points[1].x), std::min(rect.points[0].y, rect.points[1].y),
          std::max(rect.points[0].x, rect.points[1].x), std::max(rect.points[0].y, rect.points[1].y)};
}

const Mark* LimitSquare(const drawing::Drawing& d) {
  for (const Mark& m : d.marks) {
    if (m.kind == Mark::Kind::Rect && m.pen && m.pen->dashed) return &m;
  }
  return nullptr;
}

// The dashed lines across a panel (not the legend's swatch).
std::vector<const Mark*> DashedLines(const drawing::Drawing& d) {
  std::vector<const Mark*> out;
  for (const Mark& m : d.marks) {
    const bool across = m.kind == Mark::Kind::Line && std::fabs(m.points[1].x - m.points[0].x) > 100;
    if (across && m.pen && m.pen->dashed && m.keyKind == KeyKind::Furniture) out.push_back(&m);
  }
  return out;
}

const Mark& KeyedMark(const drawing::Drawing& d, KeyKind kind, int key, Mark::Kind markKind) {
  for (const Mark& m : d.marks) {
    if (m.keyKind == kind && m.key == key && m.kind == markKind) return m;
  }
  throw std::runtime_error("no mark for key " + std::to_string(key));
}

const Mark* TextMatching(const drawing::Drawing& d, const std::function<bool(const std::string&)>& matches) {
  for (const Mark& m : d.marks) {
    if (m.kind == Mark::Kind::Text && matches(m.text)) return &m;
  }
  return nullptr;
}

// Every coordinate is a number on the canvas, and the SVG of it holds no "nan" or "inf"
// and is read by xmllint.
void ExpectSoundPicture(const drawing::Drawing& d) {
  for (const Mark& m : d.marks) {
    ASSERT_TRUE(std::isfinite(m.radius));
    for (const Point& p : m.points) {
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << m.text;
      EXPECT_GE(p.x, -0.5);
      EXPECT_LE(p.x, d.width + 0.5);
      EXPECT_GE(p.y, -0.5);
      EXPECT_LE(p.y, d.height + 0.5);
    }
  }
  const std::string svg = SvgOf(d);
  EXPECT_EQ(std::string::npos, svg.find("nan"));
  EXPECT_EQ(std::string::npos, svg.find("inf"));
  if (!HasXmllint()) return;
  TestDir dir;
  WriteText(dir / "picture.svg", svg);
  EXPECT_EQ("", XmlProblems(dir / "picture.svg"));
}

// ---- the data -----------------------------------------------------------------------------

TEST(PairDifferencesOf, SignedSessionTwoMinusOneAndFailingOnlyOnPairErrors) {
  DocFixture f;
  const CTarvekNokta p = MakePoint(1000, 1, "\xDE" "ah", 450000.00, 4400000.00, 900.00, 0);
  const CTarvekNokta q = MakePoint(1001, 1, "Q", 450000.03, 4399999.98, 900.05, 7200);
  f.Points() = {p, q};
  f.Pairs() = {MakePair(100, p, q), MakePair(101, q, p), MakePair(102, p, q)};
  f.Pairs()[2].nIndex2 = 1999;  // its session was removed with its job file
  const std::vector<Finding> findings = {PairFinding(100, Finding::Level::Warning), PointFinding(100, 0),
                                         PairFinding(101)};
  const std::vector<PairDifference> d = PairDifferencesOf(*f.doc, findings);
  ASSERT_EQ(2u, d.size());
  EXPECT_EQ("Şah", d[0].name);
  EXPECT_NEAR(0.03, d[0].dy, 1e-9);
  EXPECT_NEAR(-0.02, d[0].dx, 1e-9);
  EXPECT_NEAR(0.05, d[0].dh, 1e-9);
  EXPECT_DOUBLE_EQ(2.0, d[0].hours);
  EXPECT_FALSE(d[0].failing) << "a warning, or a point finding with the same number, does not fail a pair";
  EXPECT_EQ(101, d[1].nPairNo);
  EXPECT_NEAR(-0.03, d[1].dy, 1e-9);
  EXPECT_DOUBLE_EQ(2.0, d[1].hours);
  EXPECT_TRUE(d[1].failing);
}

TEST(MapDataOf, ZonesInFirstOrderAndFailingFromPointsOrTheirPairs) {
  DocFixture f;
  f.Points() = {MakePoint(1000, 1, "A", 1, 1, 0, 0, "36"), MakePoint(1001, 1, "B", 2, 2, 0, 0, "33"),
                MakePoint(1002, 2, "C", 3, 3, 0, 0, "36"), MakePoint(1003, 2, "D", 4, 4, 0, 0, "33"),
                MakePoint(1004, 2, "E", 5, 5, 0, 0, "36"), MakePoint(1005, 2, "F", 6, 6, 0, 0, "36")};
  const auto& pts = f.Points();
  f.Pairs() = {MakePair(100, pts[0], pts[2]), MakePair(101, pts[1], pts[4]), MakePair(102, pts[4], pts[5])};
  const std::vector<Finding> findings = {PointFinding(1001, 1), PointFinding(1003, 9), PointFinding(1000, 1, Finding::Level::Warning),
                                         PairFinding(102)};
  const std::vector<MapData> maps = MapDataOf(*f.doc, findings);
  ASSERT_EQ(2u, maps.size());
  EXPECT_EQ("36", maps[0].meridian);
  EXPECT_EQ("33", maps[1].meridian);
  std::map<int, bool> failing;
  for (const MapData& m : maps) {
    for (const MapPoint& p : m.points) failing[p.nIndex] = p.failing;
  }
  EXPECT_EQ((std::map<int, bool>{{1000, false}, {1001, true}, {1002, false}, {1003, false}, {1004, true}, {1005, true}}),
            failing)
      << "1003's finding names another file; 1004 and 1005 fail with their pair";
  ASSERT_EQ(2u, maps[0].pairs.size()) << "pair 101 crosses zones and is in neither";
  EXPECT_EQ(100, maps[0].pairs[0].nPairNo);
  EXPECT_FALSE(maps[0].pairs[0].failing);
  EXPECT_TRUE(maps[0].pairs[1].failing);
  EXPECT_TRUE(maps[1].pairs.empty());
  EXPECT_EQ(4u, maps[0].points.size());
  EXPECT_EQ(1004, maps[0].points[2].nIndex);
  EXPECT_EQ(2, maps[0].points[2].nFileNumber);
}

// ---- the difference scatter ---------------------------------------------------------------

TEST(DifferencePlot, PairsAtTheLimitsLieOnTheSquareAndNorthIsUp) {
  RuleProfile profile = ClassicProfile();
  profile.dMaxDiffY = 0.05;
  profile.dMaxDiffX = 0.03;
  const std::vector<PairDifference> pairs = {Diff(100, 0.05, 0.03), Diff(101, -0.05, -0.03), Diff(102, 0.05, 0),
                                             Diff(103, 0, 0.03), Diff(104, 0, 0), Diff(105, 0.0501, 0, 0, 2, true)};
  const drawing::Drawing d = DifferencePlot(pairs, profile);
  const Mark* square = LimitSquare(d);
  ASSERT_NE(nullptr, square);
  const Box b = BoxOf(*square);
  auto centre = [&](int key) { return KeyedMark(d, KeyKind::Pair, key, Mark::Kind::Circle).points[0]; };
  EXPECT_EQ((Point{b.right, b.top}), centre(100)) << "+ΔY right, +ΔX up";
  EXPECT_EQ((Point{b.left, b.bottom}), centre(101));
  EXPECT_EQ(b.right, centre(102).x);
  EXPECT_EQ(b.top, centre(103).y);
  EXPECT_DOUBLE_EQ((b.left + b.right) / 2, centre(104).x);
  EXPECT_DOUBLE_EQ((b.top + b.bottom) / 2, centre(104).y);
  EXPECT_GT(centre(105).x, b.right);
  EXPECT_NEAR((b.right - b.left) / 10, (b.bottom - b.top) / 6, 1e-9) << "one centimetre is as long in both axes";
  for (const Mark& m : d.marks) {
    if (m.kind == Mark::Kind::Circle && m.keyKind == KeyKind::Furniture && !m.fill && m.radius > 10) {
      EXPECT_NEAR((b.right - b.left) / 2, m.radius, 1e-9) << "the circle of the larger limit";
    }
  }
}

TEST(DifferencePlot, FailingRedOnExactlyTheFailingPairs) {
  std::vector<PairDifference> pairs;
  for (int i = 0; i < 40; ++i) pairs.push_back(Diff(100 + i, 0.002 * (i - 20), 0.0015 * (i % 9), 0.01, 2, i % 7 == 3));
  pairs.push_back(Diff(140, 50, -80, 0, 2, true));  // far off: drawn on the edge, still keyed
  const drawing::Drawing d = DifferencePlot(pairs, NetworkProfile());
  std::set<int> seen;
  for (const Mark* m : MarksOf(d, KeyKind::Pair)) {
    const bool failing = m->key == 140 || (m->key - 100) % 7 == 3;
    ASSERT_TRUE(m->fill);
    EXPECT_EQ(failing ? kFailRed : kBlue, *m->fill) << m->key;
    EXPECT_TRUE(seen.insert(m->key).second) << "one mark per pair";
  }
  EXPECT_EQ(41u, seen.size());
}

// ---- the height and time columns --------------------------------------------------------

struct Columns {
  const Mark* upper = nullptr;
  const Mark* lower = nullptr;
};

std::map<int, Columns> ColumnsByPair(const drawing::Drawing& d) {
  std::map<int, Columns> out;
  for (const Mark* m : MarksOf(d, KeyKind::Pair)) {
    if (m->kind != Mark::Kind::Rect) continue;
    Columns& c = out[m->key];
    (c.upper == nullptr ? c.upper : c.lower) = m;
    if (c.lower && BoxOf(*c.lower).top < BoxOf(*c.upper).top) std::swap(c.upper, c.lower);
  }
  return out;
}

TEST(HeightTimePlot, ColumnsInListOrderEachAgainstItsOwnLimit) {
  const std::vector<PairDifference> pairs = {Diff(107, 0, 0, 0.01, 2), Diff(101, 0, 0, -0.09, 2, true),
                                             Diff(102, 0, 0, 0.02, 0.5, true), Diff(103, 0, 0, 0.07, 1.0)};
  const drawing::Drawing d = HeightTimePlot(pairs, NetworkProfile());
  const std::map<int, Columns> columns = ColumnsByPair(d);
  ASSERT_EQ(4u, columns.size());
  for (const auto& [key, c] : columns) ASSERT_TRUE(c.upper && c.lower) << key;
  auto mid = [&](int key) { Box b = BoxOf(*columns.at(key).upper); return (b.left + b.right) / 2; };
  EXPECT_LT(mid(107), mid(101));
  EXPECT_LT(mid(101), mid(102));
  EXPECT_LT(mid(102), mid(103));
  EXPECT_EQ(kFailRed, *columns.at(101).upper->fill) << "|Δh| of a negative difference";
  EXPECT_EQ(kBlue, *columns.at(101).lower->fill);
  EXPECT_EQ(kBlue, *columns.at(102).upper->fill);
  EXPECT_EQ(kFailRed, *columns.at(102).lower->fill) << "too short";
  EXPECT_EQ(kBlue, *columns.at(103).upper->fill) << "at the limit is within it";
  EXPECT_EQ(kBlue, *columns.at(103).lower->fill);
  const std::vector<const Mark*> limits = DashedLines(d);
  ASSERT_EQ(2u, limits.size());
  EXPECT_NEAR(limits[0]->points[0].y, BoxOf(*columns.at(103).upper).top, 1e-9);
  EXPECT_NEAR(limits[1]->points[0].y, BoxOf(*columns.at(103).lower).top, 1e-9);
  EXPECT_NEAR(BoxOf(*columns.at(103).upper).bottom, BoxOf(*columns.at(107).upper).bottom, 1e-9) << "from zero";
}

TEST(HeightTimePlot, ManyPairsGetThinColumnsAndSparseLabels) {
  std::vector<PairDifference> pairs;
  for (int i = 0; i < 1500; ++i) pairs.push_back(Diff(100 + i, 0, 0, 0.0001 * (i % 900), i == 9 ? 0.91 : 1 + 0.01 * (i % 300)));
  const drawing::Drawing d = HeightTimePlot(pairs, NetworkProfile());
  const std::map<int, Columns> columns = ColumnsByPair(d);
  ASSERT_EQ(1500u, columns.size());
  const Box first = BoxOf(*columns.at(100).upper), second = BoxOf(*columns.at(101).upper);
  EXPECT_GT(first.right, first.left);
  EXPECT_LE(first.right, second.left) << "passing columns do not run into each other";
  const Box failing = BoxOf(*columns.at(109).lower);  // 0.91 hours
  EXPECT_EQ(kFailRed, *columns.at(109).lower->fill);
  EXPECT_GE(failing.right - failing.left, 1) << "a failing column is never thinner than a pixel";
  std::vector<double> labels;
  for (const Mark* m : MarksOf(d, KeyKind::Pair)) {
    if (m->kind == Mark::Kind::Text) labels.push_back(m->points[0].x);
  }
  EXPECT_GE(labels.size(), 5u);
  EXPECT_LE(labels.size(), 20u);
  for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_GE(labels[i] - labels[i - 1], 40);
  ExpectSoundPicture(d);
}

// ---- every picture on awkward input ------------------------------------------------------

struct AwkwardCase {
  const char* name;
  std::vector<PairDifference> pairs;
  std::function<void(RuleProfile&)> change;
};

class AwkwardPairs : public ::testing::TestWithParam<AwkwardCase> {};

TEST_P(AwkwardPairs, PicturesStayOnTheCanvasWithTheLimitsInside) {
  RuleProfile profile = NetworkProfile();
  GetParam().change(profile);
  const drawing::Drawing scatter = DifferencePlot(GetParam().pairs, profile);
  ExpectSoundPicture(scatter);
  const Box frame = BoxOf(scatter.marks[0]);
  if (const Mark* square = LimitSquare(scatter)) {
    const Box b = BoxOf(*square);
    EXPECT_GT(b.right - b.left, 20) << "the limits are never squashed by an outlier";
    EXPECT_GT(b.left, frame.left);
    EXPECT_LT(b.right, frame.right);
  }
  ExpectSoundPicture(HeightTimePlot(GetParam().pairs, profile));
}

const auto kKeep = [](RuleProfile&) {};

INSTANTIATE_TEST_SUITE_P(
    Inputs, AwkwardPairs,
    ::testing::Values(
        AwkwardCase{"NoPairs", {}, kKeep},
        AwkwardCase{"OnePair", {Diff(100, 0.01, -0.02, 0.03, 2)}, kKeep},
        AwkwardCase{"AllEqual", std::vector<PairDifference>(5, Diff(100, 0.02, 0.02, 0.02, 2)), kKeep},
        AwkwardCase{"AllZero", std::vector<PairDifference>(3, Diff(100, 0, 0, 0, 0)), kKeep},
        AwkwardCase{"HugeOutlier", {Diff(100, 0.01, 0.01), Diff(101, 1000, -2500, 400, 9000, true)}, kKeep},
        AwkwardCase{"LargestDoubles", {Diff(100, 1.7e308, -1.7e308, 1.7e308, 1.7e308)}, kKeep},
        AwkwardCase{"NotNumbers",
                    {Diff(100, kNaN, 0.01, kNaN, kNaN), Diff(101, kInf, -kInf, kInf, kInf), Diff(102, 0.01, 0.02)},
                    kKeep},
        AwkwardCase{"ZeroLimits", {Diff(100, 0.01, 0.02, 0.03, 2)},
                    [](RuleProfile& p) { p.dMaxDiffY = p.dMaxDiffX = p.dMaxDiffH = p.dMinDiffHours = 0; }},
        AwkwardCase{"NonNumberLimits", {Diff(100, 0.01, 0.02, 0.03, 2)},
                    [](RuleProfile& p) { p.dMaxDiffY = kNaN, p.dMaxDiffX = kInf, p.dMaxDiffH = -1, p.dMinDiffHours = kNaN; }},
        AwkwardCase{"HugeLimits", {Diff(100, 0.01, 0.02, 0.03, 2)},
                    [](RuleProfile& p) { p.dMaxDiffY = p.dMaxDiffX = p.dMaxDiffH = p.dMinDiffHours = 1e300; }},
        AwkwardCase{"TinyLimits", {Diff(100, 0.01, 0.02, 0.03, 2)},
                    [](RuleProfile& p) { p.dMaxDiffY = p.dMaxDiffX = p.dMaxDiffH = p.dMinDiffHours = 1e-300; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct AwkwardMapCase {
  const char* name;
  std::vector<MapPoint> points;
};

class AwkwardMaps : public ::testing::TestWithParam<AwkwardMapCase> {};

TEST_P(AwkwardMaps, MapStaysOnTheCanvas) {
  MapData map{"33", GetParam().points, {}};
  if (map.points.size() >= 2) map.pairs.push_back({100, map.points[0].nIndex, map.points[1].nIndex, true});
  ExpectSoundPicture(PointMap(map));
}

MapPoint At(int nIndex, double y, double x) { return MapPoint{nIndex, 1, "N" + std::to_string(nIndex), y, x, false}; }

INSTANTIATE_TEST_SUITE_P(
    Inputs, AwkwardMaps,
    ::testing::Values(AwkwardMapCase{"NoPoints", {}}, AwkwardMapCase{"OnePoint", {At(1000, 450000, 4400000)}},
                      AwkwardMapCase{"SamePlace", {At(1000, 450000, 4400000), At(1001, 450000, 4400000)}},
                      AwkwardMapCase{"OnALine", {At(1000, 450000, 4400000), At(1001, 450000, 4480000)}},
                      AwkwardMapCase{"NotNumbers", {At(1000, kNaN, 4400000), At(1001, 450000, kInf), At(1002, 450010, 4400010)}},
                      AwkwardMapCase{"DamagedFarOff", {At(1000, 1e300, -1e300), At(1001, 450000, 4400000), At(1002, 1.7e308, 0)}},
                      AwkwardMapCase{"ZoneWide", {At(1000, 330000, 3950000), At(1001, 670000, 4700000)}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the map -------------------------------------------------------------------------------

TEST(PointMap, NorthUpAtOneScaleWithKeysAndRedFailures) {
  MapData map{"33",
              {At(1000, 450000, 4400000), At(1001, 450300, 4400000), At(1002, 450000, 4400300), At(1003, 450300, 4400300)},
              {{100, 1000, 1003, false}, {101, 1001, 1002, true}, {102, 1000, 1999, false}}};
  map.points[2].failing = true;
  map.points[3].nFileNumber = 4;
  const drawing::Drawing d = PointMap(map);
  auto centre = [&](int key) { return KeyedMark(d, KeyKind::Point, key, Mark::Kind::Circle).points[0]; };
  const double east = centre(1001).x - centre(1000).x, north = centre(1000).y - centre(1002).y;
  EXPECT_GT(east, 0) << "easting to the right";
  EXPECT_GT(north, 0) << "north up";
  EXPECT_NEAR(east, north, 1e-9) << "one metre is as long in both axes";
  EXPECT_NEAR(centre(1003).x, centre(1001).x, 1e-9);
  EXPECT_NEAR(centre(1003).y, centre(1002).y, 1e-9);
  for (const Mark* m : MarksOf(d, KeyKind::Point)) {
    if (m->kind != Mark::Kind::Circle) continue;
    EXPECT_EQ(m->key == 1002 ? kFailRed : kBlue, *m->fill) << m->key;
    EXPECT_EQ(m->key == 1003 ? 4 : 1, m->fileNumber);
  }
  const Mark& link = KeyedMark(d, KeyKind::Pair, 101, Mark::Kind::Line);
  EXPECT_EQ(kFailRed, link.pen->colour);
  EXPECT_EQ(centre(1001), link.points[0]);
  EXPECT_EQ(centre(1002), link.points[1]);
  EXPECT_NE(kFailRed, KeyedMark(d, KeyKind::Pair, 100, Mark::Kind::Line).pen->colour);
  EXPECT_EQ(4u, MarksOf(d, KeyKind::Pair).size()) << "a line and a ring each; pair 102 lacks a point on this map";
  const Mark& ring = KeyedMark(d, KeyKind::Pair, 100, Mark::Kind::Circle);
  EXPECT_EQ(centre(1000), ring.points[0]) << "the ring sits on the first session";
  EXPECT_FALSE(ring.fill.has_value());
  EXPECT_NE(nullptr, TextMatching(d, [](const std::string& t) { return t == "TM33"; }));
  EXPECT_NE(nullptr, TextMatching(d, [](const std::string& t) { return t == "K"; }));
}

struct ScaleCase {
  const char* name;
  double spanM;
  const char* label;
};

class ScaleBar : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleBar, LengthInPixelsIsItsLabelAtTheMapScale) {
  const double span = GetParam().spanM;
  const MapData map{"39", {At(1000, 500000, 4300000), At(1001, 500000 + span, 4300000 + span / 3)}, {}};
  const drawing::Drawing d = PointMap(map);
  const double pixelsPerMetre =
      (KeyedMark(d, KeyKind::Point, 1001, Mark::Kind::Circle).points[0].x - KeyedMark(d, KeyKind::Point, 1000, Mark::Kind::Circle).points[0].x) / span;
  const Mark* label = TextMatching(d, [](const std::string& t) {
    return !t.empty() && std::isdigit(static_cast<unsigned char>(t[0])) && (t.ends_with(" m") || t.ends_with(" km"));
  });
  ASSERT_NE(nullptr, label);
  EXPECT_EQ(GetParam().label, label->text);
  const double metres = std::stod(label->text) * (label->text.ends_with("km") ? 1000 : 1);
  const Mark* bar = nullptr;
  for (const Mark& m : d.marks) {
    if (m.kind == Mark::Kind::Rect && m.pen && std::fabs((BoxOf(m).left + BoxOf(m).right) / 2 - label->points[0].x) < 1e-9) {
      bar = &m;
    }
  }
  ASSERT_NE(nullptr, bar);
  const Box b = BoxOf(*bar);
  EXPECT_NEAR(metres * pixelsPerMetre, b.right - b.left, 1e-6);
  EXPECT_GT(b.right - b.left, 70);
  EXPECT_LT(b.right - b.left, 195);
}

INSTANTIATE_TEST_SUITE_P(Spans, ScaleBar,
                         ::testing::Values(ScaleCase{"TwentyMetres", 20, "5 m"}, ScaleCase{"OddMetres", 137, "20 m"},
                                           ScaleCase{"FiveKilometres", 5000, "1 km"},
                                           ScaleCase{"TwoHundredKilometres", 200000, "50 km"},
                                           ScaleCase{"TwoCentimetres", 0.02, "5 m"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PointMap, NamesOnlyWhileTheMapStaysReadable) {
  for (std::size_t count : {300u, 301u}) {
    MapData map{"33", {}, {}};
    for (std::size_t i = 0; i < count; ++i) {
      map.points.push_back(At(1000 + static_cast<int>(i), 450000 + 10.0 * static_cast<double>(i % 20), 4400000 + 10.0 * static_cast<double>(i / 20)));
    }
    const drawing::Drawing d = PointMap(map);
    std::size_t names = 0;
    for (const Mark* m : MarksOf(d, KeyKind::Point)) names += m->kind == Mark::Kind::Text;
    EXPECT_EQ(count <= 300 ? count : 0, names) << count;
  }
}

TEST(PointMap, TwoSessionsInOnePlaceShareOneLabel) {
  MapData map{"33", {At(1000, 450000, 4400000), At(1001, 450000.01, 4400000), At(1002, 450500, 4400000)}, {}};
  for (MapPoint& p : map.points) p.name = "PN1";
  const drawing::Drawing d = PointMap(map);
  std::vector<int> labelled;
  for (const Mark* m : MarksOf(d, KeyKind::Point)) {
    if (m->kind == Mark::Kind::Text) labelled.push_back(m->key);
  }
  EXPECT_EQ((std::vector<int>{1000, 1002}), labelled) << "the same name elsewhere is labelled again";
}

TEST(PointMap, HostileNamesAreTextInTheSvg) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  MapData map{"33", {At(1000, 450000, 4400000), At(1001, 450050, 4400020)}, {}};
  map.points[0].name = "<script>alert(\"x\")</script>";
  map.points[1].name = "A&B ]]> '\x01\xED\xA0\x80";
  const std::string svg = SvgOf(PointMap(map));
  EXPECT_EQ(std::string::npos, svg.find("<script"));
  EXPECT_NE(std::string::npos, svg.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"));
  EXPECT_NE(std::string::npos, svg.find("A&amp;B ]]&gt; &#39;<"));
  if (!HasXmllint()) VELMIRA_ORACLE_MISSING("no /usr/bin/xmllint");
  TestDir dir;
  WriteText(dir / "map.svg", svg);
  ASSERT_EQ("", XmlProblems(dir / "map.svg"));
  EXPECT_EQ("A&B ]]> '", XPathString(dir / "map.svg", "//*[local-name()=\"text\"][starts-with(., \"A&\")]"));
}

// ---- SVG -----------------------------------------------------------------------------------

TEST(SvgOf, OneElementPerMarkWithShortNumbersUnderATurkishLocale) {
  const char* previous = std::setlocale(LC_ALL, "tr_TR.UTF-8");
  drawing::Drawing d{120, 80.5, "Başlık <1>", {}};
  Mark line;
  line.points = {{0.004, 1.5}, {10.126, -2.0}};
  line.pen = drawing::Pen{{0, 0, 0}, 1.5, true};
  d.marks.push_back(line);
  Mark rect;
  rect.kind = Mark::Kind::Rect;
  rect.points = {{30, 20}, {10, 5}};
  rect.fill = drawing::Rgb{255, 10, 171};
  d.marks.push_back(rect);
  Mark circle;
  circle.kind = Mark::Kind::Circle;
  circle.points = {{3.25, 4}};
  circle.radius = 2;
  circle.fill = drawing::Rgb{0x1f, 0x77, 0xb4};
  d.marks.push_back(circle);
  circle.points = {{5, 6}};
  d.marks.push_back(circle);
  Mark label;
  label.kind = Mark::Kind::Text;
  label.points = {{60, 70}};
  label.text = "ΔY & \"ş\"";
  label.anchor = drawing::Anchor::Middle;
  label.bold = true;
  d.marks.push_back(label);
  Mark broken = circle;
  broken.points = {{kNaN, 1}};
  d.marks.push_back(broken);
  Mark polygon;
  polygon.kind = Mark::Kind::Polygon;
  polygon.points = {{0, 0}, {1, 0}, {0.5, -0.001}};
  polygon.pen = drawing::Pen{{1, 2, 3}, 1, false};
  d.marks.push_back(polygon);
  const std::string svg = SvgOf(d);
  if (previous) std::setlocale(LC_ALL, "C");
  EXPECT_EQ(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"120\" height=\"80.5\" viewBox=\"0 0 120 80.5\" "
      "font-family=\"sans-serif\" role=\"img\">\n"
      "  <title>Başlık &lt;1&gt;</title>\n"
      "  <line x1=\"0\" y1=\"1.5\" x2=\"10.13\" y2=\"-2\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1.5\" "
      "stroke-dasharray=\"6 4.5\"/>\n"
      "  <rect x=\"10\" y=\"5\" width=\"20\" height=\"15\" fill=\"#ff0aab\" stroke=\"none\"/>\n"
      "  <g fill=\"#1f77b4\" stroke=\"none\">\n"
      "    <circle cx=\"3.25\" cy=\"4\" r=\"2\"/>\n"
      "    <circle cx=\"5\" cy=\"6\" r=\"2\"/>\n"
      "  </g>\n"
      "  <text x=\"60\" y=\"70\" fill=\"#000000\" font-size=\"12\" text-anchor=\"middle\" font-weight=\"bold\">"
      "ΔY &amp; &quot;ş&quot;</text>\n"
      "  <polygon points=\"0,0 1,0 0.5,0\" fill=\"none\" stroke=\"#010203\" stroke-width=\"1\"/>\n"
      "</svg>",
      svg);
}

// A zone of 65,000 points, as large a job as the field software keeps, every one of them
// paired: the SVG stays some megabytes and xmllint finds every point and pair in it.
TEST(SvgOf, LargeMapStaysSmallAndWhole) {
  MapData map{"33", {}, {}};
  constexpr int kPoints = 65000;
  for (int i = 0; i < kPoints; ++i) {
    map.points.push_back({1000 + i, 1 + i % 4, "N" + std::to_string(i), 420000 + 3.7 * (i % 260), 4400000 + 4.1 * (i / 260), i % 97 == 0});
  }
  for (int i = 0; i + 1 < kPoints; i += 2) map.pairs.push_back({100 + i, 1000 + i, 1001 + i, i % 194 == 0});
  const auto start = std::chrono::steady_clock::now();
  const std::string svg = SvgOf(PointMap(map));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("65,000-point map: %.3f s to build and write, %.2f MB of SVG\n", seconds, static_cast<double>(svg.size()) / 1e6);
  EXPECT_LT(svg.size(), 12'000'000u);
  if (!HasXmllint()) return;
  TestDir dir;
  WriteText(dir / "large.svg", svg);
  EXPECT_EQ("", XmlProblems(dir / "large.svg"));
  const std::string circles = RunCommand("/usr/bin/xmllint --xpath \"count(//*[local-name()='circle'])\" " + Quoted(dir / "large.svg")).output;
  EXPECT_EQ(std::to_string(kPoints + map.pairs.size() + 3), circles.substr(0, circles.find('\n')))
      << "every point, every pair's ring and the legend's three swatches";
}

}  // namespace
