#pragma once
// A file held locked while the process that made it runs: whatever way the process ends,
// its lock ends with it, so another process can tell what a dead one left behind.
#include <filesystem>

#include "platform/Result.h"

class ProcessLock {
 public:
  // Makes a new lock file at path, locked before it takes its name: another process that
  // found it unlocked would take it for a dead one's.
  static Result<ProcessLock> Hold(const std::filesystem::path& path);

  ProcessLock(ProcessLock&& other) noexcept;
  ProcessLock& operator=(ProcessLock&&) = delete;
  ~ProcessLock();  // releases the lock and removes the file

  enum class State { Held, Abandoned, Missing };
  // Held while its process runs; Abandoned when that process is gone (on Windows the
  // abandoned file is removed by the look).
  static State Probe(const std::filesystem::path& path);

 private:
  ProcessLock(std::filesystem::path path, int handle) : m_path(std::move(path)), m_handle(handle) {}
  std::filesystem::path m_path;
  int m_handle = -1;
};
