#pragma once
// The working folder of one document: a folder of its own inside the user's private
// cache folder, so that two programs running at once never share a temporary copy.
// It is removed with the document; folders of processes that no longer run are removed
// when the next one is made.
//
//   <cache>/velmira/            private to the user (0700)
//     run-Ab12Cd/               one per document (0700), made atomically
//       lock                    held locked while the document lives
//       temp1.tmp, temp1.tmp-wal, ...
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/ProcessLock.h"
#include "platform/Result.h"

class WorkFolder {
 public:
  // Makes root (private to the user) when missing, removes what dead processes left in
  // it, then makes a new folder there. The cause on failure.
  static Result<std::unique_ptr<WorkFolder>> Create(const std::filesystem::path& root);

  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  ~WorkFolder();  // removes the folder and everything in it

  const std::filesystem::path& path() const { return m_path; }

  // Removes the folders under root whose process no longer runs, and the loose copies
  // that earlier versions kept in root itself.
  static void RemoveStale(const std::filesystem::path& root);

 private:
  WorkFolder(std::filesystem::path path, ProcessLock lock) : m_path(std::move(path)), m_lock(std::move(lock)) {}

  std::filesystem::path m_path;
  std::optional<ProcessLock> m_lock;
  int m_folderCleanupId = -1;
  int m_lockCleanupId = -1;
};
