// Prints the median time of the rule check of a large project: 100,000 points and
// 15,000 pairs under the network profile, a few per cent of them breaking a rule.
//   bench_rules [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

namespace {

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

struct Project {
  std::vector<CTarvekNokta> points;
  std::vector<CEslesenNokta> pairs;
};

// Ten job files; the first 30,000 points are the two sessions of 15,000 control points.
Project MakeProject(size_t pointCount, size_t pairCount) {
  static const char* const kMethods[] = {"VRSRTCM31", "FKP02", "MAC01", "SAPOS", "DGNSS", "RTK"};
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int> percent(0, 99);
  Project project;
  project.points.reserve(pointCount);
  for (size_t i = 0; i < pointCount; ++i) {
    CTarvekNokta p;
    p.strName = "N" + std::to_string(i);
    p.nIndex = 1000 + static_cast<int>(i);
    p.nFileNumber = 1 + static_cast<int>(i * 10 / pointCount);
    p.strMeridian = "33";
    p.strMethod = percent(rng) < 95 ? kMethods[0] : kMethods[percent(rng) % 6];
    p.dLon = 33.0 + (percent(rng) < 97 ? 1.2 : 2.0) * (percent(rng) < 50 ? -1 : 1);
    p.nEpochs = percent(rng) < 97 ? 5 + percent(rng) : 2;
    p.nGpsSats = percent(rng) < 98 ? 8 : 3;
    p.nGlonassSats = 1;
    project.points.push_back(p);
  }
  std::uniform_real_distribution<double> scatter(0.0, 0.075);
  for (size_t k = 0; k < pairCount && 2 * k + 1 < pointCount; ++k) {
    const CTarvekNokta& a = project.points[2 * k];
    const CTarvekNokta& b = project.points[2 * k + 1];
    CEslesenNokta pair;
    pair.strName1 = a.strName;
    pair.strName2 = b.strName;
    pair.nEpochs1 = a.nEpochs;
    pair.nEpochs2 = b.nEpochs;
    pair.dDiffY = scatter(rng);
    pair.dDiffX = scatter(rng);
    pair.dDiffH = scatter(rng);
    pair.dDiffHours = percent(rng) < 97 ? 1.5 : 0.5;
    pair.nPairNo = 100 + static_cast<int>(k);
    pair.nIndex1 = a.nIndex;
    pair.nIndex2 = b.nIndex;
    project.pairs.push_back(pair);
  }
  return project;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  const Project project = MakeProject(100000, 15000);
  const RuleProfile profile = *BuiltInProfile(kNetworkProfileId);
  size_t findings = 0;
  const double t = MedianSeconds(runs, [&] {
    const std::vector<Finding> result = CheckRules(project.points, project.pairs, profile);
    findings = result.size();
  });
  std::printf("check %zu points and %zu pairs: median %.1f ms over %d runs (%zu findings)\n",
              project.points.size(), project.pairs.size(), t * 1000.0, runs, findings);
  return 0;
}
