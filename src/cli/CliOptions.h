#pragma once
// The command line of velmira-cli, parsed and checked before any job file is read.
#include <optional>
#include <string>
#include <vector>

#include "jobdata/Records.h"

enum class CliCommand { Points, Match, Detail, Polygon, Check, Deliver };

// Which criteria the command line named: for check, those given override the profile's.
struct CriteriaGiven {
  bool dMaxDiffY = false;
  bool dMaxDiffX = false;
  bool dMaxDiffH = false;
  bool dMinDiffHours = false;
  bool dMatchTol = false;
};

struct CliOptions {
  CliCommand command = CliCommand::Points;
  std::optional<std::string> meridian;  // one of kMeridians
  std::optional<std::string> method;    // "RTK" or one of kMountpoints
  CMatchCriteria criteria;
  CriteriaGiven given;
  std::optional<std::string> profile;   // check, deliver: "ag-rtk" or "klasik-rtk"
  bool flags = false;                   // match: the coloured columns of each row
  std::string output;                   // detail, polygon, deliver: -o
  std::optional<std::vector<int>> pairs;  // polygon: --pairs
  std::vector<std::string> jobFiles;
  std::vector<std::string> pointNames;  // detail: UTF-8, after the job file
};

struct CliParseResult {
  std::optional<CliOptions> options;  // nothing on a usage error
  std::string error;                  // what was wrong, for the usage message
};

CliParseResult ParseCliOptions(const std::vector<std::string>& args);

extern const char* const kCliUsage;
