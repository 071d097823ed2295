#include "platform/Interrupts.h"

#include <csignal>
#include <cstdio>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <mutex>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct Entry {
  int id;
  fs::path path;
};

#ifndef _WIN32
// A closed pipe (velmira-cli points ... | head) and a closed terminal end a run as well.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
#endif

// Changed only while the signals are blocked (on Windows: while the lock is held, as the
// console's handler runs on a thread of its own), so the handler never sees a half-made
// change.
std::vector<Entry>* g_entries = nullptr;
int g_nextId = 0;
bool g_installed = false;

#ifdef _WIN32
std::mutex g_entriesLock;

class SignalsBlocked {
 public:
  SignalsBlocked() : m_lock(g_entriesLock) {}

 private:
  std::lock_guard<std::mutex> m_lock;
};

// Ctrl+C, Ctrl+Break, a closed console window, log-off and shut-down. Files that are
// still open (the job copies SQLite holds) cannot be removed yet; the next run removes
// their folder once its lock has gone with this process.
BOOL WINAPI RemoveAndStop(DWORD) {
  SignalsBlocked blocked;
  if (g_entries) {
    for (auto it = g_entries->rbegin(); it != g_entries->rend(); ++it) {
      if (!DeleteFileW(it->path.c_str())) RemoveDirectoryW(it->path.c_str());
    }
  }
  return FALSE;  // the default handler ends the process
}
#else
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t block;
    sigemptyset(&block);
    for (int signal : kSignals) sigaddset(&block, signal);
    sigprocmask(SIG_BLOCK, &block, &m_old);
  }
  ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &m_old, nullptr); }

 private:
  sigset_t m_old;
};

// Only calls that are safe in a signal handler: unlink, rmdir, signal, raise.
extern "C" void RemoveAndStop(int signal) {
  if (g_entries) {
    for (auto it = g_entries->rbegin(); it != g_entries->rend(); ++it) {
      if (::unlink(it->path.c_str()) != 0) ::rmdir(it->path.c_str());
    }
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
#endif

}  // namespace

void InstallInterruptCleanup() {
  SignalsBlocked blocked;
  if (g_installed) return;
  g_installed = true;
  if (!g_entries) g_entries = new std::vector<Entry>();  // lives until the process ends
#ifdef _WIN32
  SetConsoleCtrlHandler(RemoveAndStop, TRUE);
#else
  for (int signal : kSignals) std::signal(signal, RemoveAndStop);
#endif
}

int RemoveOnInterrupt(const fs::path& path) {
  SignalsBlocked blocked;
  if (!g_entries) g_entries = new std::vector<Entry>();
  g_entries->push_back({++g_nextId, path});
  return g_nextId;
}

void UnregisterOnInterrupt(int id) {
  SignalsBlocked blocked;
  if (!g_entries) return;
  std::erase_if(*g_entries, [id](const Entry& e) { return e.id == id; });
}
