// The keyed lookup against a walk over the lists, the plain answer, on the lists a job has:
// in document order, with gaps where a file was removed, out of order, with a repeated key
// from a damaged file, and the points of several files interleaved.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "jobdata/JobIndex.h"

namespace {

struct ListCase {
  const char* name;
  std::vector<std::pair<int, int>> points;  // nIndex, nFileNumber, in list order
  std::vector<int> pairNos;
};

const CTarvekNokta* FirstPoint(const std::vector<CTarvekNokta>& points, int nIndex) {
  for (const CTarvekNokta& p : points) {
    if (p.nIndex == nIndex) return &p;
  }
  return nullptr;
}

class JobIndexLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(JobIndexLists, FindsWhatAWalkOverTheListFinds) {
  std::vector<CTarvekNokta> points;
  for (const auto& [nIndex, file] : GetParam().points) {
    points.emplace_back();
    points.back().nIndex = nIndex;
    points.back().nFileNumber = file;
  }
  std::vector<CEslesenNokta> pairs;
  for (int no : GetParam().pairNos) {
    pairs.emplace_back();
    pairs.back().nPairNo = no;
  }
  const JobIndex index(points, pairs);
  const std::vector<int> keys = {INT_MIN, -1, 0, 99, 100, 101, 102, 103, 105, 999, 1000, 1001, 1002,
                                 1003, 1004, 1005, 1006, 1010, 1011, 1012, INT_MAX};
  for (int key : keys) {
    EXPECT_EQ(FirstPoint(points, key), index.Point(key)) << key;
    for (int file : {1, 2, 3}) {
      const CTarvekNokta* p = FirstPoint(points, key);
      EXPECT_EQ(p && p->nFileNumber == file ? p : nullptr, index.Point(key, file)) << key << " in " << file;
    }
    const CEslesenNokta* pair = nullptr;
    for (const CEslesenNokta& e : pairs) {
      if (!pair && e.nPairNo == key) pair = &e;
    }
    EXPECT_EQ(pair, index.Pair(key)) << key;
  }
  for (int file : {0, 1, 2, 3}) {
    std::vector<const CTarvekNokta*> expected;
    for (const CTarvekNokta& p : points) {
      if (p.nFileNumber == file) expected.push_back(&p);
    }
    EXPECT_EQ(expected, index.PointsOfFile(file)) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, JobIndexLists,
    ::testing::Values(ListCase{"Empty", {}, {}},
                      ListCase{"DocumentOrder", {{1000, 1}, {1001, 1}, {1002, 2}, {1003, 2}}, {100, 101, 102}},
                      ListCase{"FileRemoved", {{1000, 1}, {1001, 1}, {1004, 3}, {1005, 3}}, {100, 102, 103}},
                      ListCase{"OutOfOrder", {{1005, 2}, {1000, 1}, {1003, 2}, {1001, 1}}, {102, 100, 101}},
                      ListCase{"RepeatedKey", {{1000, 1}, {1001, 1}, {1001, 2}, {1002, 2}}, {100, 101, 101}},
                      ListCase{"FilesInterleaved", {{1000, 1}, {1001, 2}, {1002, 1}, {1003, 3}, {1004, 2}}, {}},
                      ListCase{"FarApart", {{INT_MIN, 1}, {0, 1}, {INT_MAX, 2}}, {INT_MIN, INT_MAX}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
