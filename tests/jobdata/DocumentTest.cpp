#include <gtest/gtest.h>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/TableTexts.h"

namespace {

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() : doc(shell, dir / "cache") {}

  void AddJob(const std::string& file, std::vector<JobRow> rows) {
    JobFileBuilder::Write(dir / file, rows);
    shell.files.push_back(dir / file);
    ASSERT_TRUE(doc.AddTsjFile());
  }

  TestDir dir;
  ScriptedShell shell;
  CVelmiraDoc doc;
};

TEST_F(DocumentTest, StartsWithTheDefaultCriteriaAndCounters) {
  const CMatchCriteria c = doc.Criteria();
  EXPECT_EQ(0.07, c.dMaxDiffY);
  EXPECT_EQ(0.07, c.dMaxDiffX);
  EXPECT_EQ(0.07, c.dMaxDiffH);
  EXPECT_EQ(1.0, c.dMinDiffHours);
  EXPECT_EQ(1.0, c.dMatchTol);
  EXPECT_EQ(1, doc.m_nNextFileNumber);
  EXPECT_EQ(1000, doc.m_nNextIndex);
}

TEST_F(DocumentTest, RemovingAFileKeepsCountersAndPairsAndClearsBothTables) {
  AddJob("a.tsj", {JobRow{}, JobRow{}});
  AddJob("b.tsj", {JobRow{}});
  doc.MatchSessions();
  const size_t pairs = doc.EslesenList().size();
  doc.RemoveFilePoints(1);
  doc.RemoveTsjFile(1);
  EXPECT_EQ(1, shell.cleared);
  ASSERT_EQ(1u, doc.TsjList().size());
  EXPECT_EQ(2, doc.TsjList()[0].nFileNumber);
  ASSERT_EQ(1u, doc.NoktaList().size());
  EXPECT_EQ(1002, doc.NoktaList()[0].nIndex);
  EXPECT_EQ(pairs, doc.EslesenList().size());
  AddJob("c.tsj", {JobRow{}});
  EXPECT_EQ(3, doc.TsjList().back().nFileNumber);
  EXPECT_EQ(1003, doc.NoktaList().back().nIndex);
}

TEST_F(DocumentTest, CancellingSettingsKeepsAllFiveCriteria) {
  doc.EditSettings();
  EXPECT_EQ(1.0, doc.m_dMatchTol);
  shell.settingsAnswer = CMatchCriteria{0.1, 0.2, 0.3, 2.0, 0.5};
  doc.EditSettings();
  EXPECT_EQ(0.5, doc.m_dMatchTol);
  EXPECT_EQ(0.1, doc.m_dMaxDiffY);
  EXPECT_EQ(0.3, doc.m_dMaxDiffH);
  EXPECT_EQ(2.0, doc.m_dMinDiffHours);
}

TEST_F(DocumentTest, MatchingWithoutPointsKeepsThePreviousPairs) {
  doc.MatchSessions();
  EXPECT_EQ(0, shell.pairsChanged);
  JobRow a, b;
  a.name = "K";
  b.name = "K";
  b.lat = "39.500001";
  AddJob("a.tsj", {a, b});
  doc.MatchSessions();
  ASSERT_EQ(1u, doc.EslesenList().size());
  EXPECT_EQ(1, shell.pairsChanged);
  doc.RemoveFilePoints(1);
  doc.RemoveTsjFile(1);
  doc.MatchSessions();
  EXPECT_EQ(1u, doc.EslesenList().size());
  EXPECT_EQ(1, shell.pairsChanged);
}

TEST_F(DocumentTest, OnePointGivesAnEmptyButRebuiltMatchingTable) {
  AddJob("a.tsj", {JobRow{}});
  doc.MatchSessions();
  EXPECT_TRUE(doc.EslesenList().empty());
  EXPECT_EQ(1, shell.pairsChanged);
}

TEST(TableTexts, NumbersAreFormattedAsTheTablesShowThem) {
  CTarvekNokta p;
  p.dY = 512345.12346;
  p.dHdop = 0.8;
  p.dHeight = -0.00001;
  p.dStartTime = 1719515147.25;
  const auto row = PointRowTexts(p);
  EXPECT_EQ("512345.1235", row[2]);
  EXPECT_EQ("-0.0000", row[4]);
  EXPECT_EQ("1", row[6]);
  EXPECT_EQ("1719515147.2", row[7]);  // .25 is exactly representable and rounds to even
  EXPECT_EQ("0.800000000000", row[9]);
  EXPECT_EQ(std::string("Oturum Zamanı"), PointTableHeaders()[7]);
  EXPECT_EQ(std::string("Oturum Zamanı"), PointTableHeaders()[17]);
}

struct FlagCase {
  const char* name;
  double dy, dx, dh, hours;
  int group;
  std::vector<int> columns;
};

class PairFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(PairFlags, ColoursTheCellsThatBreakTheCriteria) {
  const auto& c = GetParam();
  CEslesenNokta pair;
  pair.dDiffY = c.dy;
  pair.dDiffX = c.dx;
  pair.dDiffH = c.dh;
  pair.dDiffHours = c.hours;
  pair.nGroupNo = c.group;
  EXPECT_EQ(c.columns, PairFlaggedColumns(pair, CMatchCriteria{}));
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, PairFlags,
    ::testing::Values(FlagCase{"AllAtTheirLimits", 0.07, 0.07, 0.07, 1.0, kNoGroup, {}},
                      FlagCase{"EastingAbove", 0.0701, 0, 0, 2, kNoGroup, {4}},
                      FlagCase{"HalfAnHour", 0, 0, 0, 0.5, kNoGroup, {7}},
                      FlagCase{"TwentySixHours", 0, 0, 0, 26, kNoGroup, {}},
                      FlagCase{"GroupAndEverything", 1, 1, 1, 0, 2, {0, 4, 5, 6, 7}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
