#include "platform/ProcessLock.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

#ifdef _WIN32
// A file held open without sharing cannot be removed while its process runs.
int Lock(const fs::path& path) {
  int fd = -1;
  _wsopen_s(&fd, path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL, _SH_DENYRW, _S_IREAD | _S_IWRITE);
  return fd;
}
#else
// Where the file system has no RENAME_NOREPLACE (NFS), a plain rename: the names are the
// caller's own, unique ones.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  return ::rename(from.c_str(), to.c_str());
}

// flock locks die with their process.
int Lock(const fs::path& path) {
  fs::path unnamed = path;
  unnamed += ".new";
  const int fd = ::open(unnamed.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || RenameNoReplace(unnamed, path) != 0) {
    const int error = errno;
    ::unlink(unnamed.c_str());
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}
#endif

}  // namespace

Result<ProcessLock> ProcessLock::Hold(const fs::path& path) {
  const int fd = Lock(path);
  if (fd < 0) return Status::SystemFailure(LastError());
  return ProcessLock(path, fd);
}

ProcessLock::ProcessLock(ProcessLock&& other) noexcept : m_path(std::move(other.m_path)), m_handle(other.m_handle) {
  other.m_handle = -1;
}

ProcessLock::~ProcessLock() {
  if (m_handle < 0) return;
  std::error_code ec;
#ifdef _WIN32
  _close(m_handle);  // an open file cannot be removed there
  fs::remove(m_path, ec);
#else
  fs::remove(m_path, ec);
  ::close(m_handle);
#endif
}

ProcessLock::State ProcessLock::Probe(const fs::path& path) {
#ifdef _WIN32
  std::error_code ec;
  if (!fs::exists(path, ec)) return State::Missing;
  return fs::remove(path, ec) && !ec ? State::Abandoned : State::Held;
#else
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? State::Missing : State::Held;
  const bool gone = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return gone ? State::Abandoned : State::Held;
#endif
}
