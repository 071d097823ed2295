#include "platform/WorkFolder.h"

#include <cerrno>
#include <chrono>
#include <random>
#include <regex>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "platform/ProcessLock.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderPrefix = "run-";
constexpr const char* kLockName = "lock";
// A folder without its lock is being made by a process that has not locked it yet;
// only one that stayed so for this long was left by a process that died at that moment.
constexpr auto kUnlockedGrace = std::chrono::minutes(1);

#ifndef _WIN32
std::error_code LastError() { return {errno, std::generic_category()}; }
#endif

// The copies are opened by SQLite, which would follow a planted link or apply a planted
// -wal file, so the folder must be ours alone.
Status MakePrivateRoot(const fs::path& root) {
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) return Status::SystemFailure(ec);
  if (!fs::is_directory(fs::symlink_status(root, ec))) {
    return Status::Failure("Geçici klasör bir klasör değil: " + PathToUtf8(root));
  }
#ifndef _WIN32
  struct stat info {};
  if (::lstat(root.c_str(), &info) != 0) return Status::SystemFailure(LastError());
  if (info.st_uid != ::getuid()) return Status::Failure("Geçici klasör başka bir kullanıcının: " + PathToUtf8(root));
#endif
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::replace, ec);
  if (ec) return Status::SystemFailure(ec);
  return {};
}

bool IsOldEnough(const fs::path& folder) {
  std::error_code ec;
  const auto written = fs::last_write_time(folder, ec);
  return !ec && fs::file_time_type::clock::now() - written > kUnlockedGrace;
}

bool OwnerIsGone(const fs::path& folder) {
  switch (ProcessLock::Probe(folder / kLockName)) {
    case ProcessLock::State::Held:
      return false;
    case ProcessLock::State::Abandoned:
      return true;
    case ProcessLock::State::Missing:
      return IsOldEnough(folder);
  }
  return false;
}

#ifdef _WIN32
Result<fs::path> MakeUniqueFolder(const fs::path& root) {
  std::random_device random;
  for (int attempt = 0; attempt < 64; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%08x", kFolderPrefix, static_cast<unsigned>(random()));
    std::error_code ec;
    const fs::path folder = root / name;
    if (fs::create_directory(folder, ec)) return folder;
    if (ec) return Status::SystemFailure(ec);
  }
  return Status::SystemFailure(std::make_error_code(std::errc::file_exists));
}
#else
Result<fs::path> MakeUniqueFolder(const fs::path& root) {
  std::string pattern = (root / (std::string(kFolderPrefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return Status::SystemFailure(LastError());
  return fs::path(pattern);
}
#endif

bool IsOwnFolderName(const std::string& name) {
  return name.starts_with(kFolderPrefix) && name.size() > std::char_traits<char>::length(kFolderPrefix);
}

// temp3.tmp and its -wal, -shm and -journal, as earlier versions left them in the root.
bool IsLooseCopyName(const std::string& name) {
  static const std::regex kLooseCopy("temp[0-9]+\\.tmp(-wal|-shm|-journal)?");
  return std::regex_match(name, kLooseCopy);
}

}  // namespace

void WorkFolder::RemoveStale(const fs::path& root) {
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(status) && IsOwnFolderName(name)) {
      if (OwnerIsGone(it->path())) fs::remove_all(it->path(), ec);
    } else if (fs::is_regular_file(status) && IsLooseCopyName(name)) {
      fs::remove(it->path(), ec);
    }
    ec.clear();
  }
}

Result<std::unique_ptr<WorkFolder>> WorkFolder::Create(const fs::path& root) {
  if (Status made = MakePrivateRoot(root); !made) return made;
  RemoveStale(root);
  Result<fs::path> folder = MakeUniqueFolder(root);
  if (!folder) return folder.status();
  Result<ProcessLock> lock = ProcessLock::Hold(folder.value() / kLockName);
  if (!lock) {
    std::error_code ec;
    fs::remove_all(folder.value(), ec);
    return lock.status();
  }
  std::unique_ptr<WorkFolder> work(new WorkFolder(folder.value(), std::move(lock.value())));
  work->m_folderCleanupId = RemoveOnInterrupt(work->m_path);
  work->m_lockCleanupId = RemoveOnInterrupt(work->m_path / kLockName);
  return work;
}

WorkFolder::~WorkFolder() {
  UnregisterOnInterrupt(m_lockCleanupId);
  UnregisterOnInterrupt(m_folderCleanupId);
  std::error_code ec;
#ifdef _WIN32
  m_lock.reset();  // an open file cannot be removed there
  fs::remove_all(m_path, ec);
#else
  fs::remove_all(m_path, ec);
  m_lock.reset();
#endif
}
