#include "jobdata/CVelmiraDoc.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "jobdata/SessionMatcher.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSqliteMagic = "SQLite format 3";

enum class HeaderCheck { Sqlite, NotSqlite, Unreadable };

// Only the first 15 bytes decide, as the field software's own check does.
HeaderCheck CheckSqliteHeader(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return HeaderCheck::Unreadable;
  char buffer[15] = {};
  in.read(buffer, sizeof buffer);
  if (in.bad()) return HeaderCheck::Unreadable;
  return std::string_view(buffer, static_cast<size_t>(in.gcount())) == kSqliteMagic
             ? HeaderCheck::Sqlite
             : HeaderCheck::NotSqlite;
}

std::string NativeToCp1254(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return text::Utf8ToCp1254(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string PathForMessage(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
}

// The temporary folder must be ours alone: the copies are opened by SQLite, which
// would follow a planted link or apply a planted -wal file.
bool MakePrivateFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(fs::symlink_status(folder, ec))) return false;
#ifndef _WIN32
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0 || info.st_uid != getuid()) return false;
#endif
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
  return !ec;
}

bool CopyReplacing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::remove(to, ec);
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

}  // namespace

CVelmiraDoc::CVelmiraDoc(CDocShell& shell, fs::path tempFolder)
    : m_shell(shell), m_tempFolder(std::move(tempFolder)) {}

bool CVelmiraDoc::AddTsjFile() {
  const std::optional<fs::path> chosen = m_shell.ChooseJobFile();
  if (!chosen) return false;

  switch (CheckSqliteHeader(*chosen)) {
    case HeaderCheck::Unreadable:
      m_shell.ShowMessage("TSJ Dosyası okunamadı: " + PathForMessage(*chosen), MessageIcon::Warning);
      return false;
    case HeaderCheck::NotSqlite:
      m_shell.ShowMessage("TARVEK TSJ Değil", MessageIcon::Warning);
      return false;
    case HeaderCheck::Sqlite:
      break;
  }

  tsjdosya file;
  file.strPath = NativeToCp1254(fs::absolute(*chosen));
  file.strFileName = NativeToCp1254(chosen->filename());
  file.nFileNumber = m_nNextFileNumber++;

  m_strTempPath = m_tempFolder / ("temp" + text::FormatInt(file.nFileNumber) + ".tmp");
  if (!MakeTemporaryCopy(*chosen)) {
    m_shell.ShowMessage("TSJ Dosyasının geçici kopyası oluşturulamadı: " +
                            PathForMessage(m_strTempPath),
                        MessageIcon::Warning);
    return false;
  }

  if (!DetectMeridian()) return false;
  file.strMeridian = m_strMeridian;
  if (!DetectMethod(file)) return false;
  file.strMethod = m_strMethod;

  m_tsjList.push_back(file);
  ReadPoints(file);
  ProjectPoints(file, text::AtoF(m_strMeridian));
  FormatPointTimes(file);
  m_shell.JobFilesChanged();
  return true;
}

// A -wal sibling holds committed transactions that the main file does not have yet,
// so it travels with the copy; a stale one from an earlier copy of that number must
// not be applied to this one.
bool CVelmiraDoc::MakeTemporaryCopy(const fs::path& source) {
  if (!MakePrivateFolder(m_tempFolder)) return false;
  std::error_code ec;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    fs::remove(fs::path(m_strTempPath).concat(suffix), ec);
  }
  if (!CopyReplacing(source, m_strTempPath)) return false;
  const fs::path wal = fs::path(source).concat("-wal");
  if (fs::exists(wal, ec)) return CopyReplacing(wal, fs::path(m_strTempPath).concat("-wal"));
  return true;
}

void CVelmiraDoc::ShowFilePoints(int nFileNumber) { m_shell.ShowFilePoints(nFileNumber); }

void CVelmiraDoc::RemoveFilePoints(int nFileNumber) {
  std::erase_if(m_noktaList, [&](const CTarvekNokta& p) { return p.nFileNumber == nFileNumber; });
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

void CVelmiraDoc::MatchSessions() {
  if (m_noktaList.empty()) return;
  m_eslesenList = MatchPairs(m_noktaList, m_dMatchTol);
  RemoveMirrorPairs(m_eslesenList);
  m_nGroupCounter = AssignGroupNumbers(m_eslesenList);
  m_shell.PairsChanged();
}

fs::path DefaultTempFolder() {
#ifdef _WIN32
  if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
    return fs::path(local) / "Velmira";
  }
  return fs::temp_directory_path() / "Velmira";
#else
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
    return fs::path(cache) / "velmira";
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return fs::path(home) / ".cache" / "velmira";
  }
  return fs::temp_directory_path() / ("velmira-" + std::to_string(getuid()));
#endif
}
