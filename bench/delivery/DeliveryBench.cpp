// Prints the median time of writing the delivery folder of one generated job file, after
// it is added, matched and checked, and the process's peak memory.
//   bench_delivery [runs] [points]     (default: 5 runs of the two sizes below)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "delivery/Delivery.h"
#include "jobdata/CVelmiraDoc.h"

namespace fs = std::filesystem;

namespace {

struct QuietShell : CDocShell {
  std::optional<fs::path> ChooseJobFile() override { return std::nullopt; }
  void ShowMessage(std::string_view, MessageIcon) override {}
  std::optional<std::string> AskMeridian() override { return "33"; }
  std::optional<std::string> AskMountpoint(std::string_view, std::string_view) override { return "VRSRTCM31"; }
  std::optional<std::string> AskMethod(std::string_view) override { return "RTK"; }
  bool AskSettings(CMatchCriteria&) override { return false; }
  void JobFilesChanged() override {}
  void ShowFilePoints(int) override {}
  void ClearPointTables() override {}
  void PairsChanged() override {}
};


double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// About one point in eight is measured twice: a usual share for cadastre work.
bool MakeJob(const fs::path& job, int points) {
  const std::string cmd = std::string(VELMIRA_MAKE_JOB) + " --seed 5 --points " + std::to_string(points) +
                          " --control-fraction 0.13 --method rtk --meridian 33 " + job.string() + " >/dev/null";
  return std::system(cmd.c_str()) == 0;
}

void BenchDelivery(int points, int runs) {
  const fs::path dir = fs::temp_directory_path() / "velmira-bench-delivery";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path job = dir / "parsel.tsj";
  if (!MakeJob(job, points)) {
    std::fprintf(stderr, "could not make %s\n", job.c_str());
    return;
  }
  QuietShell shell;
  std::vector<double> wholeTimes, writeTimes;
  std::string counts;
  for (int i = 0; i < runs; ++i) {
    // The whole command: add, match, check, write; and the writing alone.
    const auto start = std::chrono::steady_clock::now();
    CVelmiraDoc doc(shell, dir / "cache");
    doc.AddJobFile(job);
    doc.MatchSessions();
    const RuleProfile profile = DefaultProfileFor(doc);
    const std::vector<Finding> findings = CheckRules(doc, profile);
    const auto writeStart = std::chrono::steady_clock::now();
    const fs::path out = dir / ("teslim" + std::to_string(i));
    const Result<DeliveryResult> result = WriteDelivery(doc, profile, findings, {}, out);
    const auto end = std::chrono::steady_clock::now();
    if (!result) {
      std::fprintf(stderr, "delivery failed: %s\n", result.status().cause().c_str());
      return;
    }
    wholeTimes.push_back(std::chrono::duration<double>(end - start).count());
    writeTimes.push_back(std::chrono::duration<double>(end - writeStart).count());
    counts = std::to_string(doc.NoktaList().size()) + " fixed points, " + std::to_string(doc.EslesenList().size()) +
             " pairs, " + std::to_string(result->files.size()) + " files";
    fs::remove_all(out);
  }
  std::printf("delivery of a %d-point job file (%s): median %.3f s in all, %.3f s writing, over %d runs\n", points,
              counts.c_str(), Median(wholeTimes), Median(writeTimes), runs);
  fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (argc > 2) {
    BenchDelivery(std::atoi(argv[2]), runs);
  } else {
    BenchDelivery(8700, runs);
    BenchDelivery(59000, runs);
  }
  std::printf("peak memory of the process: %.0f MB\n", PeakMegabytes());
  return 0;
}
