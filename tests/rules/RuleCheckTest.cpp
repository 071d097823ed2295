// The rule check on records made by hand: every limit at and just past its boundary, the
// technique classes, the default profile, the order of the findings and their texts.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdint>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"
#include "text/Cp1254.h"

namespace {

RuleProfile Network() { return *BuiltInProfile(kNetworkProfileId); }
RuleProfile Classic() { return *BuiltInProfile(kClassicProfileId); }

// A point that breaks no rule of either profile.
CTarvekNokta GoodPoint(int nIndex, int nFileNumber = 1) {
  CTarvekNokta p;
  p.strName = "P" + std::to_string(nIndex);
  p.nIndex = nIndex;
  p.nFileNumber = nFileNumber;
  p.strMeridian = "33";
  p.strMethod = "VRSRTCM31";
  p.dLon = 33.2;
  p.nEpochs = 120;
  p.nGpsSats = 8;
  p.nGlonassSats = 4;
  return p;
}

// Two sessions of one control point, and their pair, within every limit.
struct Job {
  std::vector<CTarvekNokta> points = {GoodPoint(1000), GoodPoint(1001)};
  std::vector<CEslesenNokta> pairs = {MakePair()};

  static CEslesenNokta MakePair() {
    CEslesenNokta pair;
    pair.strName1 = "P1000";
    pair.strName2 = "P1001";
    pair.nEpochs1 = 120;
    pair.nEpochs2 = 150;
    pair.dDiffY = pair.dDiffX = pair.dDiffH = 0.01;
    pair.dDiffHours = 2.5;
    pair.nPairNo = 100;
    pair.nIndex1 = 1000;
    pair.nIndex2 = 1001;
    return pair;
  }
};

std::string Ids(const std::vector<Finding>& findings) {
  std::string ids;
  for (const Finding& f : findings) {
    ids += (ids.empty() ? "" : " ") + f.rule + (f.level == Finding::Level::Error ? "!" : "?");
  }
  return ids;
}

struct BoundaryCase {
  const char* name;
  bool network;
  std::function<void(Job&)> change;
  const char* findings;  // rule ids, "!" for "Hata", "?" for "Uyarı"
  const char* value;     // of the first finding
  const char* limit;
};

class RuleBoundary : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(RuleBoundary, JudgesAtAndJustPastEachLimit) {
  const BoundaryCase& c = GetParam();
  Job job;
  c.change(job);
  const std::vector<Finding> findings = CheckRules(job.points, job.pairs, c.network ? Network() : Classic());
  EXPECT_EQ(c.findings, Ids(findings));
  if (!findings.empty()) {
    EXPECT_EQ(c.value, text::Cp1254ToUtf8(findings[0].value));
    EXPECT_EQ(c.limit, text::Cp1254ToUtf8(findings[0].limit));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, RuleBoundary,
    ::testing::Values(
        BoundaryCase{"CleanNetwork", true, [](Job&) {}, "", "", ""},
        BoundaryCase{"CleanClassic", false, [](Job&) {}, "", "", ""},
        BoundaryCase{"DiffYAtLimit", true, [](Job& j) { j.pairs[0].dDiffY = 0.07; }, "", "", ""},
        BoundaryCase{"DiffYPast", true, [](Job& j) { j.pairs[0].dDiffY = 0.0701; }, "diff-y!", "0.0701", "0.07"},
        BoundaryCase{"DiffXAtLimit", false, [](Job& j) { j.pairs[0].dDiffX = 0.07; }, "", "", ""},
        BoundaryCase{"DiffXPast", false, [](Job& j) { j.pairs[0].dDiffX = 0.0701; }, "diff-x!", "0.0701", "0.07"},
        BoundaryCase{"DiffHAtLimit", true, [](Job& j) { j.pairs[0].dDiffH = 0.07; }, "", "", ""},
        BoundaryCase{"DiffHPast", true, [](Job& j) { j.pairs[0].dDiffH = 0.0701; }, "diff-h!", "0.0701", "0.07"},
        BoundaryCase{"SixtyMinutes", true, [](Job& j) { j.pairs[0].dDiffHours = 3600.0 / 3600.0; }, "", "", ""},
        BoundaryCase{"FiftyNineMinutes", false, [](Job& j) { j.pairs[0].dDiffHours = 3540.0 / 3600.0; },
                     "hours!", "0.9833", "1"},
        BoundaryCase{"TenEpochs", true, [](Job& j) { j.pairs[0].nEpochs2 = 10; }, "", "", ""},
        BoundaryCase{"NineEpochsShowsTheSmaller", true, [](Job& j) { j.pairs[0].nEpochs2 = 9; }, "epochs!", "9", "10"},
        BoundaryCase{"NineEpochsInSessionOne", false, [](Job& j) { j.pairs[0].nEpochs1 = 9; }, "epochs!", "9", "10"},
        BoundaryCase{"FiveSatellites", true, [](Job& j) { j.points[1].nGpsSats = 5, j.points[1].nGlonassSats = 0; },
                     "", "", ""},
        BoundaryCase{"FourSatellitesGpsAndGlonass", true,
                     [](Job& j) { j.points[0].nGpsSats = 3, j.points[0].nGlonassSats = 1; }, "satellites!", "4", "5"},
        BoundaryCase{"NetworkDetailThreeEpochs", true, [](Job& j) { j.points[0].nEpochs = 3; }, "", "", ""},
        BoundaryCase{"NetworkDetailTwoEpochs", true, [](Job& j) { j.points[0].nEpochs = 2; }, "epochs!", "2", "3"},
        BoundaryCase{"ClassicDetailOneEpoch", false, [](Job& j) { j.points[0].nEpochs = 1; }, "", "", ""},
        BoundaryCase{"ClassicDetailNoEpoch", false, [](Job& j) { j.points[0].nEpochs = 0; }, "epochs!", "0", "1"},
        BoundaryCase{"ZoneAtHalfWidth", true, [](Job& j) { j.points[0].dLon = 34.5; }, "", "", ""},
        BoundaryCase{"ZoneJustOutside", true, [](Job& j) { j.points[0].dLon = 34.5001; }, "zone?", "1.5001", "1.5"},
        BoundaryCase{"ZoneWestAtThree", false, [](Job& j) { j.points[0].dLon = 30.0; }, "zone?", "3.0000", "1.5"},
        BoundaryCase{"ZoneWestPastThree", false, [](Job& j) { j.points[0].dLon = 29.9999; }, "zone!", "3.0001", "3"},
        BoundaryCase{"ZoneNotANumber", true, [](Job& j) { j.points[0].dLon = std::nan(""); }, "zone!", "nan", "3"},
        BoundaryCase{"SameFileNetwork", true, [](Job& j) { j.points[1].nFileNumber = 2; }, "same-file!", "1/2",
                     "aynı dosya"},
        BoundaryCase{"SameFileClassic", false, [](Job& j) { j.points[1].nFileNumber = 2; }, "", "", ""},
        // A count of 2^31 satellites overflowed the pair's sum (UBSan) and printed -2147483644.
        BoundaryCase{"SixtyFourSatellites", true, [](Job& j) { j.points[0].nGpsSats = 64; }, "", "", ""},
        BoundaryCase{"SatellitesPastAnyConstellation", true, [](Job& j) { j.points[0].nGpsSats = 2147483648; },
                     "count!", "2147483648", "0..64"},
        BoundaryCase{"CountsAtThe64BitEnd", true,
                     [](Job& j) { j.points[1].nGpsSats = j.points[1].nGlonassSats = INT64_MAX; }, "count! count!",
                     "9223372036854775807", "0..64"},
        BoundaryCase{"NegativeEpochs", false, [](Job& j) { j.points[0].nEpochs = -1; }, "count! epochs!", "-1",
                     "0..1728000"},
        BoundaryCase{"DayLongSession", false, [](Job& j) { j.points[1].nDuration = 86401; }, "count!", "86401",
                     "0..86400"},
        // A removed job file leaves its pairs in the list but no longer in the table.
        BoundaryCase{"PairWithoutItsSession", true, [](Job& j) { j.points.pop_back(); j.pairs[0].nEpochs1 = 1; },
                     "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A job file without a fixed point, or a point left out for its values, was a ready job:
// nothing to judge gave no finding.
TEST(JobFileRules, NothingToJudgeIsNeverReady) {
  const std::vector<CTarvekNokta> points = {GoodPoint(1000, 1)};
  const std::vector<tsjdosya> files = {{"a", "a.tsj", 1, "33", "RTK"}, {"b", "b.tsj", 2, "33", "RTK"}};
  const std::vector<CRefusedPoint> refused = {{1, "BAD", "enlem", "nan", "-90 .. 90 derece"}};
  const std::vector<Finding> findings = CheckJobFiles(files, points, refused);
  EXPECT_EQ("unread-point! no-points!", Ids(findings));
  EXPECT_EQ((std::array<std::string, kFindingColumns>{"D:1", "BAD", "unread-point", "enlem nan", "-90 .. 90 derece",
                                                      "Hata", findings[0].text + " (" + findings[0].source + ")"}),
            FindingRowTexts(findings[0]));
  EXPECT_EQ("D:2", FindingRowTexts(findings[1])[0]);
  EXPECT_EQ("b.tsj", findings[1].strName);
  EXPECT_FALSE(Summarize(findings).Ready());
}

struct TechniqueCase {
  const char* name;
  const char* method1;
  const char* method2;
  const char* findings;
  const char* value;
};

class Technique : public ::testing::TestWithParam<TechniqueCase> {};

TEST_P(Technique, ClassifiesByMountpointNameAndReportsTheWorseSessionOnce) {
  const TechniqueCase& c = GetParam();
  Job job;
  job.points[0].strMethod = c.method1;
  job.points[1].strMethod = c.method2;
  const std::vector<Finding> findings = CheckRules(job.points, job.pairs, Network());
  EXPECT_EQ(c.findings, Ids(findings));
  if (!findings.empty()) {
    EXPECT_EQ(c.value, findings[0].value);
    EXPECT_EQ("VRS/FKP/MAC", findings[0].limit);
    EXPECT_EQ(Finding::Target::Pair, findings[0].target);
  }
  // The classic profile never judges the technique.
  EXPECT_EQ("", Ids(CheckRules(job.points, job.pairs, Classic())));
}

INSTANTIATE_TEST_SUITE_P(
    Classes, Technique,
    ::testing::Values(TechniqueCase{"Vrs", "VRSRTCM31", "VRSRTCM34", "", ""},
                      TechniqueCase{"FkpAndMac", "FKP_RTCM31", "MAC01", "", ""},
                      TechniqueCase{"AnyCase", "vrs01", "Fkp02", "", ""},
                      TechniqueCase{"DgpsNet", "DGPSNet", "VRS01", "technique!", "DGPSNet"},
                      TechniqueCase{"DgpsNetUpper", "VRS01", "DGPSNET", "technique!", "DGPSNET"},
                      TechniqueCase{"Dgnss", "DGNSS", "DGNSS", "technique!", "DGNSS"},
                      TechniqueCase{"CodeWorseThanUnknown", "SAPOS", "DGNSS", "technique!", "DGNSS"},
                      TechniqueCase{"Rtcm3Net", "RTCM3Net", "VRS01", "technique?", "RTCM3Net"},
                      TechniqueCase{"UnknownInSessionTwo", "VRS01", "PRS02", "technique?", "PRS02"},
                      TechniqueCase{"TooShortForAPrefix", "VR", "VR", "technique?", "VR"},
                      TechniqueCase{"Rtk", "RTK", "RTK", "technique?", "RTK"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DefaultCase {
  const char* name;
  std::vector<const char*> methods;
  const char* profile;
};

class DefaultProfile : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultProfile, IsNetworkRtkWhenAnyJobFileNamesAMountpoint) {
  std::vector<tsjdosya> files;
  for (const char* method : GetParam().methods) {
    files.emplace_back();
    files.back().strMethod = method;
  }
  EXPECT_EQ(GetParam().profile, DefaultProfileId(files));
}

INSTANTIATE_TEST_SUITE_P(Choice, DefaultProfile,
                         ::testing::Values(DefaultCase{"NoJobFile", {}, "klasik-rtk"},
                                           DefaultCase{"AllRtk", {"RTK", "RTK"}, "klasik-rtk"},
                                           DefaultCase{"OneMountpoint", {"VRSRTCM31"}, "ag-rtk"},
                                           DefaultCase{"RtkThenMountpoint", {"RTK", "SAPOS"}, "ag-rtk"},
                                           DefaultCase{"LowerCaseRtkIsAName", {"rtk"}, "ag-rtk"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BuiltInProfiles, HoldTheLimitsOfTheRegulation) {
  const RuleProfile n = Network(), c = Classic();
  EXPECT_EQ("Ağ RTK (TUSAGA-Aktif)", n.name);
  EXPECT_EQ("Klasik RTK", c.name);
  for (const RuleProfile& p : {n, c}) {
    EXPECT_EQ(10, p.minPairEpochs);
    EXPECT_EQ(5, p.minSatellites);
    EXPECT_EQ(0.07, p.dMaxDiffY);
    EXPECT_EQ(0.07, p.dMaxDiffX);
    EXPECT_EQ(0.07, p.dMaxDiffH);
    EXPECT_EQ(1.0, p.dMinDiffHours);
    EXPECT_FALSE(p.source.empty());
  }
  EXPECT_EQ(3, n.minDetailEpochs);
  EXPECT_EQ(1, c.minDetailEpochs);
  EXPECT_TRUE(n.network);
  EXPECT_FALSE(c.network);
  EXPECT_FALSE(BuiltInProfile("gps").has_value());
}

TEST(ProfileLimits, OverridesReplaceOnlyWhatIsGivenAndShowAsChanged) {
  CriteriaOverrides overrides;
  overrides.dMaxDiffX = 0.05;
  const RuleProfile changed = WithOverrides(Network(), overrides);
  EXPECT_EQ(0.07, changed.dMaxDiffY);
  EXPECT_EQ(0.05, changed.dMaxDiffX);
  EXPECT_EQ(0.07, changed.dMaxDiffH);
  EXPECT_EQ(1.0, changed.dMinDiffHours);
  EXPECT_EQ("Ağ RTK (TUSAGA-Aktif) (değiştirildi)", DisplayName(changed));
  EXPECT_EQ("Klasik RTK", DisplayName(Classic()));

  // The settings dialog's criteria and the profile's limits are the same four numbers.
  const CMatchCriteria criteria = CriteriaOf(changed, 0.5);
  EXPECT_EQ(0.05, criteria.dMaxDiffX);
  EXPECT_EQ(0.5, criteria.dMatchTol);
  RuleProfile restored = changed;
  ApplyCriteria(restored, CriteriaOf(Network(), 1.0));
  EXPECT_EQ(Network(), restored);
  EXPECT_FALSE(IsChangedBuiltIn(restored));
  RuleProfile own = changed;
  own.id = "benim";
  EXPECT_FALSE(IsChangedBuiltIn(own));
}

// A limit the user changed is not the regulation's: its finding says so and gives the
// regulation's value; the other findings keep the regulation as their source.
TEST(Findings, NameTheRegulationOnlyForItsOwnLimits) {
  Job job;
  job.pairs[0].dDiffY = 0.05;
  job.pairs[0].dDiffH = 0.08;
  CriteriaOverrides overrides;
  overrides.dMaxDiffY = 0.02;
  overrides.dMinDiffHours = 3;
  const std::vector<Finding> found = CheckRules(job.points, job.pairs, WithOverrides(Network(), overrides));
  ASSERT_EQ("diff-y! diff-h! hours!", Ids(found));
  const std::string regulation = text::Utf8ToCp1254(Network().source);
  EXPECT_EQ(text::Utf8ToCp1254("kullanıcı sınırı; yönerge 0.07 m"), found[0].source);
  EXPECT_EQ(regulation, found[1].source);
  EXPECT_EQ(text::Utf8ToCp1254("kullanıcı sınırı; yönerge 1 saat"), found[2].source);
  RuleProfile own = WithOverrides(Network(), overrides);
  own.id = "benim";  // the user's own profile: its source is the user's word
  EXPECT_EQ(regulation, CheckRules(job.points, job.pairs, own)[0].source);
}

// Points in list order, then pairs in list order; within a row the rules in their order.
TEST(Findings, FollowListOrderThenRuleOrder) {
  Job job;
  job.points.push_back(GoodPoint(1002, 2));
  job.points[0].nEpochs = 1;
  job.points[0].dLon = 35.0;
  job.points[2].dLon = 29.0;
  job.points[1].strMethod = "DGNSS";
  job.points[1].nGpsSats = 2;
  job.points[1].nGlonassSats = 0;
  CEslesenNokta second = Job::MakePair();
  second.nPairNo = 102;
  second.nIndex2 = 1002;
  second.strName2 = "P1002";
  second.dDiffHours = 0.2;
  job.pairs[0].nEpochs1 = 5;
  job.pairs[0].dDiffY = job.pairs[0].dDiffX = job.pairs[0].dDiffH = 0.2;
  job.pairs[0].dDiffHours = 0.5;
  job.pairs.push_back(second);
  const std::vector<Finding> findings = CheckRules(job.points, job.pairs, Network());
  EXPECT_EQ("epochs! zone? zone! epochs! satellites! diff-y! diff-x! diff-h! hours! technique! hours! same-file!",
            Ids(findings));
  std::vector<std::string> rows;
  for (const Finding& f : findings) rows.push_back(FindingRowTexts(f)[0]);
  EXPECT_EQ("N:1000/1", rows[0]);
  EXPECT_EQ("N:1002/2", rows[2]);
  EXPECT_EQ(text::Utf8ToCp1254("Ç:100"), rows[3]);
  EXPECT_EQ(text::Utf8ToCp1254("Ç:102"), rows.back());
  // A pair is named by its session-1 point.
  EXPECT_EQ("P1000", findings.back().strName);
}

// The satellites of a session are found by nIndex even when the list is not in index order.
TEST(Findings, FindSessionsInAnUnsortedList) {
  Job job;
  std::swap(job.points[0], job.points[1]);
  job.points[0].nGpsSats = 1;  // nIndex 1001
  job.points[0].nGlonassSats = 0;
  const std::vector<Finding> findings = CheckRules(job.points, job.pairs, Network());
  ASSERT_EQ("satellites!", Ids(findings));
  EXPECT_EQ("1", findings[0].value);
}

// Under a Turkish locale printf would write a decimal comma.
TEST(Findings, PrintNumbersWithAFullStopUnderEveryLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "tr_TR.UTF-8");
  Job job;
  job.pairs[0].dDiffH = 0.12345;
  job.points[1].dLon = 35.25;
  CriteriaOverrides overrides;
  overrides.dMaxDiffH = 0.055;
  const std::vector<Finding> findings = CheckRules(job.points, job.pairs, WithOverrides(Network(), overrides));
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_EQ("zone? diff-h!", Ids(findings));
  EXPECT_EQ("2.2500", findings[0].value);
  EXPECT_EQ("1.5", findings[0].limit);
  EXPECT_EQ("0.1235", findings[1].value);
  EXPECT_EQ("0.055", findings[1].limit);
  EXPECT_NE(std::string::npos, text::Cp1254ToUtf8(findings[1].text).find("en çok 0.055 m")) << findings[1].text;
  const auto row = FindingRowTexts(findings[1]);
  EXPECT_EQ(text::Utf8ToCp1254("Hata"), row[5]);
  EXPECT_EQ(text::Utf8ToCp1254("Uyarı"), FindingRowTexts(findings[0])[5]);
  EXPECT_EQ(0u, row[6].find(findings[1].text));
}

struct VerdictCase {
  const char* name;
  int errors, warnings;
  const char* text;
  bool ready;
};

class VerdictLine : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictLine, SaysWhetherTheJobIsReady) {
  const VerdictCase& c = GetParam();
  std::vector<Finding> findings(static_cast<size_t>(c.errors + c.warnings));
  for (size_t i = static_cast<size_t>(c.errors); i < findings.size(); ++i) findings[i].level = Finding::Level::Warning;
  const Verdict v = Summarize(findings);
  EXPECT_EQ(c.errors, v.errors);
  EXPECT_EQ(c.warnings, v.warnings);
  EXPECT_EQ(c.text, v.Text());
  EXPECT_EQ(c.ready, v.Ready());
}

INSTANTIATE_TEST_SUITE_P(Texts, VerdictLine,
                         ::testing::Values(VerdictCase{"Clean", 0, 0, "Teslime hazır: hata yok", true},
                                           VerdictCase{"WarningsOnly", 0, 2, "Teslime hazır: hata yok, 2 uyarı", true},
                                           VerdictCase{"ErrorsOnly", 3, 0, "3 hata, 0 uyarı", false},
                                           VerdictCase{"Both", 1, 4, "1 hata, 4 uyarı", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZoneNote, CountsThePointsOutsideAndNamesTheFarthest) {
  std::vector<CTarvekNokta> points = {GoodPoint(1000), GoodPoint(1001), GoodPoint(1002), GoodPoint(1003, 2)};
  EXPECT_FALSE(ZoneNote(points, 1).has_value());
  points[0].dLon = 34.6;
  points[1].dLon = 29.5;
  points[3].dLon = 40.0;  // another job file
  const std::optional<std::string> note = ZoneNote(points, 1);
  ASSERT_TRUE(note.has_value());
  EXPECT_NE(std::string::npos, note->find("2 nokta dilimin dışında (orta meridyen 33)")) << *note;
  EXPECT_NE(std::string::npos, note->find("P1001, 3.5000 derece")) << *note;
  EXPECT_NE(std::string::npos, note->find("1 nokta orta meridyenden 3 dereceden uzak")) << *note;
}

}  // namespace
