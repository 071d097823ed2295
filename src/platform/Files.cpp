#include "platform/Files.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

Status NotRegular() {
  return Status::Failure("Düzenli bir dosya değil (klasör, FIFO, soket ya da aygıt).",
                         std::make_error_code(std::errc::invalid_argument));
}

std::error_code LastError() { return {errno, std::generic_category()}; }

#ifdef _WIN32
int OpenReading(const fs::path& path) { return _wopen(path.c_str(), _O_RDONLY | _O_BINARY); }
// Windows has no umask; the folder's access list decides who may read.
int CreateNew(const fs::path& path, FileAccess) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long long ReadSome(int fd, char* buffer, std::size_t n) { return _read(fd, buffer, static_cast<unsigned>(n)); }
long long WriteSome(int fd, const char* buffer, std::size_t n) {
  return _write(fd, buffer, static_cast<unsigned>(n));
}
bool Rewind(int fd) { return _lseeki64(fd, 0, SEEK_SET) == 0; }
int CloseFd(int fd) { return _close(fd); }
bool IsRegularHandle(int fd) {
  struct _stat64 info {};
  return _fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}
#else
// Non-blocking, so that a FIFO swapped in after the check cannot hang the open.
int OpenReading(const fs::path& path) { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); }
int CreateNew(const fs::path& path, FileAccess access) {
  const mode_t mode = access == FileAccess::Private ? 0600 : 0666;  // the umask applies to both
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
long long ReadSome(int fd, char* buffer, std::size_t n) {
  ssize_t got;
  do got = ::read(fd, buffer, n);
  while (got < 0 && errno == EINTR);
  return got;
}
long long WriteSome(int fd, const char* buffer, std::size_t n) {
  ssize_t put;
  do put = ::write(fd, buffer, n);
  while (put < 0 && errno == EINTR);
  return put;
}
bool Rewind(int fd) { return ::lseek(fd, 0, SEEK_SET) == 0; }
int CloseFd(int fd) { return ::close(fd); }
bool IsRegularHandle(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
#endif

}  // namespace

Result<RegularFile> RegularFile::Open(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    return Status::SystemFailure(std::make_error_code(std::errc::no_such_file_or_directory));
  }
  if (ec) return Status::SystemFailure(ec);
  if (!fs::is_regular_file(status)) return NotRegular();
  const int fd = OpenReading(path);
  if (fd < 0) return Status::SystemFailure(LastError());
  if (!IsRegularHandle(fd)) {  // replaced between the check and the open
    CloseFd(fd);
    return NotRegular();
  }
  return RegularFile(fd);
}

RegularFile::RegularFile(RegularFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

RegularFile::~RegularFile() {
  if (m_handle >= 0) CloseFd(m_handle);
}

std::string RegularFile::ReadPrefix(std::size_t n) {
  std::string prefix(n, '\0');
  std::size_t have = 0;
  if (!Rewind(m_handle)) return {};
  while (have < n) {
    const long long got = ReadSome(m_handle, prefix.data() + have, n - have);
    if (got < 0) return {};
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  prefix.resize(have);
  return prefix;
}

Status RegularFile::CopyTo(const fs::path& to, FileAccess access) {
  if (!Rewind(m_handle)) return Status::SystemFailure(LastError());
  const int out = CreateNew(to, access);
  if (out < 0) return Status::SystemFailure(LastError());
  std::vector<char> buffer(kCopyBlock);
  Status status;
  for (;;) {
    const long long got = ReadSome(m_handle, buffer.data(), buffer.size());
    if (got < 0) status = Status::SystemFailure(LastError());
    if (got <= 0) break;
    std::size_t written = 0;
    while (status && written < static_cast<std::size_t>(got)) {
      const long long put = WriteSome(out, buffer.data() + written, static_cast<std::size_t>(got) - written);
      if (put <= 0) status = Status::SystemFailure(put < 0 ? LastError() : std::make_error_code(std::errc::no_space_on_device));
      else written += static_cast<std::size_t>(put);
    }
    if (!status) break;
  }
  if (CloseFd(out) != 0 && status) status = Status::SystemFailure(LastError());
  if (!status) {
    std::error_code ec;
    fs::remove(to, ec);
  }
  return status;
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

std::FILE* CreateNewFile(const fs::path& path, FileAccess access) {
  const int fd = CreateNew(path, access);
  if (fd < 0) return nullptr;
#ifdef _WIN32
  std::FILE* f = _fdopen(fd, "wb");
#else
  std::FILE* f = ::fdopen(fd, "wb");
#endif
  if (!f) {
    const int error = errno;
    CloseFd(fd);
    errno = error;
  }
  return f;
}

bool SyncFile(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return ::fsync(fileno(f)) == 0;
#endif
}

Status MoveNoReplace(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    return Status::SystemFailure(std::error_code(static_cast<int>(GetLastError()), std::system_category()));
  }
#else
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return Status::SystemFailure(LastError());
  // A file system without the flag: a hard link fails on an existing name as well.
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(from, ec))) {
    if (fs::exists(fs::symlink_status(to, ec))) return Status::SystemFailure(std::make_error_code(std::errc::file_exists));
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::SystemFailure(LastError());
    return {};
  }
  if (::link(from.c_str(), to.c_str()) != 0) return Status::SystemFailure(LastError());
  ::unlink(from.c_str());
#endif
  return {};
}

Status ReplaceWith(const fs::path& temporary, const fs::path& target) {
#ifdef _WIN32
  // Without MOVEFILE_COPY_ALLOWED: a copy across volumes would not be one step.
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    // A workbook open in Excel refuses the replacement as "access denied"; the user can
    // act on "open in another program" instead, so find out which of the two it is.
    if (error == ERROR_ACCESS_DENIED) {
      HANDLE probe = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
      } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
        error = ERROR_SHARING_VIOLATION;
      }
    }
    return Status::SystemFailure({static_cast<int>(error), std::system_category()});
  }
#else
  if (::rename(temporary.c_str(), target.c_str()) != 0) return Status::SystemFailure(LastError());
#endif
  return {};
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

fs::path PathFromUtf8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

fs::path UserCacheFolder() {
#ifdef _WIN32
  // The wide variable: a user name with Turkish letters does not fit the ANSI code page.
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && *local) return fs::path(local) / L"Velmira";
  std::error_code ec;
  return fs::temp_directory_path(ec) / L"Velmira";
#else
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') return fs::path(cache) / "velmira";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".cache" / "velmira";
  std::error_code ec;
  return fs::temp_directory_path(ec) / ("velmira-" + std::to_string(::getuid()));
#endif
}
