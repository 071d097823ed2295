#include "jobdata/CVelmiraDoc.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "jobdata/JobSchema.h"
#include "jobdata/SessionMatcher.h"
#include "jobdata/Sqlite.h"
#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "platform/WorkFolder.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

namespace {

// A relative path when the current folder has gone: the file was opened all the same.
fs::path AbsoluteOrAsGiven(const fs::path& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute;
}

constexpr std::string_view kSqliteMagic = "SQLite format 3";
constexpr const char* kUnreadable = "TSJ Dosyası okunamadı: ";
constexpr const char* kDamaged = "TSJ Dosyası bozuk: ";
constexpr const char* kCopyFailed = "TSJ Dosyasının geçici kopyası oluşturulamadı: ";
constexpr const char* kOpenFailed1 = "TSJ Dosyası açılamadı:(1) ";
constexpr const char* kUnfinished = "TSJ Dosyası okunamadı: sorgu bitmedi";
constexpr const char* kTablesMissing = "TSJ Dosyası beklenen tabloları içermiyor: ";
// The siblings SQLite keeps beside a database: committed WAL frames, a hot journal's
// undo pages. They travel with the copy so it reads as the field software would.
constexpr const char* kCopiedSiblings[] = {"-wal", "-journal"};
constexpr const char* kCopySuffixes[] = {"", "-wal", "-shm", "-journal"};

std::string NativeToCp1254(const fs::path& path) { return text::Utf8ToCp1254(PathToUtf8(path)); }

fs::path WithSuffix(const fs::path& path, const char* suffix) { return fs::path(path).concat(suffix); }

// A missing sibling, or one that is no regular file (so not SQLite's), is no error.
Status CopySibling(const fs::path& source, const fs::path& copy) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::status(source, ec))) return {};
  Result<RegularFile> sibling = RegularFile::Open(source);
  if (!sibling) return sibling.status();
  return sibling->CopyTo(copy);
}

}  // namespace

// Job data that a crashed or killed run left behind goes at the next start, not only once
// a job file is added.
CVelmiraDoc::CVelmiraDoc(CDocShell& shell, fs::path cacheFolder)
    : m_shell(shell), m_cacheFolder(std::move(cacheFolder)) {
  WorkFolder::RemoveStale(m_cacheFolder);
}

CVelmiraDoc::~CVelmiraDoc() {
  for (Copy& copy : m_copies) {
    for (int id : copy.cleanupIds) UnregisterOnInterrupt(id);
  }
}

bool CVelmiraDoc::AddTsjFile() {
  const std::optional<fs::path> chosen = m_shell.ChooseJobFile();
  return chosen && AddJobFile(*chosen);
}

bool CVelmiraDoc::AddJobFile(const fs::path& path, const ReadProgress& progress) {
  ReadBudget budget(progress);
  m_budget = &budget;
  struct Ended {
    ReadBudget*& budget;
    ~Ended() { budget = nullptr; }
  } ended{m_budget};

  Result<RegularFile> job = RegularFile::Open(path);
  if (!job) {
    m_shell.ShowMessage(kUnreadable + PathToUtf8(path) + "\n" + job.status().cause(), MessageIcon::Warning);
    return false;
  }
  // Only the first 15 bytes decide, as the field software's own check does.
  if (job->ReadPrefix(kSqliteMagic.size()) != kSqliteMagic) {
    m_shell.ShowMessage("TARVEK TSJ Değil", MessageIcon::Warning);
    return false;
  }

  tsjdosya file;
  file.strPath = NativeToCp1254(AbsoluteOrAsGiven(path));
  file.strFileName = NativeToCp1254(path.filename());
  file.nFileNumber = m_nNextFileNumber++;

  Copy copy;
  if (!MakeTemporaryCopy(job.value(), path, copy, file)) return false;
  if (!Settle(copy.path, file) || !ReadPoints(copy.path, file)) {
    RemoveCopy(copy);
    return false;
  }
  m_tsjList.push_back(file);
  m_copies.push_back(std::move(copy));
  m_jobPaths.emplace_back(file.nFileNumber, AbsoluteOrAsGiven(path));
  ProjectPoints(file, text::AtoF(m_strMeridian));
  FormatPointTimes(file);
  m_shell.JobFilesChanged();
  if (progress) progress(1.0);
  return true;
}

bool CVelmiraDoc::MakeTemporaryCopy(RegularFile& job, const fs::path& source, Copy& copy, const tsjdosya& file) {
  if (!m_workFolder) {
    Result<std::unique_ptr<WorkFolder>> made = WorkFolder::Create(m_cacheFolder);
    if (!made) {
      m_shell.ShowMessage(kCopyFailed + PathToUtf8(m_cacheFolder) + "\n" + made.status().cause(),
                          MessageIcon::Warning);
      return false;
    }
    m_workFolder = std::move(made.value());
  }
  copy.path = m_workFolder->path() / ("temp" + text::FormatInt(file.nFileNumber) + ".tmp");
  for (const char* suffix : kCopySuffixes) copy.cleanupIds.push_back(RemoveOnInterrupt(WithSuffix(copy.path, suffix)));
  Status copied = job.CopyTo(copy.path);
  for (const char* suffix : kCopiedSiblings) {
    if (copied) copied = CopySibling(WithSuffix(source, suffix), WithSuffix(copy.path, suffix));
  }
  if (!copied) {
    m_shell.ShowMessage(kCopyFailed + PathToUtf8(copy.path) + "\n" + copied.cause(), MessageIcon::Warning);
    RemoveCopy(copy);
  }
  return copied.ok();
}

// The copy must be sound before its zone and method are asked for.
bool CVelmiraDoc::Settle(const fs::path& copy, tsjdosya& file) {
  if (!CheckCopy(copy, file) || !DetectMeridian(copy, file)) return false;
  file.strMeridian = m_strMeridian;
  if (!DetectMethod(copy, file)) return false;
  file.strMethod = m_strMethod;
  return true;
}

void CVelmiraDoc::RemoveCopy(Copy& copy) {
  std::error_code ec;
  for (const char* suffix : kCopySuffixes) fs::remove(WithSuffix(copy.path, suffix), ec);
  for (int id : copy.cleanupIds) UnregisterOnInterrupt(id);
  copy.cleanupIds.clear();
}

// SQLite's own check of every page, index entry and the schema, then the tables the
// reader needs, so that a damaged file is refused before anything is read from it
// rather than read in part. The page count sizes the work the whole add may do.
bool CVelmiraDoc::CheckCopy(const fs::path& copy, const tsjdosya& file) {
  SqliteDb db(copy, m_budget);
  if (!db.ok()) {
    m_shell.ShowMessage(kOpenFailed1 + db.error(), MessageIcon::Warning);
    return false;
  }
  SqliteStatement pages(db, "pragma page_count");
  if (pages.Step() && m_budget) m_budget->SizeFor(text::AtoI64(pages.Text(0)));
  if (pages.failed()) {
    ReportReadFailure(file, pages.failure());
    return false;
  }
  SqliteStatement check(db, "pragma integrity_check(1)");
  if (check.Step() && check.Text(0) != "ok") {
    m_shell.ShowMessage(kDamaged + text::Cp1254ToUtf8(file.strPath) + "\n" + std::string(check.Text(0)),
                        MessageIcon::Warning);
    return false;
  }
  if (check.failed()) {
    ReportReadFailure(file, check.failure());
    return false;
  }
  return CheckSchema(db, file);
}

bool CVelmiraDoc::CheckSchema(const SqliteDb& db, const tsjdosya& file) {
  SqliteFailure failure;
  const std::optional<JobSchema> schema = JobSchema::Read(db, failure);
  if (!schema) {
    ReportReadFailure(file, failure);
    return false;
  }
  if (!schema->Missing().empty()) {
    std::string missing;
    for (const std::string& item : schema->Missing()) missing += (missing.empty() ? "" : ", ") + item;
    m_shell.ShowMessage(kTablesMissing + text::Cp1254ToUtf8(file.strPath) + "\n" + missing, MessageIcon::Warning);
    return false;
  }
  m_hasPointTables = schema->HasPointTables();
  m_hasOptionsTable = schema->HasOptionsTable();
  return true;
}

// A cancelled add says nothing: the user asked for it.
void CVelmiraDoc::ReportReadFailure(const tsjdosya& file, const SqliteFailure& failure) {
  const std::string path = text::Cp1254ToUtf8(file.strPath);
  if (failure.interrupted && m_budget && m_budget->cancelled()) return;
  if (failure.interrupted && m_budget && m_budget->exhausted()) {
    m_shell.ShowMessage(kUnfinished + ("\n" + path), MessageIcon::Warning);
    return;
  }
  m_shell.ShowMessage((failure.damaged ? kDamaged : kUnreadable) + path + "\n" + failure.error, MessageIcon::Warning);
}

bool CVelmiraDoc::IsJobFileOrCopy(const fs::path& path) const {
  for (const auto& [number, job] : m_jobPaths) {
    if (IsSameFile(path, job)) return true;
    for (const char* suffix : kCopiedSiblings) {
      if (IsSameFile(path, WithSuffix(job, suffix))) return true;
    }
  }
  std::error_code ec;
  return m_workFolder && IsSameFile(fs::absolute(path, ec).parent_path(), m_workFolder->path());
}

fs::path CVelmiraDoc::JobPath(int nFileNumber) const {
  for (const auto& [number, job] : m_jobPaths) {
    if (number == nFileNumber) return job;
  }
  return {};
}

void CVelmiraDoc::ShowFilePoints(int nFileNumber) { m_shell.ShowFilePoints(nFileNumber); }

void CVelmiraDoc::RemoveFilePoints(int nFileNumber) {
  std::erase_if(m_noktaList, [&](const CTarvekNokta& p) { return p.nFileNumber == nFileNumber; });
  std::erase_if(m_refusedList, [&](const CRefusedPoint& p) { return p.nFileNumber == nFileNumber; });
}

void CVelmiraDoc::RemoveTsjFile(int nFileNumber) {
  std::erase_if(m_tsjList, [&](const tsjdosya& f) { return f.nFileNumber == nFileNumber; });
  m_shell.ClearPointTables();
}

CMatchCriteria CVelmiraDoc::Criteria() const {
  return {m_dMaxDiffY, m_dMaxDiffX, m_dMaxDiffH, m_dMinDiffHours, m_dMatchTol};
}

void CVelmiraDoc::SetCriteria(const CMatchCriteria& criteria) {
  m_dMaxDiffY = criteria.dMaxDiffY;
  m_dMaxDiffX = criteria.dMaxDiffX;
  m_dMaxDiffH = criteria.dMaxDiffH;
  m_dMinDiffHours = criteria.dMinDiffHours;
  m_dMatchTol = criteria.dMatchTol;
}

void CVelmiraDoc::EditSettings() {
  CMatchCriteria criteria = Criteria();
  if (m_shell.AskSettings(criteria)) SetCriteria(criteria);
}

bool CVelmiraDoc::MatchSessions() {
  if (m_noktaList.empty()) return true;
  const std::size_t candidates = CountPairs(m_noktaList, m_dMatchTol, 2 * kMaxPairs);
  if (candidates > 2 * kMaxPairs) {
    m_shell.ShowMessage("Eşleştirme yapılmadı: bu eşleştirme toleransı ile " +
                            text::FormatInt(static_cast<std::int64_t>(kMaxPairs)) +
                            " çiftten fazlası oluşuyor.\nEşleştirme toleransını küçültün.",
                        MessageIcon::Warning);
    return false;
  }
  m_eslesenList = MatchPairs(m_noktaList, m_dMatchTol);
  RemoveMirrorPairs(m_eslesenList);
  m_nGroupCounter = AssignGroupNumbers(m_eslesenList);
  m_shell.PairsChanged();
  return true;
}

fs::path DefaultTempFolder() { return UserCacheFolder(); }
