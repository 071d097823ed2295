#pragma once
// The tables and columns of a job database that the reader needs, checked before
// anything is read from it: a file that lacks one, or whose keys are no longer the
// row numbers they were written as (one changed letter in its schema text does that),
// would otherwise read as a job with fewer points, or none, and no error.
//
// tblCrdGnssRaw, tblStations, tblSoPoints, tblCrdRawMeas and tblCrdBaseSt come as a
// set: a database without tblCrdGnssRaw holds no GNSS solutions and lists no points,
// but with it every one of the others is needed. tblJobPrimOpts may be absent (the
// zone and method are then asked for); present, it needs FieldId and binaryValue.
#include <optional>
#include <string>
#include <vector>

#include "jobdata/Sqlite.h"

class JobSchema {
 public:
  // Reads the schema through db. Nothing, with the statement's cause in failure, when
  // SQLite cannot answer (a damaged schema, an interrupted reading).
  static std::optional<JobSchema> Read(const SqliteDb& db, SqliteFailure& failure);

  bool HasPointTables() const { return m_hasPointTables; }
  bool HasOptionsTable() const { return m_hasOptionsTable; }
  // What the reader needs and the file lacks, one UTF-8 item each ("tblStations tablosu
  // yok", "tblSoPoints.C3 sütunu yok", ...); empty when nothing is missing.
  const std::vector<std::string>& Missing() const { return m_missing; }

 private:
  bool m_hasPointTables = false;
  bool m_hasOptionsTable = false;
  std::vector<std::string> m_missing;
};
