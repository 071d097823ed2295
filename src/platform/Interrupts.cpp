#include "platform/Interrupts.h"

#include <csignal>
#include <cstdio>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct Entry {
  int id;
  fs::path path;
};

#ifdef _WIN32
constexpr int kSignals[] = {SIGINT, SIGTERM};
#else
// A closed pipe (velmira-cli points ... | head) and a closed terminal end a run as well.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
#endif

// Changed only while the two signals are blocked, so the handler never sees a
// half-made change.
std::vector<Entry>* g_entries = nullptr;
int g_nextId = 0;
bool g_installed = false;

class SignalsBlocked {
 public:
#ifdef _WIN32
  SignalsBlocked() = default;
#else
  SignalsBlocked() {
    sigset_t block;
    sigemptyset(&block);
    for (int signal : kSignals) sigaddset(&block, signal);
    sigprocmask(SIG_BLOCK, &block, &m_old);
  }
  ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &m_old, nullptr); }

 private:
  sigset_t m_old;
#endif
};

// Only calls that are safe in a signal handler: unlink, rmdir, signal, raise.
extern "C" void RemoveAndStop(int signal) {
  if (g_entries) {
    for (auto it = g_entries->rbegin(); it != g_entries->rend(); ++it) {
#ifdef _WIN32
      if (_wunlink(it->path.c_str()) != 0) _wrmdir(it->path.c_str());
#else
      if (::unlink(it->path.c_str()) != 0) ::rmdir(it->path.c_str());
#endif
    }
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void InstallInterruptCleanup() {
  SignalsBlocked blocked;
  if (g_installed) return;
  g_installed = true;
  if (!g_entries) g_entries = new std::vector<Entry>();  // lives until the process ends
  for (int signal : kSignals) std::signal(signal, RemoveAndStop);
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
