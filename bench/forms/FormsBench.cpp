// Full-size forms from job files on disk through velmira-cli, as whole processes:
// median wall time and peak resident memory.
//   bench_forms [runs]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
  double seconds;
  long peakKiB;
  int status;
};

Run RunProcess(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void Report(const char* what, const std::vector<std::string>& args, int runs) {
  std::vector<double> times;
  std::vector<long> peaks;
  for (int i = 0; i < runs; ++i) {
    const Run r = RunProcess(args);
    if (r.status != 0) {
      std::printf("%s: failed with status %d\n", what, r.status);
      return;
    }
    times.push_back(r.seconds);
    peaks.push_back(r.peakKiB);
  }
  std::sort(times.begin(), times.end());
  std::sort(peaks.begin(), peaks.end());
  std::printf("%s: median %.3f s, peak memory %.1f MiB (median of %d runs)\n", what, times[times.size() / 2],
              static_cast<double>(peaks[peaks.size() / 2]) / 1024.0, runs);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const fs::path dir = fs::temp_directory_path() / "velmira-bench-forms";
  fs::create_directories(dir);
  setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
  const std::string detailJob = (dir / "detail.tsj").string();
  const std::string controlJob = (dir / "control.tsj").string();
  const std::string quiet = " --float-fraction 0 --deleted-fraction 0 --hidden-fraction 0 ";
  if (std::system((std::string(VELMIRA_MAKE_JOB) + " --seed 9 --points 65534 --control-fraction 0" + quiet +
                   detailJob + " >/dev/null").c_str()) != 0 ||
      std::system((std::string(VELMIRA_MAKE_JOB) + " --seed 9 --points 21845 --control-fraction 1" + quiet +
                   controlJob + " >/dev/null").c_str()) != 0) {
    std::fprintf(stderr, "could not make the job files\n");
    return 1;
  }
  // The first 32767 pair numbers that matching gives, in arguments of 4000 numbers each.
  std::vector<std::string> numbers;
  FILE* match = popen((std::string(VELMIRA_CLI) + " match " + controlJob + " 2>/dev/null").c_str(), "r");
  char line[4096];
  while (fgets(line, sizeof line, match) && numbers.size() < 32768) {
    std::string text(line);
    size_t at = 0;
    for (int tab = 0; tab < 8 && at != std::string::npos; ++tab) at = text.find('\t', at + 1);
    if (at != std::string::npos) numbers.push_back(text.substr(at + 1, text.find('\t', at + 1) - at - 1));
  }
  pclose(match);
  numbers.erase(numbers.begin());  // the header's "nIndex"
  std::vector<std::string> polygon = {VELMIRA_CLI, "polygon", "-o", (dir / "p.xls").string()};
  for (size_t first = 0; first < numbers.size(); first += 4000) {
    std::string list;
    for (size_t k = first; k < std::min(first + 4000, numbers.size()); ++k) list += (k > first ? "," : "") + numbers[k];
    polygon.push_back("--pairs");
    polygon.push_back(list);
  }
  polygon.push_back(controlJob);

  Report("detail form, 65534 points", {VELMIRA_CLI, "detail", "-o", (dir / "d.xls").string(), detailJob}, runs);
  Report(("polygon form, " + std::to_string(numbers.size()) + " pairs").c_str(), polygon, runs);
  fs::remove_all(dir);
  return 0;
}
