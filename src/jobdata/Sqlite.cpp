#include "jobdata/Sqlite.h"

#include <cstring>

SqliteDb::SqliteDb(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(utf8.c_str()), &m_db,
                                 SQLITE_OPEN_READWRITE, nullptr);
  m_ok = rc == SQLITE_OK;
  if (!m_ok) m_error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
}

SqliteDb::~SqliteDb() { sqlite3_close(m_db); }

SqliteStatement::SqliteStatement(const SqliteDb& db, std::string_view sql) {
  if (!db.ok()) return;
  if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_stmt); }

bool SqliteStatement::Step() { return m_stmt && sqlite3_step(m_stmt) == SQLITE_ROW; }

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
