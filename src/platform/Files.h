#pragma once
// The file operations that differ between systems. Reading job files safely: only
// regular files are opened, never a FIFO, socket or device that could block or change
// under the reader, and the copy is made from the very file that was checked. Writing:
// new files only, synced, and put in place in one step.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Result.h"

// Who may read a file that the program makes: the user alone (the working copies in the
// cache), or whoever the user's umask lets (what the user hands on: forms, pictures, the
// delivery folder).
enum class FileAccess { Private, Shared };

class RegularFile {
 public:
  // Opens path for reading when it names a regular file (a link to one is fine). Refused
  // without blocking, with the cause, for directories, FIFOs, sockets and devices.
  static Result<RegularFile> Open(const std::filesystem::path& path);

  RegularFile(RegularFile&& other) noexcept;
  RegularFile& operator=(RegularFile&&) = delete;
  ~RegularFile();

  // The first n bytes, or fewer when the file is shorter; the empty text on a read error.
  std::string ReadPrefix(std::size_t n);
  // Copies the whole file to a new file at to. Fails, and leaves nothing at to, when to
  // exists or a read or write fails.
  Status CopyTo(const std::filesystem::path& to, FileAccess access = FileAccess::Private);

 private:
  explicit RegularFile(int handle) : m_handle(handle) {}
  int m_handle = -1;
};

// True when a and b name the same existing file (through links too).
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Opens a new file for writing in binary mode; null, with errno set, when path exists
// (EEXIST) or cannot be made. Never opens or truncates an existing file.
std::FILE* CreateNewFile(const std::filesystem::path& path, FileAccess access = FileAccess::Private);

// Flushes f and asks the system to put its data on the disk; false on an error, with
// errno set.
bool SyncFile(std::FILE* f);

// Puts temporary in the place of target in one step: readers see the old file or the new
// one, never neither. target may exist; both lie in one folder.
Status ReplaceWith(const std::filesystem::path& temporary, const std::filesystem::path& target);

// Renames from to to, a file or a folder, in one step; refused when to exists, whatever
// it is, so nothing of the user's is ever replaced. Both lie on one volume.
Status MoveNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// The path as UTF-8, and a path from UTF-8, whatever the system's own encoding is (a
// narrow string is the ANSI code page on Windows, which cannot hold every Turkish letter).
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The user's own cache folder for the program: %LOCALAPPDATA%\Velmira on Windows, else
// $XDG_CACHE_HOME/velmira or ~/.cache/velmira; a folder under the system's temporary
// folder when none is known.
std::filesystem::path UserCacheFolder();
