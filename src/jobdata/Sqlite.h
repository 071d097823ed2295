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
  // recovery, a hot -journal a rollback); never creates one. On failure ok() is false
  // and error() has SQLite's text.
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
  // A statement that names a table or column the database lacks behaves as one without
  // rows. Any other failure to prepare (a damaged database, say) makes failed() true.
  SqliteStatement(const SqliteDb& db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // True while a row is there. False at the end of the rows and on an error; failed()
  // tells the two apart.
  bool Step();
  bool failed() const { return m_failed; }
  // SQLite's text for the failure.
  const std::string& error() const { return m_error; }
  // True when the failure means the database itself is damaged, not unreadable.
  bool damaged() const { return m_damaged; }

  // The column's text up to its first zero byte; the empty text for NULL.
  std::string_view Text(int column) const;
  // The column's bytes as a blob; empty for NULL.
  std::string_view Blob(int column) const;

 private:
  void Fail(int code);

  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_stmt = nullptr;
  bool m_failed = false;
  bool m_damaged = false;
  std::string m_error;
};
