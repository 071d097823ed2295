// The map's core: the viewport's mapping and its moves, and the model's hit testing against
// a plain search over every point.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ScriptedShell.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "map/MapModel.h"
#include "map/MapViewport.h"

using namespace jobmap;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool Finite(const MapViewport& v) {
  return std::isfinite(v.Centre().y) && std::isfinite(v.Centre().x) && std::isfinite(v.PixelsPerMetre()) &&
         v.PixelsPerMetre() >= kLeastPixelsPerMetre && v.PixelsPerMetre() <= kMostPixelsPerMetre;
}

// A document filled by hand; the cache folder is never made, as no job file is added.
struct HandDoc {
  ScriptedShell shell;
  CVelmiraDoc doc{shell, std::filesystem::temp_directory_path() / "velmira-map-test-unused"};

  void File(int number, const std::string& meridian) {
    tsjdosya f;
    f.nFileNumber = number;
    f.strMeridian = meridian;
    f.strFileName = "job" + std::to_string(number) + ".tsj";
    CVelmiraDocAccess::TsjList(doc).push_back(f);
  }
  CTarvekNokta& Point(int nIndex, int file, const std::string& meridian, double y, double x, const std::string& name = "P") {
    CTarvekNokta p;
    p.nIndex = nIndex;
    p.nFileNumber = file;
    p.strMeridian = meridian;
    p.dY = y;
    p.dX = x;
    p.strName = name;
    CVelmiraDocAccess::NoktaList(doc).push_back(p);
    return CVelmiraDocAccess::NoktaList(doc).back();
  }
  void Pair(int pairNo, int first, int second) {
    CEslesenNokta e;
    e.nPairNo = pairNo;
    e.nIndex1 = first;
    e.nIndex2 = second;
    CVelmiraDocAccess::EslesenList(doc).push_back(e);
  }
};

Finding Error(Finding::Target target, int nIndex, int nFileNumber, Finding::Level level = Finding::Level::Error) {
  Finding f;
  f.target = target;
  f.nIndex = nIndex;
  f.nFileNumber = nFileNumber;
  f.level = level;
  return f;
}

}  // namespace

// ---- viewport ----------------------------------------------------------------------------

struct ScaleRow {
  const char* name;
  double pixelsPerMetre;
  int width, height;
};

TEST(MapViewport, ScreenAndGridAreInversesAtEveryScaleAndAfterMoves) {
  const ScaleRow rows[] = {
      {"100 km per pixel", kLeastPixelsPerMetre, 800, 600},
      {"a hundred metres per pixel", 0.01, 1024, 768},
      {"a metre per pixel", 1, 640, 480},
      {"odd scale, odd size", 37.5, 333, 211},
      {"a millimetre per pixel", kMostPixelsPerMetre, 1920, 1080},
  };
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> offset(-1, 1), unit(0, 1);
  for (const ScaleRow& row : rows) {
    SCOPED_TRACE(row.name);
    MapViewport v({512345.678, 4412345.678}, row.pixelsPerMetre, row.width, row.height);
    for (int step = 0; step < 40; ++step) {
      const double reach = row.width / v.PixelsPerMetre();
      for (int k = 0; k < 25; ++k) {
        const GridPoint g{v.Centre().y + offset(rng) * reach, v.Centre().x + offset(rng) * reach};
        const GridPoint back = v.ToGrid(v.ToScreen(g));
        EXPECT_NEAR(back.y, g.y, 1e-6);
        EXPECT_NEAR(back.x, g.x, 1e-6);
        const ScreenPoint s{unit(rng) * row.width, unit(rng) * row.height};
        const ScreenPoint sBack = v.ToScreen(v.ToGrid(s));
        EXPECT_NEAR(sBack.sx, s.sx, 1e-5);
        EXPECT_NEAR(sBack.sy, s.sy, 1e-5);
      }
      // Moves keep the scale within limits and the mapping invertible.
      if (step % 2) {
        v.ZoomAt({unit(rng) * row.width, unit(rng) * row.height}, 0.5 + unit(rng) * 1.5);
      } else {
        v.PanBy(offset(rng) * 300, offset(rng) * 300);
      }
      ASSERT_TRUE(Finite(v));
    }
  }
}

TEST(MapViewport, NorthIsUpAndEastIsRight) {
  const MapViewport v({500000, 4400000}, 2, 100, 80);
  EXPECT_DOUBLE_EQ(v.ToScreen({500000, 4400000}).sx, 50);
  EXPECT_DOUBLE_EQ(v.ToScreen({500000, 4400000}).sy, 40);
  EXPECT_DOUBLE_EQ(v.ToScreen({500010, 4400000}).sx, 70);   // 10 m east: 20 px right
  EXPECT_DOUBLE_EQ(v.ToScreen({500000, 4400010}).sy, 20);   // 10 m north: 20 px up
  const GridBounds seen = v.Visible();
  EXPECT_DOUBLE_EQ(seen.minY, 500000 - 25);
  EXPECT_DOUBLE_EQ(seen.maxY, 500000 + 25);
  EXPECT_DOUBLE_EQ(seen.minX, 4400000 - 20);
  EXPECT_DOUBLE_EQ(seen.maxX, 4400000 + 20);
}

struct ZoomRow {
  const char* name;
  double factor;
  ScreenPoint cursor;
};

TEST(MapViewport, ZoomAtKeepsTheGroundUnderTheCursor) {
  const ZoomRow rows[] = {
      {"in at a corner", 2, {0, 0}},
      {"out at the far corner", 0.5, {800, 600}},
      {"a wheel notch off centre", 1.25, {123.5, 456.25}},
      {"beyond the closest scale", 1e9, {700, 100}},
      {"beyond the farthest scale", 1e-12, {10, 590}},
  };
  for (const ZoomRow& row : rows) {
    SCOPED_TRACE(row.name);
    MapViewport v({500000, 4400000}, 0.5, 800, 600);
    const GridPoint under = v.ToGrid(row.cursor);
    v.ZoomAt(row.cursor, row.factor);
    ASSERT_TRUE(Finite(v));
    const ScreenPoint now = v.ToScreen(under);
    EXPECT_NEAR(now.sx, row.cursor.sx, 1e-6);
    EXPECT_NEAR(now.sy, row.cursor.sy, 1e-6);
  }
}

TEST(MapViewport, BadInputLeavesItFiniteAndUnchanged) {
  const MapViewport start({500000, 4400000}, 0.5, 800, 600);
  for (double bad : {0.0, -2.0, kNaN, kInf, -kInf}) {
    MapViewport v = start;
    v.ZoomAt({400, 300}, bad);
    EXPECT_EQ(v, start) << bad;
    v.ZoomAt({kNaN, 300}, 2);
    EXPECT_EQ(v, start) << bad;
    v.PanBy(bad == 0.0 ? kNaN : bad, 0);
    if (std::isfinite(bad)) continue;
    EXPECT_EQ(v, start) << bad;
  }
  // A pan far beyond the ground stops at its edge.
  MapViewport v = start;
  v.PanBy(1e300, -1e300);
  EXPECT_TRUE(Finite(v));
  EXPECT_LE(std::fabs(v.Centre().y), kFarthestGridM);
  // Nonsense at construction falls back to sane values.
  const MapViewport odd({kNaN, kInf}, kNaN, -5, 0);
  EXPECT_TRUE(Finite(odd));
  EXPECT_EQ(odd.Width(), 1);
  EXPECT_EQ(odd.Height(), 1);
  EXPECT_TRUE(Finite(MapViewport({0, 0}, 1e300, 10, 10)));
  EXPECT_TRUE(Finite(MapViewport({0, 0}, 1e-300, 10, 10)));
}

struct FitRow {
  const char* name;
  std::vector<GridPoint> points;
  int width, height;
  double margin;
  double acrossM;  // expected ground across the smaller side, when not zero
};

TEST(MapViewport, FitShowsEveryPointAndGivesOnePointASensibleScale) {
  const FitRow rows[] = {
      {"a job over 12 by 3 km", {{500000, 4400000}, {512000, 4403000}, {503000, 4401000}}, 800, 600, 30, 0},
      {"tall and narrow", {{500000, 4400000}, {500200, 4460000}}, 400, 900, 30, 0},
      {"one point", {{512345.6, 4412345.6}}, 800, 600, 30, kSinglePointSpanM},
      {"two sessions 2 cm apart", {{512345.60, 4412345.60}, {512345.62, 4412345.61}}, 800, 600, 30, kSinglePointSpanM},
      {"a north-south line", {{500000, 4400000}, {500000, 4405000}}, 800, 600, 30, 0},
      {"a view too small for its margin", {{500000, 4400000}, {501000, 4401000}}, 20, 10, 40, 0},
  };
  for (const FitRow& row : rows) {
    SCOPED_TRACE(row.name);
    GridBounds b;
    for (GridPoint p : row.points) b.Add(p);
    const MapViewport v = MapViewport::Fit(b, row.width, row.height, row.margin);
    ASSERT_TRUE(Finite(v));
    for (GridPoint p : row.points) {
      const ScreenPoint s = v.ToScreen(p);
      EXPECT_GE(s.sx, -1e-6);
      EXPECT_LE(s.sx, row.width + 1e-6);
      EXPECT_GE(s.sy, -1e-6);
      EXPECT_LE(s.sy, row.height + 1e-6);
    }
    if (row.acrossM > 0) {
      const double usable = std::min(row.width, row.height) - 2 * row.margin;
      EXPECT_NEAR(usable / v.PixelsPerMetre(), row.acrossM, 1e-9);
    }
  }
  const MapViewport none = MapViewport::Fit(GridBounds{}, 800, 600, 30);
  EXPECT_TRUE(Finite(none));
}

// ---- the model ---------------------------------------------------------------------------

TEST(MapModel, VectorEndMagnifiesTheDifference) {
  const MapDot first{500000, 4400000, 1000, 1, 0, 0, false};
  const MapDot second{500000.07, 4399999.97, 1001, 1, 1, 0, false};
  struct Row {
    double magnification, y, x;
  } rows[] = {{1, 500000.07, 4399999.97}, {1000, 500070, 4399970}, {0, 500000, 4400000}};
  for (const Row& r : rows) {
    const GridPoint end = MapModel::VectorEnd(first, second, r.magnification);
    EXPECT_NEAR(end.y, r.y, 1e-6) << r.magnification;
    EXPECT_NEAR(end.x, r.x, 1e-6) << r.magnification;
  }
}

TEST(MapModel, BuildTakesOneZoneWithItsFailingPointsAndPairs) {
  HandDoc h;
  h.File(1, "30");
  h.File(2, "33");
  h.File(3, "30");
  h.Point(1000, 1, "30", 500000, 4400000, "A1");
  h.Point(1001, 2, "33", 400000, 4500000, "B1");
  h.Point(1002, 3, "30", 500000.03, 4400000.02, "A1");
  h.Point(1003, 3, "30", 501000, 4401000, "C\xDD");  // "Cİ"
  h.Point(1004, 1, "30", kNaN, 4400000, "BAD");
  h.Point(1005, 3, "30", 502000, 4402000, "D");
  h.Point(1006, 2, "33", 400010, 4500010, "B2");
  h.Point(1007, 1, "30", 503000, 4403000, "E");
  h.Pair(100, 1000, 1002);  // in zone 30, failing by its own finding
  h.Pair(101, 1001, 1003);  // across zones: not on either map
  h.Pair(102, 1004, 1005);  // its first point cannot be placed
  h.Pair(103, 1001, 1006);  // zone 33
  h.Pair(104, 1003, 1005);  // in zone 30, a warning only
  const std::vector<Finding> findings = {
      Error(Finding::Target::Pair, 100, 0),
      Error(Finding::Target::Point, 1007, 1),
      Error(Finding::Target::Point, 1005, 3, Finding::Level::Warning),
      Error(Finding::Target::Pair, 104, 0, Finding::Level::Warning),
      Error(Finding::Target::Point, 1003, 1),  // another file's point: not this one
  };

  EXPECT_EQ(MapModel::Zones(h.doc), (std::vector<std::string>{"30", "33"}));
  const MapModel m = MapModel::Build(h.doc, findings, "30");
  EXPECT_EQ(m.Meridian(), "30");
  ASSERT_EQ(m.Dots().size(), 5u) << "the point without a position is left out";
  struct Expect {
    int nIndex, file, slot;
    bool failing;
    const char* name;
  } expected[] = {{1000, 1, 0, true, "A1"}, {1002, 3, 2, true, "A1"}, {1003, 3, 2, false, "C\xDD"},
                  {1005, 3, 2, false, "D"}, {1007, 1, 0, true, "E"}};
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.nIndex);
    const auto dot = m.DotOfIndex(e.nIndex);
    ASSERT_TRUE(dot);
    const MapDot& d = m.Dots()[*dot];
    EXPECT_EQ(d.nIndex, e.nIndex);
    EXPECT_EQ(d.nFileNumber, e.file);
    EXPECT_EQ(d.fileSlot, e.slot);
    EXPECT_EQ(d.failing, e.failing);
    ASSERT_LT(d.listPos, h.doc.NoktaList().size());
    EXPECT_EQ(h.doc.NoktaList()[d.listPos].strName, e.name);
  }
  EXPECT_FALSE(m.DotOfIndex(1001)) << "zone 33";
  EXPECT_FALSE(m.DotOfIndex(1004));
  ASSERT_EQ(m.Links().size(), 2u);
  EXPECT_EQ(m.Links()[0].nPairNo, 100);
  EXPECT_TRUE(m.Links()[0].failing);
  EXPECT_EQ(m.Dots()[m.Links()[0].first].nIndex, 1000);
  EXPECT_EQ(m.Dots()[m.Links()[0].second].nIndex, 1002);
  EXPECT_EQ(m.Links()[1].nPairNo, 104);
  EXPECT_FALSE(m.Links()[1].failing);
  EXPECT_EQ(m.FailingDots().size(), 3u);
  EXPECT_DOUBLE_EQ(m.Bounds().minY, 500000);
  EXPECT_DOUBLE_EQ(m.Bounds().maxX, 4403000);

  const MapModel other = MapModel::Build(h.doc, findings, "33");
  EXPECT_EQ(other.Dots().size(), 2u);
  ASSERT_EQ(other.Links().size(), 1u);
  EXPECT_EQ(other.Links()[0].nPairNo, 103);

  EXPECT_TRUE(MapModel::Build(h.doc, findings, "39").Empty());
  HandDoc empty;
  EXPECT_TRUE(MapModel::Zones(empty.doc).empty());
  const MapModel none = MapModel::Build(empty.doc, {}, "30");
  EXPECT_TRUE(none.Empty());
  EXPECT_FALSE(none.Nearest({0, 0}, 1e9));
  int visited = 0;
  none.ForEachDotIn(MapViewport().Visible(), [&](std::uint32_t) { ++visited; });
  EXPECT_EQ(visited, 0);
}

// 100,000 points over 25 by 10 km, so that cells are exactly 100 m: a tenth of the points
// sit on the 100 m lattice (on cell borders and corners), some share a place exactly.
class MapModelHits : public ::testing::Test {
 protected:
  static constexpr double kMinY = 500000, kMinX = 4400000, kSpanY = 25000, kSpanX = 10000;
  static constexpr int kPoints = 100000;

  void SetUp() override {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> y(kMinY, kMinY + kSpanY), x(kMinX, kMinX + kSpanX), unit(0, 1);
    std::uniform_int_distribution<int> latticeY(0, 250), latticeX(0, 100);
    h.Point(1000, 1, "30", kMinY, kMinX);
    h.Point(1001, 1, "30", kMinY + kSpanY, kMinX + kSpanX);
    for (int i = 2; i < kPoints; ++i) {
      const double roll = unit(rng);
      double py = std::round(y(rng) * 100) / 100, px = std::round(x(rng) * 100) / 100;
      if (roll < 0.1) {
        py = kMinY + 100.0 * latticeY(rng), px = kMinX + 100.0 * latticeX(rng);
      } else if (roll < 0.13) {
        const CTarvekNokta& twin = h.doc.NoktaList()[static_cast<std::size_t>(rng() % static_cast<unsigned>(i))];
        py = twin.dY, px = twin.dX;
      }
      h.Point(1000 + i, 1 + i % 3, "30", py, px);
    }
    model = MapModel::Build(h.doc, {}, "30");
  }

  // The plain search: every point, nearest first, the smaller nIndex on a tie.
  std::optional<int> Oracle(GridPoint q, double r) const {
    std::optional<int> best;
    double bestD2 = kInf;
    for (const CTarvekNokta& p : h.doc.NoktaList()) {
      const double dy = p.dY - q.y, dx = p.dX - q.x, d2 = dy * dy + dx * dx;
      if (d2 > r * r) continue;
      if (d2 < bestD2 || (d2 == bestD2 && p.nIndex < *best)) best = p.nIndex, bestD2 = d2;
    }
    return best;
  }

  std::optional<int> Hit(GridPoint q, double r) const {
    const auto dot = model.Nearest(q, r);
    if (!dot) return std::nullopt;
    return model.Dots()[*dot].nIndex;
  }

  HandDoc h;
  MapModel model;
};

TEST_F(MapModelHits, NearestAgreesWithThePlainSearch) {
  ASSERT_EQ(model.Dots().size(), static_cast<std::size_t>(kPoints));
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> unit(0, 1);
  const double radii[] = {0, 0.01, 0.5, 5, 50, 150};
  for (int k = 0; k < 600; ++k) {
    const double r = radii[k % 6];
    GridPoint q;
    switch (k % 4) {
      case 0:  // anywhere, a little beyond the points too
        q = {kMinY - 200 + unit(rng) * (kSpanY + 400), kMinX - 200 + unit(rng) * (kSpanX + 400)};
        break;
      case 1:  // on a cell corner
        q = {kMinY + 100.0 * std::floor(unit(rng) * 251), kMinX + 100.0 * std::floor(unit(rng) * 101)};
        break;
      case 2: {  // on a point, or 3 cm beside it
        const CTarvekNokta& p = h.doc.NoktaList()[static_cast<std::size_t>(rng() % kPoints)];
        q = {p.dY + (k % 8 == 2 ? 0.03 : 0), p.dX};
        break;
      }
      default:  // on a cell border
        q = {kMinY + 100.0 * std::floor(unit(rng) * 251), kMinX + unit(rng) * kSpanX};
    }
    ASSERT_EQ(Hit(q, r), Oracle(q, r)) << "query " << k << " at " << q.y << ", " << q.x << " within " << r;
  }
}

TEST_F(MapModelHits, NearestRefusesWhatIsNotAQuery) {
  EXPECT_FALSE(Hit({kMinY - 1000, kMinX}, 999.99)) << "nothing within reach";
  EXPECT_EQ(Hit({kMinY - 1000, kMinX}, 1000), 1000) << "the reach is inclusive";
  EXPECT_FALSE(Hit({kNaN, kMinX}, 10));
  EXPECT_FALSE(Hit({kMinY, kInf}, 10));
  EXPECT_FALSE(Hit({kMinY, kMinX}, -1));
  EXPECT_FALSE(Hit({kMinY, kMinX}, kNaN));
  EXPECT_FALSE(Hit({kMinY, kMinX}, kInf));
  EXPECT_EQ(Hit({kMinY + kSpanY / 2, kMinX + kSpanX / 2}, 1e12).has_value(), true) << "a reach past the whole map";
}

TEST_F(MapModelHits, ForEachDotInVisitsExactlyTheDotsInside) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int k = 0; k < 30; ++k) {
    GridBounds box;
    box.Add({kMinY - 500 + unit(rng) * (kSpanY + 1000), kMinX - 500 + unit(rng) * (kSpanX + 1000)});
    box.Add({box.minY + unit(rng) * (k % 3 == 0 ? 20000 : 700), box.minX + unit(rng) * 700});
    if (k == 0) box = {kMinY + 100, kMinX + 100, kMinY + 300, kMinX + 200};  // edges on cell borders
    std::size_t expected = 0;
    for (const CTarvekNokta& p : h.doc.NoktaList()) expected += box.Contains({p.dY, p.dX});
    std::size_t seen = 0;
    model.ForEachDotIn(box, [&](std::uint32_t i) {
      ++seen;
      EXPECT_TRUE(box.Contains(model.Dots()[i].At()));
    });
    EXPECT_EQ(seen, expected) << "box " << k;
  }
}

TEST_F(MapModelHits, KeepsUnderAHundredBytesAPoint) {
  const double perPoint = static_cast<double>(model.RetainedBytes()) / kPoints;
  EXPECT_LT(perPoint, 100);
  EXPECT_LE(model.CellCount(), 3u * kPoints / 4 + 1);
  for (int n : {1000, 51234, 99999}) {
    const auto dot = model.DotOfIndex(n);
    ASSERT_TRUE(dot);
    EXPECT_EQ(model.Dots()[*dot].nIndex, n);
  }
  EXPECT_FALSE(model.DotOfIndex(999));
  EXPECT_FALSE(model.DotOfIndex(1000 + kPoints));
}
