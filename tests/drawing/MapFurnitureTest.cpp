// The map's furniture: round numbers, grid lines, scale bar and the room names are given,
// with hand-worked positions; and the rule that one label serves two sessions in one place.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "drawing/LabelSpace.h"
#include "drawing/MapFurniture.h"
#include "drawing/RoundNumbers.h"

using namespace drawing;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<const Mark*> Texts(const std::vector<Mark>& marks) {
  std::vector<const Mark*> texts;
  for (const Mark& m : marks) {
    if (m.kind == Mark::Kind::Text) texts.push_back(&m);
  }
  return texts;
}

}  // namespace

// ---- round numbers and what is made of them --------------------------------------------

TEST(MapFurniture, RoundNumbersAreOneTwoOrFive) {
  struct Row {
    double value, ceil, floor;
  } rows[] = {{1, 1, 1}, {1.01, 2, 1}, {3, 5, 2}, {7, 10, 5}, {0.0042, 0.005, 0.002}, {250000, 500000, 200000}};
  for (const Row& r : rows) {
    EXPECT_DOUBLE_EQ(NiceCeil(r.value), r.ceil) << r.value;
    EXPECT_DOUBLE_EQ(NiceFloor(r.value), r.floor) << r.value;
  }
  for (double bad : {0.0, -3.0, kNaN, kInf}) {
    EXPECT_EQ(NiceCeil(bad), 1);
    EXPECT_EQ(NiceFloor(bad), 1);
  }
}

TEST(MapFurniture, ScaleBarIsRoundAndFitsItsRoom) {
  struct Row {
    double pixelsPerMetre;
    const char* text;
  } rows[] = {{0.05, "2 km"}, {1, "100 m"}, {0.001, "100 km"}, {400, "0.2 m"}, {1e-5, "10000 km"}};
  for (const Row& r : rows) {
    const ScaleBar bar = ScaleBarFor(r.pixelsPerMetre, 120);
    EXPECT_EQ(bar.text, r.text) << r.pixelsPerMetre;
    EXPECT_LE(bar.pixels, 120 + 1e-9);
    EXPECT_GE(bar.pixels, 120 * 0.4 - 1e-9);
  }
}

TEST(MapFurniture, GridLinesAreRoundAndSpacedAsAsked) {
  const GridFrame frame{0, 0, 800, 600, 500123, 4400456, 0.37};
  const GridLines g = GridLinesFor(frame, 100);
  EXPECT_GE(g.step * frame.pixelsPerMetre, 100 - 1e-9);
  EXPECT_LE(g.step * frame.pixelsPerMetre, 250 + 1e-9);
  ASSERT_FALSE(g.eastings.empty());
  ASSERT_FALSE(g.northings.empty());
  for (double e : g.eastings) EXPECT_DOUBLE_EQ(std::fmod(e, g.step), 0);
  EXPECT_GE(g.eastings.front(), frame.EastingAt(0));
  EXPECT_LE(g.eastings.back(), frame.EastingAt(800));
  EXPECT_EQ(TickText(4400500, 500), "4400500");
  EXPECT_EQ(TickText(-0.0001, 0.1), "0.0");
  EXPECT_EQ(TickText(12.5, 0.5), "12.5");
}

TEST(MapFurniture, LabelSpaceGrantsOnlyFreeRoomOnScreen) {
  LabelSpace space(200, 100);
  EXPECT_TRUE(space.TryPlace(10, 10, 60, 22));
  EXPECT_FALSE(space.TryPlace(50, 15, 90, 27)) << "overlaps the first";
  EXPECT_TRUE(space.TryPlace(70, 10, 120, 22)) << "beside it";
  EXPECT_TRUE(space.TryPlace(10, 30, 60, 42)) << "below it";
  EXPECT_FALSE(space.TryPlace(180, 10, 230, 22)) << "off the right edge";
  EXPECT_FALSE(space.TryPlace(-5, 50, 20, 62)) << "off the left edge";
  EXPECT_FALSE(space.TryPlace(10, kNaN, 20, 62));
  space.Reset(200, 100);
  EXPECT_TRUE(space.TryPlace(50, 15, 90, 27));
}

// 400 x 300 pixels around (1000, 2000) at a pixel a metre: 200 m steps, eastings 800, 1000
// and 1200 at x 0, 200 and 400, the one northing 2000 at y 150.
TEST(MapFurniture, GridLinesAndOnlyTheLabelsClearOfTheCorners) {
  const GridFrame frame{0, 0, 400, 300, 1000, 2000, 1};
  GridStyle style{.spacingPx = 110, .crispLines = true, .labelsAfterLines = true, .eastingLabelY = 14,
                  .eastingLabelsFromX = 90, .eastingLabelsToX = 300};
  std::vector<Mark> marks;
  AddGrid(marks, frame, style);
  ASSERT_EQ(6u, marks.size()) << "four lines and the labels of 1000 and 2000";
  const double xs[] = {0.5, 200.5, 400.5};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(xs[i], marks[static_cast<std::size_t>(i)].points[0].x) << "on pixel centres";
  EXPECT_EQ(150.5, marks[3].points[0].y);
  EXPECT_EQ("1000", marks[4].text);
  EXPECT_EQ((Point{203, 14}), marks[4].points[0]);
  EXPECT_EQ("2000", marks[5].text);
  EXPECT_EQ((Point{4, 147}), marks[5].points[0]);

  style.crispLines = style.labelsAfterLines = false;
  marks.clear();
  AddGrid(marks, frame, style);
  ASSERT_EQ(6u, marks.size());
  EXPECT_EQ(200, marks[1].points[0].x);
  EXPECT_EQ(Mark::Kind::Text, marks[2].kind) << "each label follows its line";
}

TEST(MapFurniture, OneNameForTwoSessionsInOnePlace) {
  const NameStyle style{.fontPx = 9, .gapPx = 5, .raisePx = 4};
  struct Row {
    const char* name;
    std::vector<NameSpot> spots;
    std::vector<std::string> named;
  } rows[] = {
      {"two sessions", {{{100, 100}, "PN1"}, {{102, 101}, "PN1"}}, {"PN1"}},
      {"3 px apart is apart", {{{100, 100}, "PN1"}, {{103, 100}, "PN1"}}, {"PN1", "PN1"}},
      {"other names", {{{100, 100}, "PN1"}, {{100, 100}, "PN2"}}, {"PN1", "PN2"}},
      {"no name", {{{100, 100}, ""}, {{100, 100}, "PN2"}}, {"PN2"}},
  };
  for (const Row& r : rows) {
    std::vector<Mark> marks;
    AddNames(marks, r.spots, style);
    std::vector<std::string> named;
    for (const Mark* m : Texts(marks)) named.push_back(m->text);
    EXPECT_EQ(r.named, named) << r.name;
  }
  std::vector<Mark> marks;
  AddNames(marks, {{{100, 100}, "PN1", false, 1000, 2}}, style);
  ASSERT_EQ(1u, marks.size());
  EXPECT_EQ((Point{105, 96}), marks[0].points[0]);
  EXPECT_EQ(KeyKind::Point, marks[0].keyKind);
  EXPECT_EQ(1000, marks[0].key);
  EXPECT_EQ(2, marks[0].fileNumber);
}

// Names 20 px wide, 8 px up and 2 down from their baseline, in a 200 x 100 picture.
TEST(MapFurniture, NamesTakeRoomRightElseLeftElseNone) {
  const NameStyle style{.fontPx = 11, .gapPx = 7, .raisePx = 4};
  const MeasureText measure = [](const std::string&) { return TextExtent{20, 8, 2}; };
  LabelSpace room(200, 100);
  ASSERT_TRUE(room.TryPlace(120, 40, 150, 60));  // furniture right of the second dot
  std::vector<Mark> marks;
  AddNames(marks, {{{50, 50}, "A"}, {{110, 50}, "B"}, {{85, 50}, "C"}, {{195, 90}, "D"}}, style, &room, measure);
  std::vector<std::pair<std::string, double>> placed;
  for (const Mark* m : Texts(marks)) placed.emplace_back(m->text, m->points[0].x);
  const std::vector<std::pair<std::string, double>> expected = {{"A", 57}, {"B", 83}, {"D", 168}};
  EXPECT_EQ(expected, placed) << "C finds A right and B left of it; D has no room right of it";
}
