#pragma once
// Where a save really writes, and what the file it replaces must keep.
#include <filesystem>
#include <optional>

#include "platform/Result.h"

struct SaveTarget {
  std::filesystem::path file;  // the path itself, or the file its links point at
  bool exists = false;
  unsigned mode = 0;           // permission bits of the existing file
  long long owner = -1;        // user and group of the existing file, where known
  long long group = -1;
};

// Follows symbolic links to the file they name (which may not exist yet). Refused, with
// the cause, when that file exists and is not a regular file or is read-only.
Result<SaveTarget> ResolveSaveTarget(const std::filesystem::path& path);

// Gives the finished temporary file the permission bits (and, where allowed, the owner)
// of the file it is about to replace; a new file keeps the default ones.
Status CarryOverMode(const std::filesystem::path& temporary, const SaveTarget& target);
