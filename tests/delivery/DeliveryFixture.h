#pragma once
// Documents made from small job files written for each test, and the tools to read
// what a delivery wrote back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

namespace fs = std::filesystem;

// A point of a job file at lat/lon degrees, height metres, seconds after the first.
inline JobRow Row(const std::string& name, double lat, double lon, double height, int seconds = 0) {
  JobRow row;
  row.name = name;
  row.lat = std::to_string(lat);
  row.lon = std::to_string(lon);
  row.height = std::to_string(height);
  row.seconds = std::to_string(1719515159 + seconds);
  row.epochs = "180";
  return row;
}

// Two sessions of one control point, 2 hours apart, 2 cm apart in height.
inline std::vector<JobRow> ControlPoint(const std::string& name, double lat, double lon) {
  return {Row(name, lat, lon, 850.0), Row(name, lat, lon, 850.02, 7200)};
}

inline JobOptions InZone(const std::string& meridian) {
  JobOptions options;
  options.zone = "TUREF / TM" + meridian;
  return options;
}

class DeliveryFixture : public ::testing::Test {
 protected:
  DeliveryFixture() : doc(std::make_unique<CVelmiraDoc>(shell, dir / "cache")) {}

  fs::path WriteJob(const fs::path& relative, const std::vector<JobRow>& rows, const JobOptions& options = {}) {
    const fs::path path = dir.path() / relative;
    fs::create_directories(path.parent_path());
    JobFileBuilder::Write(path, rows, options);
    return path;
  }

  void Add(const fs::path& job) {
    shell.methodAnswer = "RTK";
    ASSERT_TRUE(doc->AddJobFile(job)) << (shell.Messages().empty() ? "" : shell.Messages().back().first);
  }

  void Match() { ASSERT_TRUE(doc->MatchSessions()); }

  RuleProfile Profile() const { return *BuiltInProfile(kClassicProfileId); }
  std::vector<Finding> Findings() const { return CheckRules(*doc, Profile()); }

  static std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }

  TestDir dir;
  ScriptedShell shell;
  std::unique_ptr<CVelmiraDoc> doc;
};

// What a command prints on its standard output, and its exit status.
struct Ran {
  int status = -1;
  std::string out;
};

inline Ran RunCommand(const std::string& command) {
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.out.append(buffer, n);
  ran.status = support::ExitStatus(pclose(pipe));
  return ran;
}

inline bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1").status == 0;
}
