#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <fstream>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/TableTexts.h"
#include "support/Portable.h"

namespace {

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : doc(shell, dir / "cache") {}

  // Writes a job file and adds it; returns whether a record was added.
  bool Add(const std::vector<JobRow>& rows, const JobOptions& options = {}, const std::string& name = "job.tsj") {
    const std::filesystem::path path = dir.path() / std::filesystem::path(std::u8string(name.begin(), name.end()));
    JobFileBuilder::Write(path, rows, options);
    shell.files.push_back(path);
    return doc.AddTsjFile();
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : shell.Messages()) texts.push_back(m.first);
    return texts;
  }

  TestDir dir;
  ScriptedShell shell;
  CVelmiraDoc doc;
};

const std::string kRtkMessage = "TSJ Dosyasındaki noktalar\nRTK yöntemi ile ölçülmüş";
const std::string kFixMessage =
    "TSJ Dosyasında FIX olarak çözümlenmemiş nokta\\noktalar var.\nBu nokta\\noktalar programa dahil edilmemiştir.";
const std::string kMethodUnknown = "Dosya içeriğindeki Ölçü Yöntemi belirlenemediğinden dosya açılamamıştır.";

TEST_F(ReaderTest, ReadsEveryFieldOfAFixedPoint) {
  JobRow row;
  row.durationMs = "12999";
  ASSERT_TRUE(Add({row}));
  ASSERT_EQ(1u, doc.NoktaList().size());
  const CTarvekNokta& p = doc.NoktaList()[0];
  EXPECT_EQ("P1", p.strName);
  EXPECT_EQ("BASE", p.strBaseName);
  EXPECT_EQ("job.tsj", p.strFileName);
  EXPECT_EQ((dir / "job.tsj").string(), p.strPath);
  EXPECT_EQ(1, p.nFileNumber);
  EXPECT_EQ(1000, p.nIndex);
  EXPECT_EQ("33", p.strMeridian);
  EXPECT_EQ("RTK", p.strMethod);
  EXPECT_EQ(12, p.nDuration);  // 12999 ms, truncated
  EXPECT_EQ(1719515159.0 - 12, p.dStartTime);
  EXPECT_EQ("27.6.2024 19:5", p.strTime);  // 19:05:47 UTC: nothing padded, seconds dropped
  EXPECT_EQ("Fix", p.strSolution);
  EXPECT_DOUBLE_EQ(std::sqrt(0.0004), p.dRms);
  EXPECT_DOUBLE_EQ(std::sqrt(0.8 * 0.8 + 1.2 * 1.2), p.dPdop);
  EXPECT_EQ(9, p.nGpsSats);
  EXPECT_EQ(6, p.nGlonassSats);
  EXPECT_EQ(850.25, p.dHeight);
  EXPECT_NEAR(517202.6906, p.dY, 0.001);  // PROJ tmerc, GRS80, lon_0=33, k=1
  EXPECT_NEAR(4374033.2114, p.dX, 0.001);
  EXPECT_EQ(kRtkMessage, MessageTexts().at(0));
  EXPECT_EQ(1, shell.jobFilesChanged);
  EXPECT_TRUE(shell.questions.empty());
}

TEST_F(ReaderTest, LeavesOutFloatDeletedAndBangZeroPointsWithoutUsingIndices) {
  JobRow fixed1, floating, deleted, bang, bangLater, fixed2;
  fixed1.name = "A";
  floating.name = "FLOAT";
  floating.solution = "3";
  deleted.name = "DEL";
  deleted.deleted = 1;
  bang.name = "!000X";
  bangLater.name = "X!000";
  fixed2.name = "B";
  ASSERT_TRUE(Add({fixed1, floating, deleted, bang, bangLater, fixed2}));
  std::vector<std::string> names;
  std::vector<int> indices;
  for (const auto& p : doc.NoktaList()) {
    names.push_back(p.strName);
    indices.push_back(p.nIndex);
  }
  EXPECT_EQ((std::vector<std::string>{"A", "X!000", "B"}), names);
  EXPECT_EQ((std::vector<int>{1000, 1001, 1002}), indices);
  const auto texts = MessageTexts();
  EXPECT_EQ(1, std::count(texts.begin(), texts.end(), kFixMessage));
}

TEST_F(ReaderTest, AJobOfOnlyFloatSolutionsIsListedWithoutPoints) {
  JobRow floating;
  floating.solution = "2";
  ASSERT_TRUE(Add({floating, floating}));
  EXPECT_EQ(1u, doc.TsjList().size());
  EXPECT_TRUE(doc.NoktaList().empty());
  EXPECT_EQ(kFixMessage, MessageTexts().back());
  EXPECT_EQ(MessageIcon::Information, shell.Messages().back().second);
}

TEST_F(ReaderTest, NullColumnsReadAsEmptyOrZero) {
  JobRow row;
  row.nulls = true;
  ASSERT_TRUE(Add({row}));
  ASSERT_EQ(1u, doc.NoktaList().size());
  const CTarvekNokta& p = doc.NoktaList()[0];
  EXPECT_EQ(0.0, p.dLat);
  EXPECT_EQ(0, p.nEpochs);
  EXPECT_EQ(0.0, p.dStartTime);
  EXPECT_EQ("1.1.1970 0:0", p.strTime);
  EXPECT_TRUE(std::isfinite(p.dY));
}

TEST_F(ReaderTest, AddingTheSameFileTwiceGivesNewNumbersAndIndices) {
  ASSERT_TRUE(Add({JobRow{}, JobRow{}}));
  shell.files.push_back(dir / "job.tsj");
  ASSERT_TRUE(doc.AddTsjFile());
  ASSERT_EQ(2u, doc.TsjList().size());
  EXPECT_EQ(1, doc.TsjList()[0].nFileNumber);
  EXPECT_EQ(2, doc.TsjList()[1].nFileNumber);
  EXPECT_EQ(1003, doc.NoktaList().back().nIndex);
  EXPECT_EQ(2, doc.NoktaList().back().nFileNumber);
}

TEST_F(ReaderTest, APlainTextFileIsRefusedWithoutUsingANumber) {
  std::ofstream(dir / "notes.tsj") << "SQLite format 2 is not this\n";
  shell.files.push_back(dir / "notes.tsj");
  EXPECT_FALSE(doc.AddTsjFile());
  EXPECT_EQ("TARVEK TSJ Değil", MessageTexts().at(0));
  EXPECT_EQ(MessageIcon::Warning, shell.Messages().at(0).second);
  EXPECT_EQ(1, doc.m_nNextFileNumber);
  EXPECT_TRUE(doc.TsjList().empty());
  EXPECT_EQ(0, shell.jobFilesChanged);
}

TEST_F(ReaderTest, CancellingTheOpenDialogChangesNothing) {
  shell.files.push_back(std::nullopt);
  EXPECT_FALSE(doc.AddTsjFile());
  EXPECT_TRUE(shell.Messages().empty());
  EXPECT_EQ(1, doc.m_nNextFileNumber);
}

// A missing file was read by the original without a check; it must be reported.
TEST_F(ReaderTest, AnUnreadableFileIsReportedAndChangesNothing) {
  shell.files.push_back(dir / "missing.tsj");
  EXPECT_FALSE(doc.AddTsjFile());
  ASSERT_EQ(1u, shell.Messages().size());
  EXPECT_NE(std::string::npos, shell.Messages()[0].first.find("missing.tsj"));
  EXPECT_EQ(1, doc.m_nNextFileNumber);
}

// A failed copy must not leave SQLite to create an empty database in its place.
TEST_F(ReaderTest, AFailedTemporaryCopyIsReportedAndAddsNoRecord) {
  std::ofstream(dir / "cache") << "a file where the folder should be";
  EXPECT_FALSE(Add({JobRow{}}));
  ASSERT_EQ(1u, shell.Messages().size());
  EXPECT_NE(std::string::npos, shell.Messages()[0].first.find("geçici kopyası"));
  EXPECT_TRUE(doc.TsjList().empty());
  EXPECT_TRUE(doc.NoktaList().empty());
  EXPECT_EQ(2, doc.m_nNextFileNumber);  // the number stays used, as for other refusals
}

TEST_F(ReaderTest, TemporaryCopiesLiveInAPrivateFolderOfTheDocumentAndGoWithIt) {
  {
    CVelmiraDoc own(shell, dir / "cache");
    JobFileBuilder::Write(dir / "a.tsj", {JobRow{}});
    ASSERT_TRUE(own.AddJobFile(dir / "a.tsj"));
    std::vector<std::filesystem::path> folders;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "cache")) folders.push_back(entry.path());
    ASSERT_EQ(1u, folders.size());
    EXPECT_TRUE(std::filesystem::exists(folders[0] / "temp1.tmp"));
    EXPECT_TRUE(own.IsJobFileOrCopy(folders[0] / "temp1.tmp"));
#ifndef _WIN32  // there the user's own profile folder keeps others out, not modes
    EXPECT_EQ(std::filesystem::perms::owner_all, std::filesystem::status(folders[0]).permissions());
    EXPECT_EQ(std::filesystem::perms::owner_all, std::filesystem::status(dir / "cache").permissions());
#endif
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir / "cache"));  // no job data outlives the document
}

// Committed rows still in the job's -wal file would be lost if only the main file
// were copied.
TEST_F(ReaderTest, TheWalSiblingTravelsWithTheCopy) {
  JobRow a, b;
  a.name = "INWAL1";
  b.name = "INWAL2";
  JobFileBuilder::Write(dir / "live.tsj", {a, b}, {}, /*keepWalOpen=*/true);
  ASSERT_TRUE(std::filesystem::exists(dir / "live.tsj-wal"));
  shell.files.push_back(dir / "live.tsj");
  ASSERT_TRUE(doc.AddTsjFile());
  EXPECT_EQ(2u, doc.NoktaList().size());
}

struct MeridianCase {
  const char* name;
  std::optional<std::string> option;
  std::optional<std::string> answer;
  bool added;
  const char* meridian;
  bool asked;
};

class MeridianTest : public ReaderTest, public ::testing::WithParamInterface<MeridianCase> {};

TEST_P(MeridianTest, SettlesTheZone) {
  const MeridianCase& c = GetParam();
  JobOptions options;
  options.zone = c.option;
  shell.meridianAnswer = c.answer;
  EXPECT_EQ(c.added, Add({JobRow{}}, options));
  EXPECT_EQ(c.asked, !shell.questions.empty() && shell.questions[0] == "meridian");
  if (c.added) {
    EXPECT_EQ(c.meridian, doc.TsjList().at(0).strMeridian);
  }
  if (!c.added) {
    EXPECT_TRUE(shell.Messages().empty());  // cancel says nothing
  }
  EXPECT_EQ(2, doc.m_nNextFileNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Option2, MeridianTest,
    ::testing::Values(
        MeridianCase{"EndsIn30", "ITRF96 TM30", std::nullopt, true, "30", false},
        MeridianCase{"SmallestZoneWins", "TM33 / 27", std::nullopt, true, "27", false},
        MeridianCase{"ZeroByteHidesZone", std::string("TM\0" "36", 5), "39", true, "39", true},
        MeridianCase{"NoZoneNumberAsks", "UTM", "42", true, "42", true},
        MeridianCase{"MissingOptionAsks", std::nullopt, "45", true, "45", true},
        MeridianCase{"CancelRefuses", std::nullopt, std::nullopt, false, "", true}),
    [](const auto& info) { return info.param.name; });

struct MethodCase {
  const char* name;
  std::optional<std::string> rtk;
  std::optional<std::string> mountpoint;
  std::optional<std::string> mountpointAnswer;
  std::optional<std::string> methodAnswer;
  bool added;
  const char* method;
  std::string question;  // "" when nothing is asked
  std::string message;   // "" when nothing is shown
};

class MethodTest : public ReaderTest, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(MethodTest, SettlesTheMethod) {
  const MethodCase& c = GetParam();
  JobOptions options;
  options.rtk = c.rtk;
  options.mountpoint = c.mountpoint;
  shell.mountpointAnswer = c.mountpointAnswer;
  shell.methodAnswer = c.methodAnswer;
  EXPECT_EQ(c.added, Add({JobRow{}}, options, "İş.tsj"));
  EXPECT_EQ(c.question, shell.questions.empty() ? "" : shell.questions[0]);
  EXPECT_EQ(c.message, shell.Messages().empty() ? "" : shell.Messages()[0].first);
  if (c.question.starts_with("mountpoint:")) {
    ASSERT_EQ(1u, shell.mountpointOptions.size());
    EXPECT_EQ(*c.mountpoint, shell.mountpointOptions[0]);  // the answer starts on the file's own text
  }
  if (c.added) {
    EXPECT_EQ(c.method, doc.TsjList().at(0).strMethod);
  }
}

const std::string kOne("\x01\0\0\0", 4);
const std::string kZero("\0\0\0\0", 4);
const std::string kCaption = "\xDD\xFE.tsj";  // İş.tsj in Windows-1254

INSTANTIATE_TEST_SUITE_P(
    Options118And851, MethodTest,
    ::testing::Values(
        MethodCase{"ZeroIsRtk", kZero, "VRSCMRP", std::nullopt, std::nullopt, true, "RTK", "",
                   kRtkMessage},
        MethodCase{"KnownMountpoint", kOne, "VRSCMRP", std::nullopt, std::nullopt, true, "VRSCMRP", "", ""},
        // Broadcast names in use today: no dialogue, and no wrong name on the form.
        MethodCase{"TodaysVrsStream", kOne, "VRSRTCM34", std::nullopt, std::nullopt, true, "VRSRTCM34", "", ""},
        MethodCase{"TodaysFkpStream", kOne, "FKP_RTCM31", std::nullopt, std::nullopt, true, "FKP_RTCM31", "", ""},
        MethodCase{"MixedCaseNameAsBroadcast", kOne, "RTCM3Net", std::nullopt, std::nullopt, true, "RTCM3Net", "", ""},
        MethodCase{"UnknownStreamKeptAsTyped", kOne, "KONYA_VRS3", "KONYA_VRS3", std::nullopt, true, "KONYA_VRS3",
                   "mountpoint:" + kCaption, ""},
        MethodCase{"LowerCaseAsksMountpoint", kOne, "vrscmrp", "FKP01", std::nullopt, true, "FKP01",
                   ("mountpoint:" + kCaption), ""},
        MethodCase{"Missing118LetsMountpointDecide", std::nullopt, "MAC01", std::nullopt, std::nullopt,
                   true, "MAC01", "", ""},
        MethodCase{"ShortValueSaysNothing", std::string("\0", 1), "DGNSS", std::nullopt, std::nullopt,
                   true, "DGNSS", "", ""},
        MethodCase{"No851AsksMethod", kOne, std::nullopt, std::nullopt, "RTK", true, "RTK",
                   ("method:" + kCaption), ""},
        MethodCase{"MethodCancelled", kOne, std::nullopt, std::nullopt, std::nullopt, false, "",
                   "method:" + kCaption, kMethodUnknown},
        MethodCase{"MountpointCancelled", kOne, "XYZ", std::nullopt, std::nullopt, false, "",
                   "mountpoint:" + kCaption, kMethodUnknown}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReaderTest, ATableWithoutOptionsAsksBothQuestions) {
  JobOptions options;
  options.withOptionsTable = false;
  shell.meridianAnswer = "30";
  shell.methodAnswer = "SAPOS";
  ASSERT_TRUE(Add({JobRow{}}, options));
  EXPECT_EQ((std::vector<std::string>{"meridian", "method:job.tsj"}), shell.questions);
  EXPECT_EQ("SAPOS", doc.NoktaList().at(0).strMethod);
}

TEST_F(ReaderTest, ADatabaseWithoutPointTablesIsListedEmpty) {
  JobFileBuilder::Write(dir / "job.tsj", {});
  {
    sqlite3* db = nullptr;
    sqlite3_open(support::Utf8(dir / "job.tsj").c_str(), &db);
    sqlite3_exec(db, "drop table tblCrdGnssRaw", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  shell.files.push_back(dir / "job.tsj");
  EXPECT_TRUE(doc.AddTsjFile());
  EXPECT_EQ(1u, doc.TsjList().size());
  EXPECT_TRUE(doc.NoktaList().empty());
}

struct TimeCase {
  const char* name;
  const char* seconds;
  const char* text;
};

class TimeTest : public ReaderTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(TimeTest, FormatsTheStartTime) {
  JobRow row;
  row.seconds = GetParam().seconds;
  row.durationMs = "0";
  ASSERT_TRUE(Add({row}));
  EXPECT_EQ(GetParam().text, doc.NoktaList().at(0).strTime);
}

INSTANTIATE_TEST_SUITE_P(
    Times, TimeTest,
    ::testing::Values(TimeCase{"Epoch", "0", "1.1.1970 0:0"},
                      TimeCase{"FractionTruncated", "59.999", "1.1.1970 0:0"},
                      TimeCase{"LeapDay", "1709164800", "29.2.2024 0:0"},
                      // A 32-bit truncation would wrap this to 1901.
                      TimeCase{"After2038", "2147483648", "19.1.2038 3:14"},
                      TimeCase{"Year2100", "4102444799", "31.12.2099 23:59"},
                      // A time that is not a number refuses its point: JobFileEvidenceTest.
                      TimeCase{"Before1970", "-86400", "31.12.1969 0:0"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReaderTest, ReadsTheSameUnderATurkishLocale) {
  JobRow row;
  row.lat = "39.123456789";
  row.hdop = "0.8";
  ASSERT_TRUE(Add({row}));
  const auto expected = PointRowTexts(doc.NoktaList().at(0));
  if (!std::setlocale(LC_ALL, "tr_TR.UTF-8")) VELMIRA_ORACLE_MISSING("tr_TR.UTF-8 not generated");
  shell.files.push_back(dir / "job.tsj");
  ASSERT_TRUE(doc.AddTsjFile());
  auto turkish = PointRowTexts(doc.NoktaList().at(1));
  std::setlocale(LC_ALL, "C");
  turkish[kPointIndexColumn] = expected[kPointIndexColumn];
  turkish[kPointFileNumberColumn] = expected[kPointFileNumberColumn];
  EXPECT_EQ(expected, turkish);
  EXPECT_EQ("0.800000000000", expected[9]);
  EXPECT_EQ("39.123456789000", expected[15]);
}

}  // namespace
