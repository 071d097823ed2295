#pragma once
// What the tests need from the system, the same on Linux and Windows: fresh folders,
// paths as UTF-8 for SQLite, and the exit status of a command run through a pipe.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif
#ifdef _MSC_VER  // MinGW has the POSIX names too
#define popen _popen
#define pclose _pclose
#endif

namespace support {

// The path's UTF-8 spelling, which is what SQLite's open functions take on every system.
inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A new, empty folder under the system's temporary folder; the empty path on failure.
inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) return folder;
  }
  return {};
}

// The exit status from pclose's result; -1 when the command did not exit by itself.
inline int ExitStatus(int closed) {
#ifdef _WIN32
  return closed;
#else
  return WIFEXITED(closed) ? WEXITSTATUS(closed) : -1;
#endif
}

}  // namespace support

// The commands these tests run are Linux programs or need a POSIX shell; on Windows the
// outputs are checked by comparing them with the Linux build's (scripts/windows.sh).
#ifdef _WIN32
#define VELMIRA_SKIP_ON_WINDOWS(why) GTEST_SKIP() << "not on Windows: " << why
#else
#define VELMIRA_SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

// An independent reader or tool that is missing: a skip when the tests run by hand, a
// failure when CI is set (the test command under CI), so that a green CI run has really
// run every oracle. On Windows the oracles are Linux programs and the test is skipped.
#ifdef _WIN32
#define VELMIRA_ORACLE_MISSING(why) \
  { GTEST_SKIP() << why; }
#else
#define VELMIRA_ORACLE_MISSING(why)                                          \
  {                                                                          \
    if (std::getenv("CI")) {                                                 \
      FAIL() << "CI runs every oracle, and this one is missing: " << why;    \
    } else {                                                                 \
      GTEST_SKIP() << why;                                                   \
    }                                                                        \
  }
#endif
