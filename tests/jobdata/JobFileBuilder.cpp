#include "JobFileBuilder.h"

#include "support/Portable.h"

#include <gtest/gtest.h>

namespace {

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error)) << error << "\n" << sql;
}

void InsertOption(sqlite3* db, int field, const std::string& bytes) {
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "insert into tblJobPrimOpts(FieldId,binaryValue) values(?,?)",
                                          -1, &st, nullptr));
  sqlite3_bind_int(st, 1, field);
  sqlite3_bind_blob(st, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  ASSERT_EQ(SQLITE_DONE, sqlite3_step(st));
  sqlite3_finalize(st);
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string Num(const JobRow& row, const std::string& value) { return row.nulls ? "NULL" : Quote(value); }

}  // namespace

void JobFileBuilder::Write(const std::filesystem::path& path, const std::vector<JobRow>& rows,
                           const JobOptions& options, bool keepWalOpen) {
  namespace fs = std::filesystem;
  const fs::path target = keepWalOpen ? fs::path(path).concat(".src") : path;
  for (const fs::path& p : {path, fs::path(path).concat("-wal"), target, fs::path(target).concat("-wal")}) {
    fs::remove(p);
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(target).c_str(), &db));
  if (keepWalOpen) Exec(db, "pragma journal_mode=wal; pragma wal_autocheckpoint=0;");
  Exec(db,
       "create table tblCrdGnssRaw(keyCrdGnssRaw integer primary key, xx, yy, zz, SolutionType, "
       "ObsDuration, NumOfEpochs, HDop, VDop, NumOfGpsSats, NumOfGlonassSats, fkeyRoverStation, "
       "fkeyCrdRawMeas, fKeyBaseStation);"
       "create table tblStations(keyStation integer primary key, fkeySoPoint, DeletedFlag);"
       "create table tblSoPoints(keySoPoint integer primary key, Name, C1, C2, C3);"
       "create table tblCrdRawMeas(keyCrdRawMeas integer primary key, SecondsFrom1970);"
       "create table tblCrdBaseSt(keyCrdBaseSt integer primary key, Name);");
  if (options.withOptionsTable) {
    Exec(db, "create table tblJobPrimOpts(FieldId integer, binaryValue blob);");
    if (options.zone) InsertOption(db, 2, *options.zone);
    if (options.rtk) InsertOption(db, 118, *options.rtk);
    if (options.mountpoint) InsertOption(db, 851, *options.mountpoint);
  }
  Exec(db, "begin");
  for (size_t i = 0; i < rows.size(); ++i) {
    const JobRow& r = rows[i];
    const std::string k = std::to_string(i + 1);
    Exec(db, "insert into tblSoPoints values(" + k + "," + Quote(r.name) + "," + Num(r, r.lat) + "," +
                 Num(r, r.lon) + "," + Num(r, r.height) + ")");
    Exec(db, "insert into tblStations values(" + k + "," + k + "," + std::to_string(r.deleted) + ")");
    Exec(db, "insert into tblCrdRawMeas values(" + k + "," + Num(r, r.seconds) + ")");
    Exec(db, "insert into tblCrdBaseSt values(" + k + "," + Quote(r.base) + ")");
    Exec(db, "insert into tblCrdGnssRaw values(" + k + "," + Num(r, r.xx) + "," + Num(r, r.yy) + "," +
                 Num(r, r.zz) + "," + Quote(r.solution) + "," + Num(r, r.durationMs) + "," +
                 Num(r, r.epochs) + "," + Num(r, r.hdop) + "," + Num(r, r.vdop) + "," +
                 Num(r, r.gps) + "," + Num(r, r.glonass) + "," + k + "," + k + "," + k + ")");
  }
  Exec(db, "commit");
  if (options.coveringIndex) {
    Exec(db,
         "alter table tblCrdGnssRaw add column Extra; update tblCrdGnssRaw set Extra=zeroblob(300);"
         "create index ixGnssCover on tblCrdGnssRaw(fkeyRoverStation, fkeyCrdRawMeas, fKeyBaseStation, "
         "SolutionType, xx, yy, zz, ObsDuration, NumOfEpochs, HDop, VDop, NumOfGpsSats, NumOfGlonassSats);");
  }
  if (keepWalOpen) {
    // Snapshot the database while its connection is open, so that the committed rows
    // are still only in the -wal file, as when the field software is still running.
    fs::copy_file(target, path);
    fs::copy_file(fs::path(target).concat("-wal"), fs::path(path).concat("-wal"));
  }
  sqlite3_close(db);
  if (keepWalOpen) fs::remove(target);
}
