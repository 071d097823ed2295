#include "jobdata/Sqlite.h"

#include <algorithm>
#include <cstring>

namespace {

// Failures that say nothing about the file's contents: the machine could not read it.
bool IsReadFailure(int code) {
  switch (code & 0xff) {
    case SQLITE_NOMEM:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_INTERRUPT:
      return true;
    default:
      return false;
  }
}

int SpendFromBudget(void* budget) { return static_cast<ReadBudget*>(budget)->Spend() ? 0 : 1; }

}  // namespace

void ReadBudget::SizeFor(std::int64_t pages) {
  pages = std::clamp<std::int64_t>(pages, 0, std::int64_t{1} << 31);  // SQLite's own page limit
  m_expected = std::max<std::int64_t>(1, pages * kExpectedStepsPerPage);
  m_limit = std::max(kFloorSteps, m_expected * kMargin);
}

bool ReadBudget::Spend() {
  m_used += kStepsPerCall;
  if (m_used > m_limit) {
    m_exhausted = true;
    return false;
  }
  if (m_progress && !m_progress(std::min(0.99, static_cast<double>(m_used) / static_cast<double>(m_expected)))) {
    m_cancelled = true;
    return false;
  }
  return true;
}

SqliteDb::SqliteDb(const std::filesystem::path& path, ReadBudget* budget) {
  const std::u8string utf8 = path.u8string();
  const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(utf8.c_str()), &m_db,
                                 SQLITE_OPEN_READWRITE, nullptr);
  m_ok = rc == SQLITE_OK;
  if (!m_ok) m_error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
  if (m_ok && budget) sqlite3_progress_handler(m_db, ReadBudget::kStepsPerCall, SpendFromBudget, budget);
}

SqliteDb::~SqliteDb() { sqlite3_close(m_db); }

SqliteStatement::SqliteStatement(const SqliteDb& db, std::string_view sql) : m_db(db.handle()) {
  if (!db.ok()) return;
  const int rc = sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
  if (rc == SQLITE_OK) return;
  sqlite3_finalize(m_stmt);
  m_stmt = nullptr;
  Fail(rc);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_stmt); }

void SqliteStatement::Fail(int code) {
  m_failed = true;
  m_failure.damaged = !IsReadFailure(code);
  m_failure.interrupted = (code & 0xff) == SQLITE_INTERRUPT;
  m_failure.error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
  if (m_failure.error.empty() || m_failure.error == "not an error") m_failure.error = sqlite3_errstr(code);
}

bool SqliteStatement::Step() {
  if (!m_stmt || m_failed) return false;
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) Fail(rc);
  return false;
}

std::string_view SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
  return text ? std::string_view(text, std::strlen(text)) : std::string_view();
}

std::string_view SqliteStatement::Blob(int column) const {
  const void* blob = sqlite3_column_blob(m_stmt, column);
  const int size = sqlite3_column_bytes(m_stmt, column);
  return blob ? std::string_view(static_cast<const char*>(blob), static_cast<size_t>(size))
              : std::string_view();
}
