#pragma once
// Owning wrappers for one SQLite connection and one statement, so that every return
// path finalizes and closes.
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <string_view>

class SqliteStatement;

class SqliteDb {
 public:
  // Opens an existing database for reading and writing (a -wal beside it may need
  // recovery); never creates one. On failure ok() is false and error() has SQLite's text.
  explicit SqliteDb(const std::filesystem::path& path);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  bool ok() const { return m_ok; }
  const std::string& error() const { return m_error; }
  sqlite3* handle() const { return m_db; }

 private:
  sqlite3* m_db = nullptr;
  bool m_ok = false;
  std::string m_error;
};

class SqliteStatement {
 public:
  // A statement that cannot be prepared behaves as one without rows.
  SqliteStatement(const SqliteDb& db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool Step();  // true while a row is there
  // The column's text up to its first zero byte; the empty text for NULL.
  std::string_view Text(int column) const;
  // The column's bytes as a blob; empty for NULL.
  std::string_view Blob(int column) const;

 private:
  sqlite3_stmt* m_stmt = nullptr;
};
