// Job files as they come from the field and from accidents: damaged databases, hot
// journals, FIFOs and folders, runaway matchings. Nothing may be read in part or hang.
#include <gtest/gtest.h>
#include <sqlite3.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"

namespace fs = std::filesystem;

namespace {


void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What SQLite itself makes of a file, asked directly: damaged, or how many fixed points
// the job's joins give.
struct RawReading {
  bool damaged = false;
  size_t fixedPoints = 0;
};

RawReading ReadRaw(const fs::path& job, const fs::path& scratch) {
  fs::remove(scratch);  // not overwrite_existing: libstdc++ on Windows refuses it
  fs::copy_file(job, scratch);
  RawReading reading;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(support::Utf8(scratch).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    reading.damaged = true;
    return reading;
  }
  auto run = [&](const char* sql, auto&& onRow) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc != SQLITE_OK) {
      if ((rc & 0xff) != SQLITE_ERROR) reading.damaged = true;  // missing tables are no damage
      sqlite3_finalize(st);
      return;
    }
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) onRow(st);
    if (rc != SQLITE_DONE) reading.damaged = true;
    sqlite3_finalize(st);
  };
  run("pragma quick_check", [&](sqlite3_stmt* st) {
    if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) != "ok") reading.damaged = true;
  });
  if (!reading.damaged) {
    run("select a.SolutionType from tblCrdGnssRaw a "
        "inner join tblStations b on (a.fkeyRoverStation=b.keyStation) and b.DeletedFlag=0 "
        "inner join tblSoPoints tSo on (tSo.keySoPoint=b.fkeySoPoint) and tSo.Name not like '!000%' "
        "inner join tblCrdRawMeas c on (c.keyCrdRawMeas=a.fkeyCrdRawMeas) "
        "inner join tblCrdBaseSt d on (a.fKeyBaseStation=d.keyCrdBaseSt)",
        [&](sqlite3_stmt* st) {
          const unsigned char* type = sqlite3_column_text(st, 0);
          if (type && std::atoi(reinterpret_cast<const char*>(type)) == 4) ++reading.fixedPoints;
        });
    for (const char* option : {"select binaryValue from tblJobPrimOpts where FieldId=2",
                               "select binaryValue from tblJobPrimOpts where FieldId=118",
                               "select binaryValue from tblJobPrimOpts where FieldId=851"}) {
      run(option, [](sqlite3_stmt*) {});
    }
  }
  sqlite3_close(db);
  return reading;
}

class SafetyTest : public ::testing::Test {
 protected:
  SafetyTest() {
    shell.meridianAnswer = "33";
    shell.methodAnswer = "VRS01";
    shell.mountpointAnswer = "VRS01";
  }

  static std::vector<JobRow> ManyRows(int count) {
    std::vector<JobRow> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      rows[static_cast<size_t>(i)].name = "NOKTA-" + std::to_string(i) + std::string(40, 'x');
      rows[static_cast<size_t>(i)].lat = "39." + std::to_string(100000 + i * 37);
      rows[static_cast<size_t>(i)].solution = i % 7 == 0 ? "5" : "4";
    }
    return rows;
  }

  TestDir dir;
  ScriptedShell shell;
};

// Every truncation and byte flip is either refused with its cause or read exactly as
// SQLite reads it; none is read in part.
TEST_F(SafetyTest, DamagedCopiesAreRefusedOrReadWhole) {
  JobFileBuilder::Write(dir / "sound.tsj", ManyRows(150));
  const std::string sound = ReadBytes(dir / "sound.tsj");
  ASSERT_GT(sound.size(), 8192u);
  std::mt19937 random(20261209);
  std::vector<std::string> mutations;
  for (size_t cut = 512; cut < sound.size(); cut += sound.size() / 48) mutations.push_back(sound.substr(0, cut));
  for (int i = 0; i < 300; ++i) {
    std::string flipped = sound;
    const size_t at = std::uniform_int_distribution<size_t>(16, sound.size() - 1)(random);
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << std::uniform_int_distribution<int>(0, 7)(random)));
    mutations.push_back(std::move(flipped));
  }
  int refused = 0;
  for (size_t m = 0; m < mutations.size(); ++m) {
    WriteBytes(dir / "job.tsj", mutations[m]);
    const RawReading raw = ReadRaw(dir / "job.tsj", dir / "scratch.db");
    ScriptedShell fresh = shell;
    fresh.AllowWarnings();
    CVelmiraDoc doc(fresh, dir / "cache");
    if (doc.AddJobFile(dir / "job.tsj")) {
      EXPECT_FALSE(raw.damaged) << "mutation " << m << " was accepted although SQLite reports it damaged";
      EXPECT_EQ(raw.fixedPoints, doc.NoktaList().size()) << "mutation " << m;
      continue;
    }
    ++refused;
    EXPECT_TRUE(doc.TsjList().empty() && doc.NoktaList().empty()) << "mutation " << m;
    ASSERT_FALSE(fresh.Messages().empty()) << "mutation " << m << " refused without a word";
    const std::string& text = fresh.Messages().back().first;
    const bool namesCause = text == "TARVEK TSJ Değil" || (text.find('\n') != std::string::npos &&
                                                           text.back() != '\n');
    EXPECT_TRUE(namesCause) << "mutation " << m << ": " << text;
  }
  EXPECT_GT(refused, 40);  // the truncations alone are refused
}

// The field software had not committed "UNCOMMITTED": its journal is hot, and SQLite
// rolls it back. A copy without the journal would show the name anyway.
TEST_F(SafetyTest, AHotJournalIsRolledBackAsSqliteWould) {
  JobRow row;
  row.name = "COMMITTED";
  JobFileBuilder::Write(dir / "live.tsj", {row});
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(dir / "live.tsj").c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                    "pragma cache_size=1; begin;"
                                    "update tblSoPoints set Name='UNCOMMITTED';"
                                    "create table filler(x); insert into filler select randomblob(4000) "
                                    "from tblCrdGnssRaw, (select 1 union select 2 union select 3), "
                                    "(select 1 union select 2 union select 3 union select 4);",
                                    nullptr, nullptr, nullptr));
  // Snapshot the pair while the transaction is open and has spilled into the file.
  fs::copy_file(dir / "live.tsj", dir / "hot.tsj");
  fs::copy_file(dir / "live.tsj-journal", dir / "hot.tsj-journal");
  sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  fs::copy_file(dir / "hot.tsj", dir / "alone.tsj");
  ASSERT_NE(std::string::npos, ReadBytes(dir / "alone.tsj").find("UNCOMMITTED")) << "the update did not spill";

  CVelmiraDoc doc(shell, dir / "cache");
  ASSERT_TRUE(doc.AddJobFile(dir / "hot.tsj"));
  ASSERT_EQ(1u, doc.NoktaList().size());
  EXPECT_EQ("COMMITTED", doc.NoktaList()[0].strName);
  EXPECT_TRUE(fs::exists(dir / "hot.tsj-journal"));  // the job file itself is never touched
}

TEST_F(SafetyTest, FifosAndFoldersAreRefusedAtOnceAndLeaveNoCopy) {
#ifdef _WIN32
  GTEST_SKIP() << "not on Windows: no FIFOs, and links need a privilege";
#else
  ASSERT_EQ(0, mkfifo((dir / "pipe.tsj").c_str(), 0600));
  fs::create_directory(dir / "folder.tsj");
  for (const char* name : {"pipe.tsj", "folder.tsj"}) {
    CVelmiraDoc doc(shell, dir / "cache");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.AddJobFile(dir / name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << name;
    ASSERT_FALSE(shell.Messages().empty());
    EXPECT_EQ(0u, shell.Messages().back().first.find("TSJ Dosyası okunamadı: " + (dir / name).string() + "\n"));
    EXPECT_EQ(1, doc.m_nNextFileNumber);
  }
  // A link to a regular job file is a job file.
  JobFileBuilder::Write(dir / "real.tsj", {JobRow{}});
  fs::create_symlink(dir / "real.tsj", dir / "link.tsj");
  CVelmiraDoc doc(shell, dir / "cache");
  EXPECT_TRUE(doc.AddJobFile(dir / "link.tsj"));
#endif
}

TEST_F(SafetyTest, ARefusedFileLeavesNothingInTheWorkingFolder) {
  JobFileBuilder::Write(dir / "good.tsj", {JobRow{}});
  const std::string bytes = ReadBytes(dir / "good.tsj");
  WriteBytes(dir / "cut.tsj", bytes.substr(0, bytes.size() / 2));
  CVelmiraDoc doc(shell, dir / "cache");
  ASSERT_TRUE(doc.AddJobFile(dir / "good.tsj"));
  ASSERT_FALSE(doc.AddJobFile(dir / "cut.tsj"));
  EXPECT_EQ(0u, shell.Messages().back().first.find("TSJ Dosyası bozuk: " + (dir / "cut.tsj").string() + "\n"));
  size_t copies = 0;
  for (const auto& folder : fs::directory_iterator(dir / "cache")) {
    for (const auto& file : fs::directory_iterator(folder)) copies += file.path().filename() != "lock";
  }
  EXPECT_EQ(1u, copies);  // the good file's copy only
  EXPECT_EQ(1u, doc.TsjList().size());
}

// Two documents at once, as two programs: each its own folder, the dead one's removed.
TEST_F(SafetyTest, DocumentsNeverShareCopiesAndDeadFoldersAreRemoved) {
  fs::create_directories(dir / "cache" / "run-dead01");
  std::ofstream(dir / "cache" / "run-dead01" / "lock");
  std::ofstream(dir / "cache" / "run-dead01" / "temp1.tmp") << "old job data";
  std::ofstream(dir / "cache" / "temp4.tmp") << "left by an earlier version";
  JobRow a, b;
  a.name = "FIRST";
  b.name = "SECOND";
  JobFileBuilder::Write(dir / "a.tsj", {a});
  JobFileBuilder::Write(dir / "b.tsj", {b});
  CVelmiraDoc first(shell, dir / "cache");
  CVelmiraDoc second(shell, dir / "cache");
  ASSERT_TRUE(first.AddJobFile(dir / "a.tsj"));
  ASSERT_TRUE(second.AddJobFile(dir / "b.tsj"));
  EXPECT_EQ("FIRST", first.NoktaList()[0].strName);
  EXPECT_EQ("SECOND", second.NoktaList()[0].strName);
  EXPECT_FALSE(fs::exists(dir / "cache" / "run-dead01"));
  EXPECT_FALSE(fs::exists(dir / "cache" / "temp4.tmp"));
  size_t folders = 0;
  for (const auto& entry : fs::directory_iterator(dir / "cache")) folders += entry.is_directory();
  EXPECT_EQ(2u, folders);  // both live ones kept each other's
}

TEST_F(SafetyTest, AMatchingBeyondTheBoundIsRefusedAndKeepsThePreviousPairs) {
  CVelmiraDoc doc(shell, dir / "cache");
  std::vector<CTarvekNokta>& points = CVelmiraDocAccess::NoktaList(doc);
  for (int i = 0; i < 1500; ++i) {
    CTarvekNokta p;
    p.strName = "N" + std::to_string(i);
    p.dY = 500000 + i;
    p.dX = 4400000;
    p.nIndex = 1000 + i;
    points.push_back(p);
  }
  doc.m_dMatchTol = 1.0;
  ASSERT_TRUE(doc.MatchSessions());
  const size_t pairs = doc.EslesenList().size();
  EXPECT_EQ(1499u, pairs);
  doc.m_dMatchTol = 1e308;  // every point with every other: over a million pairs
  shell.ClearMessages();
  EXPECT_FALSE(doc.MatchSessions());
  ASSERT_EQ(1u, shell.Messages().size());
  EXPECT_EQ(MessageIcon::Warning, shell.Messages()[0].second);
  EXPECT_NE(std::string::npos, shell.Messages()[0].first.find("1000000"));
  EXPECT_EQ(pairs, doc.EslesenList().size());
  EXPECT_EQ(1, shell.pairsChanged);
}

}  // namespace
