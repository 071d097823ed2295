// A bounded fuzz of one generated job: flipped bits in the header, in page 1 and in index
// pages, a changed letter in a table's schema text, a changed character in a number's
// text. Each mutant is either refused with its cause, or read exactly as SQLite itself
// reads it once its integrity check passes; and a ready verdict always has every point.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <random>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "session/JobSession.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPoints = 64;

// What SQLite makes of the file, asked directly: whether its integrity check passes, and
// the names of the fixed points the reader's joins give (nothing: the query failed).
struct Raw {
  bool sound = false;
  bool noGnssTable = false;
  std::optional<std::vector<std::string>> fixed;
};

Raw ReadRaw(const fs::path& job) {
  Raw raw;
  sqlite3* db = nullptr;
  sqlite3_open_v2(support::Utf8(job).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  raw.sound = sqlite3_prepare_v2(db, "pragma integrity_check", -1, &st, nullptr) == SQLITE_OK &&
              sqlite3_step(st) == SQLITE_ROW &&
              std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
  sqlite3_finalize(st);
  st = nullptr;
  const char* query =
      "select tSo.Name, a.SolutionType from tblCrdGnssRaw a "
      "inner join tblStations b on (a.fkeyRoverStation=b.keyStation) and b.DeletedFlag=0 "
      "inner join tblSoPoints tSo on (tSo.keySoPoint=b.fkeySoPoint) and tSo.Name not like '!000%' "
      "inner join tblCrdRawMeas c on (c.keyCrdRawMeas=a.fkeyCrdRawMeas) "
      "inner join tblCrdBaseSt d on (a.fKeyBaseStation=d.keyCrdBaseSt)";
  if (raw.sound && sqlite3_prepare_v2(db, query, -1, &st, nullptr) == SQLITE_OK) {
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
      if (type && std::atoi(type) == 4) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    if (rc == SQLITE_DONE) raw.fixed = std::move(names);
  }
  raw.noGnssTable = std::string(sqlite3_errmsg(db)).find("no such table: tblCrdGnssRaw") != std::string::npos;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return raw;
}

// Offsets of the bytes each kind of mutation may touch.
struct Targets {
  std::vector<size_t> page1, indexPages, schemaLetters, numberDigits;
};

Targets FindTargets(const std::string& bytes) {
  Targets t;
  const size_t pageSize = (static_cast<unsigned char>(bytes[16]) << 8) | static_cast<unsigned char>(bytes[17]);
  for (size_t at = 100; at < pageSize; ++at) t.page1.push_back(at);
  for (size_t page = pageSize; page + pageSize <= bytes.size(); page += pageSize) {
    const char type = bytes[page];
    for (size_t at = page; at < page + pageSize; ++at) {
      if (type == 0x0a || type == 0x02) t.indexPages.push_back(at);
      if (type == 0x0d && bytes[at] >= '0' && bytes[at] <= '9') t.numberDigits.push_back(at);
    }
  }
  for (size_t at = bytes.find("CREATE TABLE"); at < pageSize; at = bytes.find("CREATE TABLE", at + 1)) {
    for (size_t i = at; i < pageSize && bytes[i] != ')'; ++i) {
      if (std::isalpha(static_cast<unsigned char>(bytes[i]))) t.schemaLetters.push_back(i);
    }
  }
  return t;
}

std::vector<std::string> Mutants(const std::string& sound, std::mt19937& random) {
  const Targets t = FindTargets(sound);
  auto pick = [&](const std::vector<size_t>& from) { return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)]; };
  auto flip = [&](size_t at) {
    std::string m = sound;
    m[at] = static_cast<char>(m[at] ^ (1 << std::uniform_int_distribution<int>(0, 7)(random)));
    return m;
  };
  auto replace = [&](size_t at, const char* alphabet) {
    std::string m = sound;
    const size_t n = std::strlen(alphabet);
    m[at] = alphabet[std::uniform_int_distribution<size_t>(0, n - 1)(random)];
    return m;
  };
  std::vector<std::string> mutants;
  for (int i = 0; i < 60; ++i) {
    mutants.push_back(flip(std::uniform_int_distribution<size_t>(0, 99)(random)));
    mutants.push_back(flip(pick(t.page1)));
    mutants.push_back(flip(pick(t.indexPages)));
    mutants.push_back(replace(pick(t.schemaLetters), "abcdefghijklmnopqrstuvwxyzKPRY"));
    mutants.push_back(replace(pick(t.numberDigits), "0123456789.-+eEnaif ,"));
  }
  return mutants;
}

TEST(JobFileFuzz, EveryMutantIsRefusedWithItsCauseOrReadWholeAndNeverReadyWithFewerPoints) {
  TestDir dir;
  std::vector<JobRow> rows(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    rows[static_cast<size_t>(i)].name = "N" + std::to_string(i);
    rows[static_cast<size_t>(i)].lat = "39." + std::to_string(100000 + i * 3700);
  }
  JobOptions options;
  options.coveringIndex = true;
  const fs::path job = dir / "job.tsj";
  JobFileBuilder::Write(job, rows, options);
  const std::string sound = ReadBytes(job);
  {
    ScriptedShell shell;
    JobSession session(shell, dir / "cache", *BuiltInProfile(kClassicProfileId));
    ASSERT_TRUE(session.AddJobFile(job));
    ASSERT_EQ(static_cast<size_t>(kPoints), session.Document().NoktaList().size());
    ASSERT_TRUE(session.GetVerdict().Ready());  // so that a mutant's ready verdict means something
  }
  std::mt19937 random(20260417);
  const std::vector<std::string> mutants = Mutants(sound, random);
  int refused = 0, read = 0;
  for (size_t m = 0; m < mutants.size(); ++m) {
    std::ofstream(job, std::ios::binary | std::ios::trunc) << mutants[m];
    const Raw raw = ReadRaw(job);
    ScriptedShell shell;
    shell.AllowWarnings();  // a mutant is judged by what it reads
    shell.meridianAnswer = "33";
    shell.methodAnswer = "RTK";
    JobSession session(shell, dir / "cache", *BuiltInProfile(kClassicProfileId));
    if (!session.AddJobFile(job)) {
      ++refused;
      ASSERT_FALSE(shell.Messages().empty()) << "mutant " << m << " refused without a word";
      const std::string& text = shell.Messages().back().first;
      EXPECT_TRUE(text == "TARVEK TSJ Değil" || (text.find('\n') != std::string::npos && text.back() != '\n'))
          << "mutant " << m << ": " << text;
      continue;
    }
    ++read;
    const CVelmiraDoc& doc = session.Document();
    ASSERT_TRUE(raw.sound) << "mutant " << m << " read although SQLite's integrity check fails";
    std::vector<std::string> ours;
    for (const CTarvekNokta& p : doc.NoktaList()) ours.push_back(p.strName);
    for (const CRefusedPoint& p : doc.RefusedList()) ours.push_back(p.strName);
    std::sort(ours.begin(), ours.end());
    std::vector<std::string> theirs = raw.fixed.value_or(std::vector<std::string>{});
    std::sort(theirs.begin(), theirs.end());
    EXPECT_TRUE(raw.fixed || raw.noGnssTable) << "mutant " << m << " read although SQLite cannot run the query";
    EXPECT_EQ(theirs, ours) << "mutant " << m;
    if (session.GetVerdict().Ready()) {
      EXPECT_EQ(static_cast<size_t>(kPoints), doc.NoktaList().size()) << "mutant " << m << " ready with fewer points";
    }
  }
  EXPECT_GT(refused, 30);
  EXPECT_GT(read, 30);
}

}  // namespace
