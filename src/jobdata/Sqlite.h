#pragma once
// Owning wrappers for one SQLite connection and one statement, so that every return
// path finalizes and closes; and the budget of work that bounds the reading of one job
// file, so that no file (an endless recursive view, say) can keep a command running.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class SqliteStatement;

// The virtual machine steps that every statement of one add may take together, sized
// from the database's page count. A sound job needs about kExpectedStepsPerPage a page,
// the integrity check and the reading together (bench_jobdata: 2,040 at 100,000 and at
// 200,000 points); the limit is twenty times that, and never less than the floor, which
// a small file's endless query spends in about a second.
class ReadBudget {
 public:
  static constexpr int kStepsPerCall = 10'000;  // SQLite asks this often
  static constexpr std::int64_t kExpectedStepsPerPage = 2'100;
  static constexpr std::int64_t kMargin = 20;
  static constexpr std::int64_t kFloorSteps = 20'000'000;

  // Told the fraction of the expected work done (0 to 1); returning false cancels.
  using Progress = std::function<bool(double fraction)>;

  explicit ReadBudget(Progress progress = {}) : m_progress(std::move(progress)) {}

  // Sizes the limit for a database of this many pages (a negative count counts as none).
  void SizeFor(std::int64_t pages);
  // Counts kStepsPerCall more steps and reports progress; false stops the statement.
  bool Spend();

  bool exhausted() const { return m_exhausted; }
  bool cancelled() const { return m_cancelled; }
  std::int64_t used() const { return m_used; }
  std::int64_t limit() const { return m_limit; }

 private:
  Progress m_progress;
  std::int64_t m_used = 0;
  std::int64_t m_limit = kFloorSteps;
  std::int64_t m_expected = kFloorSteps;
  bool m_exhausted = false;
  bool m_cancelled = false;
};

class SqliteDb {
 public:
  // Opens an existing database for reading and writing (a -wal beside it may need
  // recovery, a hot -journal a rollback); never creates one. On failure ok() is false
  // and error() has SQLite's text. Every statement on it spends from budget, if given.
  explicit SqliteDb(const std::filesystem::path& path, ReadBudget* budget = nullptr);
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

// Why a statement failed: the file is damaged, the machine could not read it, or the
// budget stopped it.
struct SqliteFailure {
  bool damaged = false;
  bool interrupted = false;
  std::string error;  // SQLite's text
};

class SqliteStatement {
 public:
  // Every failure to prepare counts: the reader prepares only statements whose tables
  // and columns the schema check found, so a failure says the file is not what it seemed.
  SqliteStatement(const SqliteDb& db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // True while a row is there. False at the end of the rows and on an error; failed()
  // tells the two apart.
  bool Step();
  bool failed() const { return m_failed; }
  const SqliteFailure& failure() const { return m_failure; }

  // The column's text up to its first zero byte; the empty text for NULL.
  std::string_view Text(int column) const;
  // The column's bytes as a blob; empty for NULL.
  std::string_view Blob(int column) const;

 private:
  void Fail(int code);

  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_stmt = nullptr;
  bool m_failed = false;
  SqliteFailure m_failure;
};
