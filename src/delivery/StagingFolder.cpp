#include "delivery/StagingFolder.h"

#include <chrono>
#include <random>
#include <regex>

#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarker = ".yaziliyor-";
constexpr const char* kInsideName = ".teslim";
// A hidden folder without a lock was left by a version that had none, or is being made
// by a process that has not locked it yet: only one this old is taken for abandoned.
constexpr auto kUnlockedGrace = std::chrono::minutes(1);

fs::path LockOf(const fs::path& staging) {
  fs::path lock = staging;
  lock += ".lock";
  return lock;
}

bool IsStagingName(const std::string& name) {
  static const std::regex kName("\\..+\\.yaziliyor-[0-9]+");
  return std::regex_match(name, kName);
}

bool IsOld(const fs::path& path) {
  std::error_code ec;
  const auto written = fs::last_write_time(path, ec);
  return !ec && fs::file_time_type::clock::now() - written > kUnlockedGrace;
}

bool IsAbandoned(const fs::path& staging) {
  switch (ProcessLock::Probe(LockOf(staging))) {
    case ProcessLock::State::Held:
      return false;
    case ProcessLock::State::Abandoned:
      return true;
    case ProcessLock::State::Missing:
      return IsOld(staging);
  }
  return false;
}

}  // namespace

void StagingFolder::RemoveAbandoned(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> abandoned;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    std::error_code statusError;
    if (!fs::is_directory(it->symlink_status(statusError)) || !IsStagingName(PathToUtf8(path.filename()))) continue;
    if (IsAbandoned(path)) abandoned.push_back(path);
  }
  for (const fs::path& path : abandoned) {
    fs::remove_all(path, ec);
    fs::remove(LockOf(path), ec);
  }
}

Status StagingFolder::Create(const fs::path& target) {
  std::error_code ec;
  m_bInside = fs::is_directory(target, ec);
  const fs::path base = m_bInside ? target / kInsideName : target.parent_path() / ("." + PathToUtf8(target.filename()));
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base;
    candidate += std::string(kMarker) + text::FormatInt(random() % 1000000);
    const int lockId = RemoveOnInterrupt(LockOf(candidate));
    Result<ProcessLock> lock = ProcessLock::Hold(LockOf(candidate));
    if (!lock) {
      UnregisterOnInterrupt(lockId);
      if (lock.status().code() == std::errc::file_exists) continue;
      return lock.status();
    }
    const int folderId = RemoveOnInterrupt(candidate);
    if (fs::create_directory(candidate, ec)) {
      m_path = candidate;
      m_lock.emplace(std::move(lock.value()));
      m_cleanupIds.insert(m_cleanupIds.end(), {lockId, folderId});
      return {};
    }
    UnregisterOnInterrupt(folderId);
    UnregisterOnInterrupt(lockId);
    if (ec) return Status::SystemFailure(ec);
  }
  return Status::SystemFailure(std::make_error_code(std::errc::file_exists));
}

fs::path StagingFolder::File(const std::string& utf8Name) {
  const fs::path path = m_path / PathFromUtf8(utf8Name);
  m_cleanupIds.push_back(RemoveOnInterrupt(path));
  m_names.push_back(utf8Name);
  return path;
}

Status StagingFolder::MoveInto(const fs::path& target) {
  Status moved = m_bInside ? MoveFilesInto(target) : MoveNoReplace(m_path, target);
  if (!moved) return moved;
  std::error_code ec;
  fs::remove_all(m_path, ec);  // empty, when the files moved out of it
  m_path.clear();
  for (auto it = m_cleanupIds.rbegin(); it != m_cleanupIds.rend(); ++it) UnregisterOnInterrupt(*it);
  m_cleanupIds.clear();
  return {};
}

// One by one; those already moved go again when a later one cannot.
Status StagingFolder::MoveFilesInto(const fs::path& target) {
  std::vector<fs::path> placed;
  for (const std::string& name : m_names) {
    const fs::path to = target / PathFromUtf8(name);
    const int id = RemoveOnInterrupt(to);
    m_cleanupIds.push_back(id);
    if (Status moved = MoveNoReplace(m_path / PathFromUtf8(name), to); !moved) {
      UnregisterOnInterrupt(id);
      std::error_code ec;
      for (const fs::path& path : placed) fs::remove(path, ec);
      return moved;
    }
    placed.push_back(to);
  }
  return {};
}

StagingFolder::~StagingFolder() {
  std::error_code ec;
  if (!m_path.empty()) fs::remove_all(m_path, ec);
  m_lock.reset();
  for (auto it = m_cleanupIds.rbegin(); it != m_cleanupIds.rend(); ++it) UnregisterOnInterrupt(*it);
}
