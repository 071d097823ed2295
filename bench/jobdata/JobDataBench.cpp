// Prints the median times of session matching, of adding a large job file, of the
// integrity check that an add runs first, and the work (SQLite steps) an add spends
// against the budget that bounds it.
//   bench_jobdata [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unordered_map>

#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "jobdata/SessionMatcher.h"
#include "jobdata/Sqlite.h"

namespace fs = std::filesystem;

namespace {

class QuietShell : public CDocShell {
 public:
  fs::path file;
  std::optional<fs::path> ChooseJobFile() override { return file; }
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

template <typename F>
double MedianSeconds(int runs, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Control points measured two or three times a few centimetres apart, and detail
// points measured once, spread over a zone like a large project.
std::vector<CTarvekNokta> Observations(size_t count) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> east(380000, 620000), north(4000000, 4650000);
  std::normal_distribution<double> scatter(0, 0.012);
  std::vector<CTarvekNokta> points;
  points.reserve(count);
  int index = 1000;
  while (points.size() < count) {
    CTarvekNokta p;
    p.strName = "N" + std::to_string(points.size());
    p.dY = east(rng);
    p.dX = north(rng);
    p.dHeight = 900;
    p.dStartTime = 1.7e9 + static_cast<double>(points.size()) * 30;
    const int sessions = points.size() % 10 == 0 ? 2 + static_cast<int>(points.size() % 20 == 0) : 1;
    for (int s = 0; s < sessions && points.size() < count; ++s) {
      CTarvekNokta q = p;
      q.dY += scatter(rng);
      q.dX += scatter(rng);
      q.dHeight += scatter(rng);
      q.dStartTime += 4000.0 * s;
      q.nIndex = index++;
      points.push_back(q);
    }
  }
  return points;
}

void BenchMatching(size_t count, int runs) {
  const std::vector<CTarvekNokta> points = Observations(count);
  size_t pairs = 0;
  const double t = MedianSeconds(runs, [&] {
    auto list = MatchPairs(points, 1.0);
    RemoveMirrorPairs(list);
    AssignGroupNumbers(list);
    pairs = list.size();
  });
  std::printf("match %zu observations: median %.3f s over %d runs (%zu pairs)\n", count, t, runs, pairs);
}

bool MakeJob(int points, const fs::path& job) {
  const std::string cmd = std::string(VELMIRA_MAKE_JOB) + " --seed 3 --points " + std::to_string(points) +
                          " " + job.string() + " >/dev/null";
  if (std::system(cmd.c_str()) == 0) return true;
  std::fprintf(stderr, "could not make %s\n", job.c_str());
  return false;
}

void BenchAdd(int points, int runs) {
  const fs::path dir = fs::temp_directory_path() / "velmira-bench";
  fs::create_directories(dir);
  const fs::path job = dir / "big.tsj";
  if (!MakeJob(points, job)) return;
  size_t stored = 0;
  std::int64_t calls = 0;
  const double t = MedianSeconds(runs, [&] {
    QuietShell shell;
    shell.file = job;
    CVelmiraDoc doc(shell, dir / "cache");
    calls = 0;
    doc.AddJobFile(job, [&](double) { return ++calls, true; });
    stored = doc.NoktaList().size();
  });
  std::printf("add a job file of %d points: median %.3f s over %d runs (%zu fixed points stored)\n", points, t,
              runs, stored);

  // The integrity check alone, on a copy as the add makes one.
  fs::copy_file(job, dir / "copy.tsj", fs::copy_options::overwrite_existing);
  std::int64_t pages = 0;
  std::int64_t checkSteps = 0;
  const double check = MedianSeconds(runs, [&] {
    ReadBudget budget;
    SqliteDb db(dir / "copy.tsj", &budget);
    SqliteStatement count(db, "pragma page_count");
    if (count.Step()) pages = std::atoll(std::string(count.Text(0)).c_str());
    SqliteStatement integrity(db, "pragma integrity_check(1)");
    integrity.Step();
    checkSteps = budget.used();
  });
  ReadBudget sized;
  sized.SizeFor(pages);
  const std::int64_t steps = (calls - 1) * ReadBudget::kStepsPerCall;  // the last call is the closing 1.0
  std::printf("integrity check of it (%lld pages): median %.3f s over %d runs, %.0f%% of the add\n",
              static_cast<long long>(pages), check, runs, 100.0 * check / t);
  std::printf("work of the add: %lld steps (%lld a page, the check %lld a page); budget %lld steps, %.1fx the add\n",
              static_cast<long long>(steps), static_cast<long long>(steps / std::max<std::int64_t>(1, pages)),
              static_cast<long long>(checkSteps / std::max<std::int64_t>(1, pages)),
              static_cast<long long>(sized.limit()), static_cast<double>(sized.limit()) / static_cast<double>(steps));
  fs::remove_all(dir);
}

// Building the keyed lookup and asking it for every point by the pairs' keys, as a polygon
// form of the whole job does; beside it the hash maps each caller used to build for itself.
void BenchIndex(size_t count, int runs) {
  std::vector<CTarvekNokta> points = Observations(count);
  for (size_t i = 0; i < points.size(); ++i) points[i].nFileNumber = 1 + static_cast<int>(i * 4 / points.size());
  std::vector<CEslesenNokta> pairs(count / 2);
  for (size_t i = 0; i < pairs.size(); ++i) {
    pairs[i].nPairNo = 100 + static_cast<int>(i);
    pairs[i].nIndex1 = points[i * 2].nIndex;
    pairs[i].nIndex2 = points[i * 2 + 1].nIndex;
  }
  std::vector<int> pairNos;
  for (const CEslesenNokta& e : pairs) pairNos.push_back(e.nPairNo);
  std::shuffle(pairNos.begin(), pairNos.end(), std::mt19937(7));  // the table's order, sorted by a column
  size_t found = 0;
  const double indexed = MedianSeconds(runs, [&] {
    const JobIndex index(points, pairs);
    for (int no : pairNos) {
      const CEslesenNokta* e = index.Pair(no);
      found += (index.Point(e->nIndex1) != nullptr) + (index.Point(e->nIndex2) != nullptr);
    }
  });
  const double hashed = MedianSeconds(runs, [&] {
    std::unordered_map<int, const CTarvekNokta*> byIndex;
    byIndex.reserve(points.size());
    for (const CTarvekNokta& p : points) byIndex.emplace(p.nIndex, &p);
    std::unordered_map<int, const CEslesenNokta*> byNo;
    for (const CEslesenNokta& e : pairs) byNo.emplace(e.nPairNo, &e);
    for (int no : pairNos) {
      const CEslesenNokta* e = byNo.at(no);
      found += byIndex.count(e->nIndex1) + byIndex.count(e->nIndex2);
    }
  });
  std::printf("%zu points, %zu pairs looked up in table order: JobIndex median %.4f s, hash maps %.4f s over %d runs"
              " (%zu points found a run)\n",
              points.size(), pairs.size(), indexed, hashed, runs, found / 2 / static_cast<size_t>(runs));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  BenchIndex(200000, runs);
  BenchAdd(100000, runs);
  BenchAdd(200000, std::min(runs, 3));
  BenchMatching(100000, runs);
  BenchMatching(1000000, std::min(runs, 3));
  return 0;
}
