#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "jobdata/SessionMatcher.h"

namespace {

// The plain algorithm, step by step: every ordered pair, then every pair against every
// other for mirrors and groups. The indexed matcher must give exactly its list.
struct Reference {
  static std::vector<CEslesenNokta> Match(const std::vector<CTarvekNokta>& points, double tol) {
    std::vector<CEslesenNokta> list;
    int counter = 100;
    for (const auto& p : points) {
      for (const auto& q : points) {
        double dy = std::fabs(p.dY - q.dY), dx = std::fabs(p.dX - q.dX);
        double dh = std::fabs(p.dHeight - q.dHeight), dt = std::fabs(p.dStartTime - q.dStartTime);
        if (dy < 0.00001 && dx < 0.00001 && dh < 0.00001) continue;
        if (dy > tol || dx > tol || dh > tol) continue;
        CEslesenNokta e;
        e.strName1 = p.strName;
        e.strName2 = q.strName;
        e.nEpochs1 = p.nEpochs;
        e.nEpochs2 = q.nEpochs;
        e.dDiffY = dy;
        e.dDiffX = dx;
        e.dDiffH = dh;
        e.dDiffHours = dt / 3600;
        e.dMeanY = (p.dY + q.dY) * 0.5;
        e.dMeanX = (p.dX + q.dX) * 0.5;
        e.dMeanH = (q.dHeight + p.dHeight) * 0.5;
        e.nPairNo = counter++;
        e.nIndex1 = p.nIndex;
        e.nIndex2 = q.nIndex;
        list.push_back(e);
      }
    }
    for (auto& a : list) {
      if (a.bRemove) continue;
      for (auto& b : list) {
        if (b.nPairNo == a.nPairNo) continue;
        if (a.strName1 == b.strName2 && a.strName2 == b.strName1 &&
            std::fabs(a.dDiffY - b.dDiffY) < 0.00001 && std::fabs(a.dDiffX - b.dDiffX) < 0.00001 &&
            std::fabs(a.dDiffH - b.dDiffH) < 0.00001) {
          b.bRemove = 1;
        }
      }
    }
    std::erase_if(list, [](const CEslesenNokta& e) { return e.bRemove == 1; });
    int group = 1;
    for (auto& a : list) {
      for (auto& b : list) {
        if (b.nPairNo != a.nPairNo && b.nIndex1 == a.nIndex1) a.nGroupNo = b.nGroupNo = group;
      }
      ++group;
    }
    return list;
  }
};

std::vector<CEslesenNokta> Indexed(const std::vector<CTarvekNokta>& points, double tol) {
  auto pairs = MatchPairs(points, tol);
  RemoveMirrorPairs(pairs);
  AssignGroupNumbers(pairs);
  return pairs;
}

CTarvekNokta Point(const std::string& name, double y, double x, double h, double t = 0) {
  static int index = 1000;
  CTarvekNokta p;
  p.strName = name;
  p.dY = y;
  p.dX = x;
  p.dHeight = h;
  p.dStartTime = t;
  p.nIndex = index++;
  return p;
}

void ExpectSameLists(const std::vector<CEslesenNokta>& expected, const std::vector<CEslesenNokta>& got) {
  ASSERT_EQ(expected.size(), got.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto &e = expected[i], &g = got[i];
    ASSERT_EQ(e.nPairNo, g.nPairNo) << "row " << i;
    ASSERT_EQ(e.nIndex1, g.nIndex1) << "row " << i;
    ASSERT_EQ(e.nIndex2, g.nIndex2) << "row " << i;
    ASSERT_EQ(e.nGroupNo, g.nGroupNo) << "row " << i;
    ASSERT_EQ(e.strName1, g.strName1);
    ASSERT_EQ(e.dDiffY, g.dDiffY);
    ASSERT_EQ(e.dMeanX, g.dMeanX);
    ASSERT_EQ(e.dDiffHours, g.dDiffHours);
  }
}

TEST(SessionMatching, ThreeSessionsOfOnePointFormTheWorkedExample) {
  std::vector<CTarvekNokta> points = {Point("K1", 500000, 4400000, 900),
                                      Point("K1", 500000.02, 4400000.01, 900.03),
                                      Point("K1", 500000.01, 4400000.03, 900.01)};
  auto pairs = Indexed(points, 1.0);
  ASSERT_EQ(3u, pairs.size());
  EXPECT_EQ(100, pairs[0].nPairNo);
  EXPECT_EQ(101, pairs[1].nPairNo);
  EXPECT_EQ(103, pairs[2].nPairNo);
  EXPECT_EQ(2, pairs[0].nGroupNo);
  EXPECT_EQ(2, pairs[1].nGroupNo);
  EXPECT_EQ(kNoGroup, pairs[2].nGroupNo);
}

struct BoundaryCase {
  const char* name;
  double dy;
  double tol;
  size_t pairs;
};

class ToleranceBoundary : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ToleranceBoundary, PairsWithinAndAtTheTolerance) {
  const auto& c = GetParam();
  std::vector<CTarvekNokta> points = {Point("A", 500000.0, 4400000, 900, 0),
                                      Point("B", 500000.0 + c.dy, 4400000, 900, 5400)};
  auto pairs = Indexed(points, c.tol);
  ASSERT_EQ(c.pairs, pairs.size());
  ExpectSameLists(Reference::Match(points, c.tol), pairs);
  if (c.pairs == 1) {
    EXPECT_EQ(100, pairs[0].nPairNo);
    EXPECT_EQ(kNoGroup, pairs[0].nGroupNo);
    EXPECT_EQ(1.5, pairs[0].dDiffHours);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToleranceBoundary,
    ::testing::Values(BoundaryCase{"HalfMetre", 0.5, 1.0, 1}, BoundaryCase{"ExactlyAtTolerance", 0.5, 0.5, 1},
                      BoundaryCase{"JustAbove", 1.000001, 1.0, 0}, BoundaryCase{"TwoMetres", 2.0, 1.0, 0},
                      BoundaryCase{"SameObservation", 0.000009, 1.0, 0},
                      BoundaryCase{"JustDifferent", 0.00001, 1.0, 1},
                      BoundaryCase{"ZeroTolerance", 0.0, 0.0, 0},
                      BoundaryCase{"NegativeTolerance", 0.5, -1.0, 0},
                      BoundaryCase{"InfiniteTolerance", 1e9, INFINITY, 1}),
    [](const auto& info) { return info.param.name; });

TEST(SessionMatching, IdenticalObservationsDoNotPairWithEachOtherButWithOthers) {
  std::vector<CTarvekNokta> points = {Point("A", 500000, 4400000, 900), Point("A", 500000, 4400000, 900),
                                      Point("B", 500000.3, 4400000, 900)};
  auto pairs = Indexed(points, 1.0);
  ExpectSameLists(Reference::Match(points, 1.0), pairs);
  ASSERT_EQ(2u, pairs.size());
  EXPECT_EQ(points[0].nIndex, pairs[0].nIndex1);
  EXPECT_EQ(points[1].nIndex, pairs[1].nIndex1);
  EXPECT_EQ(points[2].nIndex, pairs[1].nIndex2);
}

// With a NaN coordinate every comparison is false, so the plain algorithm would pair
// the point with every other one.
TEST(SessionMatching, PointsWithCoordinatesThatAreNotFinitePairWithNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<CTarvekNokta> points = {Point("A", 500000, 4400000, 900), Point("N", nan, 4400000, 900),
                                      Point("I", INFINITY, 4400000, 900), Point("H", 500000, 4400000, nan),
                                      Point("B", 500000.2, 4400000, 900)};
  auto pairs = Indexed(points, 1.0);
  ASSERT_EQ(1u, pairs.size());
  EXPECT_EQ("A", pairs[0].strName1);
  EXPECT_EQ("B", pairs[0].strName2);
  EXPECT_TRUE(Indexed(points, std::numeric_limits<double>::quiet_NaN()).empty());
}

struct RandomCase {
  const char* name;
  unsigned seed;
  int points;
  double spread;
  double tol;
  int names;
  double step = 0.25;  // lattice of the coordinates, metres
};

class AgainstPlainAlgorithm : public ::testing::TestWithParam<RandomCase> {};

// Coordinates on a coarse lattice make exact tolerance boundaries, duplicates and
// identical observations common.
TEST_P(AgainstPlainAlgorithm, GivesExactlyTheSameList) {
  const auto& c = GetParam();
  std::mt19937 rng(c.seed);
  std::uniform_int_distribution<int> step(0, static_cast<int>(c.spread / c.step));
  std::uniform_int_distribution<int> name(0, c.names - 1);
  std::vector<CTarvekNokta> points;
  for (int i = 0; i < c.points; ++i) {
    points.push_back(Point("P" + std::to_string(name(rng)), 480000 + step(rng) * c.step,
                           4300000 + step(rng) * c.step, 100 + step(rng) * c.step, step(rng) * 600.0));
    if (i % 7 == 0) points.push_back(points.back());  // a duplicated observation
  }
  ExpectSameLists(Reference::Match(points, c.tol), Indexed(points, c.tol));
}

INSTANTIATE_TEST_SUITE_P(
    Random, AgainstPlainAlgorithm,
    ::testing::Values(RandomCase{"Dense", 1, 120, 2.0, 1.0, 5}, RandomCase{"Sparse", 2, 300, 40.0, 1.0, 50},
                      RandomCase{"QuarterTolerance", 3, 200, 3.0, 0.25, 3},
                      RandomCase{"LargeTolerance", 4, 150, 20.0, 7.5, 10},
                      RandomCase{"OneName", 5, 150, 2.0, 0.5, 1},
                      RandomCase{"TinyTolerance", 6, 100, 1.0, 0.00001, 2},
                      RandomCase{"ZeroTolerance", 7, 100, 1.0, 0.0, 2},
                      RandomCase{"NegativeTolerance", 8, 100, 1.0, -0.5, 2},
                      // Differences a few micrometres apart: at the mirror distance and
                      // across the edges of the mirror buckets.
                      RandomCase{"MirrorDistance", 9, 120, 0.0002, 1.0, 2, 0.000007},
                      RandomCase{"MirrorDistanceOneName", 10, 120, 0.00006, 1.0, 1, 0.000003}),
    [](const auto& info) { return info.param.name; });

// One point measured many times along a line: every pair shares its names and its
// easting difference. Mirror removal once compared each such pair with all kept before
// it, and 600 observations took 22 s.
TEST(SessionMatching, OneNameAlongALineGivesThePlainList) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> offset(0.0, 0.5);
  std::vector<CTarvekNokta> points;
  for (int i = 0; i < 90; ++i) points.push_back(Point("K", 500000, 4400000 + offset(rng), 900));
  ExpectSameLists(Reference::Match(points, 1.0), Indexed(points, 1.0));
}

TEST(SessionMatching, AGroupCounterEndsOneAboveThePairCount) {
  std::vector<CTarvekNokta> points = {Point("A", 500000, 4400000, 900), Point("B", 500000.1, 4400000, 900)};
  auto pairs = MatchPairs(points, 1.0);
  RemoveMirrorPairs(pairs);
  EXPECT_EQ(2, AssignGroupNumbers(pairs));
}

}  // namespace
