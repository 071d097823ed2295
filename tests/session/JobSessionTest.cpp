// The session's findings after each change against an independent answer: a fresh
// document given the same files, matched once and judged, as the command line used to
// do by itself. Also: what goes stale, and that limits judge again without matching.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "session/JobSession.h"

namespace fs = std::filesystem;

namespace {

JobRow Row(const std::string& name, double lat, double height, int seconds) {
  JobRow row;
  row.name = name;
  row.lat = std::to_string(lat);
  row.lon = "33.2";
  row.height = std::to_string(height);
  row.seconds = std::to_string(1719515159 + seconds);
  row.epochs = "180";
  return row;
}

// A finding without the numbers that depend on the order of adding (file, index).
using Judged = std::tuple<std::string, std::string, std::string, std::string, int>;
std::vector<Judged> Seen(const std::vector<Finding>& findings) {
  std::vector<Judged> seen;
  for (const Finding& f : findings) seen.emplace_back(f.rule, f.strName, f.value, f.limit, static_cast<int>(f.level));
  return seen;
}

class JobSessionTest : public ::testing::Test {
 protected:
  JobSessionTest() : session(shell, dir / "cache", *BuiltInProfile(kClassicProfileId)) {
    shell.methodAnswer = "RTK";
    // Two sessions 2 h apart: K1 2 cm in height, K2 9 cm, K3 70 cm apart on the ground.
    WriteJob("a.tsj", {Row("K1", 39.5, 850.0, 0), Row("K2", 39.51, 851.0, 60), Row("K1", 39.5, 850.02, 7200),
                       Row("K2", 39.51, 851.09, 7260)});
    WriteJob("b.tsj", {Row("K3", 39.52, 852.0, 0), Row("K3", 39.5200063, 852.0, 7300)});
  }

  void WriteJob(const std::string& name, const std::vector<JobRow>& rows) { JobFileBuilder::Write(dir / name, rows); }

  // What a fresh document says of the files now loaded, matched once.
  std::vector<Judged> Independent() {
    ScriptedShell fresh;
    fresh.methodAnswer = "RTK";
    CVelmiraDoc doc(fresh, dir / "cache-oracle");
    for (const tsjdosya& file : session.Document().TsjList()) {
      EXPECT_TRUE(doc.AddJobFile(session.Document().JobPath(file.nFileNumber)));
    }
    doc.SetCriteria(session.Document().Criteria());
    EXPECT_TRUE(doc.MatchSessions());
    return Seen(CheckRules(doc, session.Profile()));
  }

  TestDir dir;
  ScriptedShell shell;
  JobSession session;
};

struct Step {
  const char* name;
  std::function<Status(JobSession&, const fs::path&)> apply;
};

CMatchCriteria With(CMatchCriteria c, double CMatchCriteria::*field, double value) {
  c.*field = value;
  return c;
}

TEST_F(JobSessionTest, EveryChangeGivesWhatAFreshCheckGives) {
  const Step steps[] = {
      {"add a", [](JobSession& s, const fs::path& d) { return s.AddJobFile(d / "a.tsj"); }},
      {"add b", [](JobSession& s, const fs::path& d) { return s.AddJobFile(d / "b.tsj"); }},
      {"tolerance 0.5 m parts K3",
       [](JobSession& s, const fs::path&) {
         return s.SetCriteria(With(s.Document().Criteria(), &CMatchCriteria::dMatchTol, 0.5));
       }},
      {"height limit 0.01 m",
       [](JobSession& s, const fs::path&) {
         return s.SetCriteria(With(s.Document().Criteria(), &CMatchCriteria::dMaxDiffH, 0.01));
       }},
      {"network profile", [](JobSession& s, const fs::path&) { return s.SetProfile(*BuiltInProfile(kNetworkProfileId)); }},
      {"tolerance back to 1 m",
       [](JobSession& s, const fs::path&) {
         return s.SetCriteria(With(s.Document().Criteria(), &CMatchCriteria::dMatchTol, 1.0));
       }},
      {"remove a", [](JobSession& s, const fs::path&) { return s.RemoveJobFiles({1}); }},
      {"remove b", [](JobSession& s, const fs::path&) { return s.RemoveJobFiles({2}); }},
  };
  std::size_t most = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    ASSERT_TRUE(step.apply(session, dir.path()));
    EXPECT_TRUE(session.IsMatchCurrent());
    EXPECT_EQ(Independent(), Seen(session.Findings()));
    most = std::max(most, session.Findings().size());
  }
  EXPECT_GE(most, 3u);  // the steps did judge something
  EXPECT_TRUE(session.Findings().empty());
}

TEST_F(JobSessionTest, PairsGoStaleWithFilesAndToleranceNotWithLimits) {
  ASSERT_TRUE(session.AddJobFile(dir / "a.tsj"));
  std::vector<unsigned> told;
  session.SetObserver([&](unsigned changes) { told.push_back(changes); });

  ASSERT_TRUE(session.SetCriteria(With(session.Document().Criteria(), &CMatchCriteria::dMaxDiffY, 0.01)));
  ASSERT_FALSE(told.empty());
  for (unsigned changes : told) EXPECT_FALSE(changes & kSessionPairs) << "a limit matched again";
  EXPECT_EQ(0.01, session.Profile().dMaxDiffY);

  // The desktop adds through the document; the session sees the change.
  ASSERT_TRUE(session.Document().AddJobFile(dir / "b.tsj"));
  EXPECT_FALSE(session.IsMatchCurrent());
  ASSERT_TRUE(session.Check());
  EXPECT_TRUE(session.IsMatchCurrent());
  session.Document().SetCriteria(With(session.Document().Criteria(), &CMatchCriteria::dMatchTol, 0.3));
  EXPECT_FALSE(session.IsMatchCurrent());

  told.clear();
  ASSERT_TRUE(session.Check());
  ASSERT_EQ(1u, told.size());
  EXPECT_TRUE(told[0] & kSessionPairs);
  EXPECT_TRUE(told[0] & kSessionFindings);
}

TEST_F(JobSessionTest, ARefusedFileChangesNothing) {
  ASSERT_TRUE(session.AddJobFile(dir / "a.tsj"));
  const auto before = Seen(session.Findings());
  EXPECT_FALSE(session.AddJobFile(dir / "missing.tsj"));
  ASSERT_FALSE(shell.Messages().empty());
  EXPECT_EQ(0u, shell.Messages().back().first.find("TSJ Dosyası okunamadı: "));
  EXPECT_TRUE(session.IsMatchCurrent());
  EXPECT_EQ(before, Seen(session.Findings()));
}

}  // namespace
