// velmira-make-job run as a black box: exit status, standard output and error, and
// the job file read back through SQLite with the reader's own join.
#include <gtest/gtest.h>
#include <sqlite3.h>


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "support/Portable.h"

namespace {

struct ToolRun {
  int status;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempPath(const std::string& name) { return ::testing::TempDir() + name; }

ToolRun MakeJob(const std::string& args) {
  const std::string out = TempPath("make_job.out"), err = TempPath("make_job.err");
  const std::string command = std::string("'") + VELMIRA_MAKE_JOB + "' " + args + " >'" + out +
                              "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {support::ExitStatus(raw), Slurp(out), Slurp(err)};
}

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

using Row = std::vector<std::string>;

// Every row of a query, each column as SQLite's text of the value (what the reader sees).
std::vector<Row> Query(const std::string& path, const std::string& sql) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, DbCloser> db(raw);
  sqlite3_stmt* s = nullptr;
  EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &s, nullptr))
      << sqlite3_errmsg(db.get()) << "\n" << sql;
  std::unique_ptr<sqlite3_stmt, StmtFinalizer> stmt(s);
  std::vector<Row> rows;
  while (stmt && sqlite3_step(stmt.get()) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
      const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), i));
      row.push_back(t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt.get(), i)))
                      : std::string());
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// The reader's statement, with the tabs of the original.
const char* kReaderSql =
    "select tSo.Name,d.Name,tSo.C1,tSo.C2,tSo.C3,a.xx,a.yy,a.zz,a.SolutionType,a.ObsDuration,"
    "c.SecondsFrom1970,a.NumOfEpochs,a.HDop,a.VDop,\t\ta.NumOfGpsSats,a.NumOfGlonassSats\t\t"
    "from tblCrdGnssRaw a\t\tinner join tblStations b on (a.fkeyRoverStation=b.keyStation) "
    "and b.DeletedFlag=0\t\tinner join tblSoPoints tSo on (tSo.keySoPoint=b.fkeySoPoint) and "
    "tSo.Name not like '!000%'\t\tinner join tblCrdRawMeas c on "
    "(c.keyCrdRawMeas=a.fkeyCrdRawMeas)\t\tinner join tblCrdBaseSt d on "
    "(a.fKeyBaseStation=d.keyCrdBaseSt);";

// Each REAL of the named columns as (SQLite's text of it, the stored double).
std::vector<std::pair<std::string, double>> Reals(const std::string& path, const std::string& sql) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, DbCloser> db(raw);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &s, nullptr);
  std::unique_ptr<sqlite3_stmt, StmtFinalizer> stmt(s);
  std::vector<std::pair<std::string, double>> values;
  while (stmt && sqlite3_step(stmt.get()) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
      const double v = sqlite3_column_double(stmt.get(), i);
      values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), i)), v);
    }
  }
  return values;
}

std::optional<std::string> OptionBytes(const std::string& path, int fieldId) {
  auto rows = Query(path, "select binaryValue from tblJobPrimOpts where FieldId=" +
                              std::to_string(fieldId));
  if (rows.empty()) return std::nullopt;
  return rows.back()[0];
}

// The number after `label` in the summary line, e.g. "123 readable".
long long SummaryCount(const std::string& summary, const std::string& label) {
  const std::size_t at = summary.find(" " + label);
  if (at == std::string::npos) return -1;
  std::size_t start = summary.rfind(' ', at - 1);
  start = (start == std::string::npos) ? 0 : start + 1;
  if (summary[start] == '(') ++start;
  return text::AtoI(summary.substr(start, at - start));
}

TEST(MakeJob, WritesTheJobOptionsTheCommandLineAsksFor) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  struct Case {
    const char* name;
    const char* args;
    const char* zoneDigits;  // nullptr: option 2 absent
    int mode;                // value of option 118
    const char* mountpoint;  // nullptr: option 851 absent
  };
  const Case cases[] = {
      {"network_default", "", "33", 1, "VRSRTCM31"},
      {"rtk_zone_27", "--meridian 27 --method rtk", "27", 0, nullptr},
      {"network_named", "--meridian 45 --method network --mountpoint VRSCMRP", "45", 1,
       "VRSCMRP"},
      {"ask_without_zone", "--meridian none --method ask", nullptr, 1, nullptr},
  };
  for (const Case& c : cases) {
    const std::string job = TempPath(std::string(c.name) + ".tsj");
    const ToolRun run = MakeJob(std::string(c.args) + " --points 20 '" + job + "'");
    ASSERT_EQ(0, run.status) << c.name << run.err;

    const auto zone = OptionBytes(job, 2);
    if (c.zoneDigits == nullptr) {
      EXPECT_FALSE(zone) << c.name;
    } else {
      ASSERT_TRUE(zone) << c.name;
      // The program takes the text up to its first zero byte and the first zone number.
      const std::string text = zone->substr(0, zone->find('\0'));
      for (const char* other : {"27", "30", "33", "36", "39", "42", "45"}) {
        EXPECT_EQ(std::string(other) == c.zoneDigits, text.find(other) != std::string::npos)
            << c.name << " " << text;
      }
    }

    const auto mode = OptionBytes(job, 118);
    ASSERT_TRUE(mode) << c.name;
    ASSERT_EQ(4u, mode->size()) << c.name;
    const auto* b = reinterpret_cast<const unsigned char*>(mode->data());
    EXPECT_EQ(c.mode, static_cast<int>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<unsigned>(b[3]) << 24))
        << c.name;

    const auto mount = OptionBytes(job, 851);
    if (c.mountpoint == nullptr) {
      EXPECT_FALSE(mount) << c.name;
    } else {
      ASSERT_TRUE(mount) << c.name;
      EXPECT_EQ(c.mountpoint, mount->substr(0, mount->find('\0'))) << c.name;
    }
  }
}

TEST(MakeJob, JobReadsBackAsARealisticSurveyThroughTheReadersJoin) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string job = TempPath("survey.tsj");
  const ToolRun run = MakeJob("--seed 11 --points 600 --meridian 39 --control-fraction 0.2 '" + job + "'");
  ASSERT_EQ(0, run.status) << run.err;
  ASSERT_EQ(1, std::count(run.out.begin(), run.out.end(), '\n')) << run.out;

  const auto rows = Query(job, kReaderSql);
  long long fixed = 0, notFixed = 0;
  bool turkish = false, innerBang = false;
  std::map<std::string, std::vector<const Row*>> byName;
  for (const Row& r : rows) {
    const double lat = text::AtoF(r[2]), lon = text::AtoF(r[3]), seconds = text::AtoF(r[10]);
    EXPECT_TRUE(lat > 36.0 && lat < 42.0) << r[2];
    EXPECT_TRUE(lon > 37.5 && lon < 40.5) << r[3];
    EXPECT_TRUE(seconds >= 1704067200.0 && seconds < 1798761600.0) << r[10];  // 2024-2026
    const int duration = text::AtoI(r[9]) / 1000;
    const int epochs = text::AtoI(r[11]);
    EXPECT_TRUE(duration >= epochs - 1 && duration <= epochs) << r[9] << " " << r[11];
    const double hdop = text::AtoF(r[12]);
    EXPECT_TRUE(hdop > 0.4 && hdop < 3.1) << r[12];
    EXPECT_GE(text::AtoI(r[14]), 4);
    EXPECT_GT(std::sqrt(text::AtoF(r[5]) + text::AtoF(r[6]) + text::AtoF(r[7])), 0.0);
    if (r[8] == "4") {
      ++fixed;
      byName[r[0]].push_back(&r);
    } else {
      ++notFixed;
    }
    for (unsigned char ch : r[0]) turkish = turkish || ch == 0xDD || ch == 0xDE || ch == 0xD0;
    innerBang = innerBang || r[0].find("!000") != std::string::npos;
  }
  EXPECT_EQ(SummaryCount(run.out, "readable"), fixed);
  EXPECT_GT(notFixed, 0);
  EXPECT_TRUE(turkish) << "no name in Windows-1254 Turkish letters";
  EXPECT_TRUE(innerBang) << "no name holding !000 after its first character";
  EXPECT_GT(SummaryCount(run.out, "deleted"), 0);
  EXPECT_GT(SummaryCount(run.out, "hidden"), 0);

  // Coordinates, heights, variances and times are rounded so that the reader, which
  // converts SQLite's 15-digit text of a value, gets the very double that was written.
  const auto reals = Reals(job,
                           "select C1, C2, C3 from tblSoPoints union all select xx, yy, zz "
                           "from tblCrdGnssRaw union all select SecondsFrom1970, 0, 0 from "
                           "tblCrdRawMeas");
  ASSERT_GT(reals.size(), 1000u);
  for (const auto& [textForm, value] : reals) EXPECT_EQ(value, text::AtoF(textForm)) << textForm;

  // Control points: sessions at least an hour apart, a few centimetres apart on the ground.
  int controlPairs = 0;
  for (const auto& [name, obs] : byName) {
    if (obs.size() < 2) continue;
    for (std::size_t k = 1; k < obs.size(); ++k) {
      const Row& p = *obs[k - 1];
      const Row& q = *obs[k];
      const double startP = text::AtoF(p[10]) - text::AtoI(p[9]) / 1000;
      const double startQ = text::AtoF(q[10]) - text::AtoI(q[9]) / 1000;
      EXPECT_GE(startQ - startP, 3599.0) << text::Cp1254ToUtf8(name);
      const double dn = (text::AtoF(q[2]) - text::AtoF(p[2])) * 111000.0;
      const double de = (text::AtoF(q[3]) - text::AtoF(p[3])) * 85000.0;
      EXPECT_LT(std::hypot(dn, de), 0.15) << text::Cp1254ToUtf8(name);
      EXPECT_GT(text::AtoI(q[11]), 50);
      ++controlPairs;
    }
  }
  EXPECT_GT(controlPairs, 60);
}

TEST(MakeJob, SameSeedGivesTheSameFileAndReplacesAnOldOne) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string first = TempPath("seed_a.tsj"), second = TempPath("seed_b.tsj");
  { std::ofstream(second) << "not a database, and longer than nothing at all"; }
  ASSERT_EQ(0, MakeJob("--seed 5 --points 150 '" + first + "'").status);
  ASSERT_EQ(0, MakeJob("--seed 5 --points 150 '" + second + "'").status);
  const std::string a = Slurp(first), b = Slurp(second);
  EXPECT_EQ(0u, a.rfind("SQLite format 3", 0));
  EXPECT_TRUE(a == b) << "two runs with one seed differ";
  ASSERT_EQ(0, MakeJob("--seed 6 --points 150 '" + second + "'").status);
  EXPECT_FALSE(a == Slurp(second));
}

TEST(MakeJob, RefusesBadCommandLinesWithStatusTwoAndFailuresWithOne) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string job = TempPath("refused.tsj");
  std::remove(job.c_str());
  const char* usage[] = {"", "--meridian 31 x.tsj", "--points -3 x.tsj",
                         "--points 12abc x.tsj", "--float-fraction 1.5 x.tsj",
                         "--method cors x.tsj", "--seed", "--frobnicate 1 x.tsj", "a.tsj b.tsj"};
  for (const char* args : usage) {
    const ToolRun run = MakeJob(std::string(args));
    EXPECT_EQ(2, run.status) << args;
    EXPECT_NE(std::string::npos, run.err.find("usage:")) << args;
    EXPECT_TRUE(run.out.empty()) << args;
  }
  const ToolRun failed = MakeJob("'" + TempPath("no/such/folder/job.tsj") + "'");
  EXPECT_EQ(1, failed.status);
  EXPECT_NE(std::string::npos, failed.err.find("velmira-make-job: ")) << failed.err;
  EXPECT_TRUE(failed.out.empty());
}

}  // namespace
