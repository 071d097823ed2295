// Job files whose damage SQLite does not report by itself, whose values no zone can hold,
// or whose reading never ends: each was once read as a job with fewer points, or none,
// with nothing said, or kept the program busy for ever.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "jobdata/CVelmiraDoc.h"
#include "text/Cp1254.h"

namespace fs = std::filesystem;

namespace {

std::vector<JobRow> NamedRows(int count) {
  std::vector<JobRow> rows(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    rows[static_cast<size_t>(i)].name = "N" + std::to_string(i);
    rows[static_cast<size_t>(i)].lat = "39." + std::to_string(100000 + i * 37);
  }
  return rows;
}

std::string QuickCheck(const fs::path& path) {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  sqlite3_open_v2(support::Utf8(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string result = sqlite3_prepare_v2(db, "pragma quick_check", -1, &st, nullptr) == SQLITE_OK &&
                               sqlite3_step(st) == SQLITE_ROW
                           ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                           : sqlite3_errmsg(db);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return result;
}

void Exec(const fs::path& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(path).c_str(), &db));
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

class EvidenceTest : public ::testing::Test {
 protected:
  EvidenceTest() {
    shell.meridianAnswer = "33";  // as a script answers, whatever the file
    shell.methodAnswer = "RTK";
  }
  TestDir dir;
  ScriptedShell shell;
};

struct DamageCase {
  const char* name;
  long offset;           // the byte replaced, or -1: the last `from` in the file
  std::string from, to;  // same length
  bool quickCheckPasses;
  const char* message;
  const char* names;
};

class DamageTest : public EvidenceTest, public ::testing::WithParamInterface<DamageCase> {};

// The schema format byte made SQLite refuse the file, and the wrapper took that for
// missing tables; the index entry and the schema texts passed the quick check and read
// 63 points, or none: all of them once ended in a ready job.
TEST_P(DamageTest, IsRefusedBeforeTheZoneIsAsked) {
  const DamageCase& c = GetParam();
  const fs::path job = dir / "job.tsj";
  std::vector<JobRow> rows = NamedRows(64);
  rows[5].solution = "4FIXMARK";  // atoi reads it as fixed
  JobOptions options;
  options.zone.reset();
  options.rtk.reset();
  options.coveringIndex = true;
  JobFileBuilder::Write(job, rows, options);
  std::string bytes = ReadBytes(job);
  const size_t at = c.offset >= 0 ? static_cast<size_t>(c.offset) : bytes.rfind(c.from);
  ASSERT_EQ(c.from, bytes.substr(at, c.from.size()));
  bytes.replace(at, c.to.size(), c.to);
  std::ofstream(job, std::ios::binary | std::ios::trunc) << bytes;
  if (c.quickCheckPasses) {
    ASSERT_EQ("ok", QuickCheck(job));
  }

  CVelmiraDoc doc(shell, dir / "cache");
  EXPECT_FALSE(doc.AddJobFile(job));
  EXPECT_TRUE(shell.questions.empty());
  ASSERT_EQ(1u, shell.Messages().size());
  const std::string& text = shell.Messages()[0].first;
  EXPECT_EQ(0u, text.find(c.message + job.string() + "\n")) << text;
  EXPECT_NE(std::string::npos, text.find(c.names)) << text;
  EXPECT_TRUE(doc.TsjList().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamageTest,
    ::testing::Values(
        DamageCase{"SchemaFormatByte", 47, std::string(1, '\x04'), std::string(1, '\x05'), false,
                   "TSJ Dosyası bozuk: ", "unsupported file format"},
        DamageCase{"IndexEntry", -1, "4FIXMARK", "5FIXMARK", true, "TSJ Dosyası bozuk: ", "ixGnssCover"},
        DamageCase{"KeyNoLongerPrimary", -1, "keyStation integer primary key", "keyStation integer primasy key", true,
                   "TSJ Dosyası beklenen tabloları içermiyor: ", "tblStations.keyStation INTEGER PRIMARY KEY değil"},
        DamageCase{"ColumnName", -1, "fkeySoPoint,", "fkeySoPoinu,", true,
                   "TSJ Dosyası beklenen tabloları içermiyor: ", "tblStations.fkeySoPoint sütunu yok"},
        DamageCase{"OptionColumnName", -1, "binaryValue blob", "binaryValuf blob", true,
                   "TSJ Dosyası beklenen tabloları içermiyor: ", "tblJobPrimOpts.binaryValue sütunu yok"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
  const char* name;
  std::string JobRow::*column;
  const char* value;
  const char* field;  // as the note names it
};

class ValueTest : public EvidenceTest, public ::testing::WithParamInterface<ValueCase> {};

// A latitude or height of nan or 1e400 dropped the session from matching without a word
// and wrote "nan" into the point lists; a time of nan showed an empty cell.
TEST_P(ValueTest, RefusesThePointAndNamesIt) {
  const ValueCase& c = GetParam();
  std::vector<JobRow> rows(3);
  rows[0].name = "A";
  rows[1].name = "BAD";
  rows[1].*c.column = c.value;
  rows[2].name = "C";
  JobFileBuilder::Write(dir / "job.tsj", rows);
  CVelmiraDoc doc(shell, dir / "cache");
  ASSERT_TRUE(doc.AddJobFile(dir / "job.tsj"));
  ASSERT_EQ(2u, doc.NoktaList().size());
  EXPECT_EQ("C", doc.NoktaList()[1].strName);
  EXPECT_EQ(1001, doc.NoktaList()[1].nIndex);  // the refused point takes no index
  ASSERT_EQ(1u, doc.RefusedList().size());
  const CRefusedPoint& refused = doc.RefusedList()[0];
  EXPECT_EQ("BAD", refused.strName);
  EXPECT_EQ(c.field, text::Cp1254ToUtf8(refused.strField));
  EXPECT_EQ(c.value, refused.strValue);
  EXPECT_EQ(MessageIcon::Information, shell.Messages().back().second);
  EXPECT_NE(std::string::npos, shell.Messages().back().first.find(std::string("\nBAD: ") + c.field + " " + c.value + " ("))
      << shell.Messages().back().first;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueTest,
    ::testing::Values(ValueCase{"LatitudeNan", &JobRow::lat, "nan", "enlem"},
                      ValueCase{"LatitudeOverflow", &JobRow::lat, "1e400", "enlem"},
                      ValueCase{"LatitudeBeyondThePole", &JobRow::lat, "90.5", "enlem"},
                      ValueCase{"LongitudeNinetyFromTheMeridian", &JobRow::lon, "123", "boylam"},
                      ValueCase{"HeightNan", &JobRow::height, "nan", "yükseklik"},
                      ValueCase{"HeightOverflow", &JobRow::height, "1e400", "yükseklik"},
                      ValueCase{"HeightInSpace", &JobRow::height, "10000.5", "yükseklik"},
                      ValueCase{"TimeNan", &JobRow::seconds, "nan", "zaman"},
                      ValueCase{"TimeInfinite", &JobRow::seconds, "inf", "zaman"}),
    [](const auto& info) { return std::string(info.param.name); });

// A GNSS table that is an endless recursive view kept every command busy at full CPU.
void MakeEndless(const fs::path& job) {
  JobFileBuilder::Write(job, NamedRows(3));
  Exec(job,
       "drop table tblCrdGnssRaw; create view tblCrdGnssRaw as "
       "with recursive r(n) as (select 1 union all select n + 1 from r) "
       "select n as xx, n as yy, n as zz, 4 as SolutionType, 0 as ObsDuration, 60 as NumOfEpochs, 1 as HDop, "
       "1 as VDop, 9 as NumOfGpsSats, 6 as NumOfGlonassSats, -n as fkeyRoverStation, n as fkeyCrdRawMeas, "
       "n as fKeyBaseStation from r;");
}

TEST_F(EvidenceTest, AnEndlessQueryIsRefused) {
  MakeEndless(dir / "endless.tsj");
  CVelmiraDoc doc(shell, dir / "cache");
  EXPECT_FALSE(doc.AddJobFile(dir / "endless.tsj"));
  EXPECT_EQ("TSJ Dosyası okunamadı: sorgu bitmedi\n" + (dir / "endless.tsj").string(), shell.Messages().back().first);
  EXPECT_TRUE(doc.TsjList().empty() && doc.NoktaList().empty());
}

TEST_F(EvidenceTest, ProgressRisesToOneAndFalseCancelsWithoutAWord) {
  std::vector<double> seen;
  JobFileBuilder::Write(dir / "sound.tsj", NamedRows(2000));
  CVelmiraDoc doc(shell, dir / "cache");
  ASSERT_TRUE(doc.AddJobFile(dir / "sound.tsj", [&](double f) { return seen.push_back(f), true; }));
  ASSERT_GE(seen.size(), 2u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GT(seen.front(), 0.0);
  EXPECT_EQ(1.0, seen.back());

  MakeEndless(dir / "endless.tsj");
  seen.clear();
  shell.ClearMessages();
  EXPECT_FALSE(doc.AddJobFile(dir / "endless.tsj", [&](double f) { return seen.push_back(f), seen.size() < 3; }));
  EXPECT_EQ(3u, seen.size());
  for (const auto& [text, icon] : shell.Messages()) EXPECT_EQ(MessageIcon::Information, icon) << text;
  EXPECT_EQ(1u, doc.TsjList().size());
}

}  // namespace
