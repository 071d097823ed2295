#pragma once
// Reading job files safely: only regular files are opened, never a FIFO, socket or
// device that could block or change under the reader, and the copy is made from the
// very file that was checked.
#include <filesystem>
#include <string>

#include "platform/Result.h"

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
  // Copies the whole file to a new file at to, readable by the user alone. Fails, and
  // leaves nothing at to, when to exists or a read or write fails.
  Status CopyTo(const std::filesystem::path& to);

 private:
  explicit RegularFile(int handle) : m_handle(handle) {}
  int m_handle = -1;
};

// True when a and b name the same existing file (through links too).
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
