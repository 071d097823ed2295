#pragma once
// Where a delivery is written before it is put in place. A new folder is written under a
// hidden name beside its own and renamed into place; an existing empty folder is the
// user's (its mode, owner, group and inode stay), so its files are written in a hidden
// folder inside it and renamed into it one by one. Either way a failure leaves the target
// as it was, and a hidden folder left by a killed run is removed by the next delivery
// into the same place: each one is held by a lock that dies with its process.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLock.h"
#include "platform/Result.h"

class StagingFolder {
 public:
  StagingFolder() = default;
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;
  ~StagingFolder();  // removes what was not put in place

  // Removes the hidden folders of dead deliveries in folder.
  static void RemoveAbandoned(const std::filesystem::path& folder);

  // target is a new name, or an empty folder.
  Status Create(const std::filesystem::path& target);
  // The path a file of the delivery is written to; removed too if the run is stopped.
  std::filesystem::path File(const std::string& utf8Name);
  // Puts the files written in place: never over anything, all or none.
  Status MoveInto(const std::filesystem::path& target);

 private:
  Status MoveFilesInto(const std::filesystem::path& target);

  std::filesystem::path m_path;
  std::optional<ProcessLock> m_lock;
  bool m_bInside = false;
  std::vector<std::string> m_names;
  std::vector<int> m_cleanupIds;
};
