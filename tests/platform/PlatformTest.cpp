// The process-wide clean-up on Ctrl+C and termination, tried in child processes that
// are really stopped by the signal.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <functional>
#include <fstream>
#include <thread>

#include "platform/Interrupts.h"
#include "xls/XlsWorkbook.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Windows has neither fork nor POSIX signals to stop a child with; the console's control
// handler is the same list of paths removed by another entry point.
TEST(InterruptTest, RegisteredFilesGoAndTheProcessEndsByTheSignal) {
  GTEST_SKIP() << "not on Windows: needs fork and kill to stop a child by a signal";
}
#else
class InterruptTest : public ::testing::TestWithParam<int> {
 protected:
  InterruptTest() {
    std::string pattern = (fs::temp_directory_path() / "velmira-platform-XXXXXX").string();
    m_dir = mkdtemp(pattern.data());
  }
  ~InterruptTest() override { fs::remove_all(m_dir); }

  // Runs body in a child and returns the signal that ended it (0 if none did). The
  // signal is sent delay after the child has written the file "ready", however busy the
  // machine is.
  int StoppedBy(const std::function<void()>& body, int signal, std::chrono::milliseconds delay) {
    const pid_t child = fork();
    if (child == 0) {
      body();
      _exit(0);
    }
    for (int wait = 0; wait < 3000 && !fs::exists(m_dir / "ready"); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(delay);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }

  fs::path m_dir;
};

TEST_P(InterruptTest, RegisteredFilesGoAndTheProcessEndsByTheSignal) {
  const fs::path folder = m_dir / "work";
  const int signal = GetParam();
  const int by = StoppedBy(
      [&] {
        InstallInterruptCleanup();
        fs::create_directory(folder);
        RemoveOnInterrupt(folder);
        std::ofstream(folder / "copy.tmp") << "job data";
        RemoveOnInterrupt(folder / "copy.tmp");
        std::ofstream(folder / "released.tmp") << "handed over";
        UnregisterOnInterrupt(RemoveOnInterrupt(folder / "released.tmp"));
        std::ofstream(m_dir / "ready");
        pause();
      },
      signal, std::chrono::milliseconds(50));
  ASSERT_TRUE(fs::exists(m_dir / "ready"));
  EXPECT_EQ(signal, by);
  EXPECT_FALSE(fs::exists(folder / "copy.tmp"));
  EXPECT_TRUE(fs::exists(folder / "released.tmp"));  // unregistered: not ours to remove
}

// A save stopped at any moment leaves either the earlier form or the new one, never its
// temporary file.
TEST_P(InterruptTest, AnInterruptedSaveLeavesNoTemporaryFile) {
  const fs::path form = m_dir / "form.xls";
  const int by = StoppedBy(
      [&] {
        InstallInterruptCleanup();
        XlsWorkbook book;
        book.New();
        XlsWorksheet& sheet = book.GetWorksheet(0);
        for (std::uint32_t row = 0; row < 60000; ++row) {
          for (std::uint32_t column = 0; column < 8; ++column) {
            sheet.Cell(row, column).SetText(u"hücre " + std::u16string(1, static_cast<char16_t>(u'A' + row % 26)));
          }
        }
        std::ofstream(m_dir / "ready");
        for (;;) {
          if (!book.SaveAs(form)) _exit(3);
        }
      },
      GetParam(), std::chrono::milliseconds(300));
  EXPECT_EQ(GetParam(), by);
  for (const auto& entry : fs::directory_iterator(m_dir)) {
    if (entry.path().filename() == "ready") continue;
    EXPECT_EQ(form, entry.path()) << "left behind: " << entry.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "Interrupt" : "Terminate"; });
#endif

}  // namespace
