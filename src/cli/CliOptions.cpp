#include "cli/CliOptions.h"

#include <charconv>
#include <cmath>
#include <map>

const char* const kCliUsage =
    "usage: velmira-cli points  [OPTIONS] JOB.tsj...\n"
    "       velmira-cli match   [OPTIONS] [--flags] JOB.tsj...\n"
    "       velmira-cli detail  [OPTIONS] -o FORM.xls JOB.tsj [POINT-NAME...]\n"
    "       velmira-cli polygon [OPTIONS] -o FORM.xls [--pairs N,N,...]... JOB.tsj...\n"
    "       velmira-cli check   [OPTIONS] [--profile ag-rtk|klasik-rtk] JOB.tsj...\n"
    "       velmira-cli deliver [OPTIONS] [--profile ag-rtk|klasik-rtk] -o FOLDER JOB.tsj...\n"
    "       velmira-cli --help | --version\n"
    "\n"
    "options:\n"
    "  --meridian Z      27, 30, 33, 36, 39, 42 or 45: the zone when a job file does not name it\n"
    "  --method M        RTK or a mountpoint name: the answer when the method has to be asked\n"
    "  --tolerance M     matching tolerance in metres (default 1.0)\n"
    "  --max-dy M, --max-dx M, --max-dh M\n"
    "                    largest accepted differences in metres (default 0.07 each)\n"
    "  --min-hours H     smallest accepted time between sessions in hours (default 1.0)\n"
    "  --profile P       check, deliver: the rules of ag-rtk (network RTK) or klasik-rtk (classic RTK);\n"
    "                    by default ag-rtk when any job file names a mountpoint; the four\n"
    "                    options above, when given, replace the profile's limits\n";

namespace {

const std::map<std::string, CliCommand> kCommands = {{"points", CliCommand::Points},
                                                      {"match", CliCommand::Match},
                                                      {"detail", CliCommand::Detail},
                                                      {"polygon", CliCommand::Polygon},
                                                      {"check", CliCommand::Check},
                                                      {"deliver", CliCommand::Deliver}};

// The whole text must be a finite decimal number; the locale plays no part.
std::optional<double> ParseNumber(const std::string& s) {
  double value = 0;
  const char* begin = s.data();
  if (!s.empty() && s[0] == '+') ++begin;
  auto [end, ec] = std::from_chars(begin, s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::vector<int>> ParsePairList(const std::string& s) {
  std::vector<int> pairs;
  size_t start = 0;
  while (start <= s.size()) {
    size_t comma = s.find(',', start);
    if (comma == std::string::npos) comma = s.size();
    int value = 0;
    auto [end, ec] = std::from_chars(s.data() + start, s.data() + comma, value);
    if (ec != std::errc() || end != s.data() + comma || comma == start) return std::nullopt;
    pairs.push_back(value);
    start = comma + 1;
  }
  return pairs;
}

bool IsMeridian(const std::string& s) {
  for (const char* m : kMeridians) {
    if (s == m) return true;
  }
  return false;
}

bool IsMethod(const std::string& s) {
  if (s == "RTK") return true;
  for (const char* m : kMountpoints) {
    if (s == m) return true;
  }
  return false;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : m_args(args) {}

  CliParseResult Run() {
    if (m_args.empty()) return Fail("no command given");
    auto command = kCommands.find(m_args[0]);
    if (command == kCommands.end()) return Fail("unknown command '" + m_args[0] + "'");
    m_options.command = command->second;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (m_next = 1; m_next < m_args.size();) {
      const std::string arg = m_args[m_next++];
      if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
        positional.push_back(arg);
      } else if (arg == "--") {
        optionsEnded = true;
      } else if (!TakeOption(arg)) {
        return Fail(m_error);
      }
    }
    if (!AssignPositional(positional)) return Fail(m_error);
    return {m_options, {}};
  }

 private:
  CliParseResult Fail(const std::string& why) { return {std::nullopt, why}; }

  bool Error(const std::string& why) {
    m_error = why;
    return false;
  }

  // An option's value follows it, or stands after '=' in the same argument.
  std::optional<std::string> Value(std::string& name) {
    if (auto eq = name.find('='); eq != std::string::npos && name.starts_with("--")) {
      std::string value = name.substr(eq + 1);
      name.resize(eq);
      return value;
    }
    if (m_next >= m_args.size()) return std::nullopt;
    return m_args[m_next++];
  }

  bool TakeOption(std::string name) {
    if (name == "--flags") {
      if (m_options.command != CliCommand::Match) return Error("--flags belongs to match");
      m_options.flags = true;
      return true;
    }
    const std::string original = name;
    std::optional<std::string> value = Value(name);
    if (!value) return Error(original + " needs a value");
    if (name == "--meridian") {
      if (!IsMeridian(*value)) return Error("--meridian must be 27, 30, 33, 36, 39, 42 or 45");
      m_options.meridian = *value;
    } else if (name == "--method") {
      if (!IsMethod(*value)) return Error("--method must be RTK or one of the 17 known mountpoint names");
      m_options.method = *value;
    } else if (name == "--profile") {
      if (m_options.command != CliCommand::Check && m_options.command != CliCommand::Deliver) {
        return Error("--profile belongs to check and deliver");
      }
      if (*value != "ag-rtk" && *value != "klasik-rtk") return Error("--profile must be ag-rtk or klasik-rtk");
      m_options.profile = *value;
    } else if (name == "-o" || name == "--output") {
      if (m_options.command != CliCommand::Detail && m_options.command != CliCommand::Polygon &&
          m_options.command != CliCommand::Deliver) {
        return Error(name + " belongs to detail, polygon and deliver");
      }
      if (value->empty()) return Error("-o needs a file or folder name");
      m_options.output = *value;
    } else if (name == "--pairs") {
      if (m_options.command != CliCommand::Polygon) return Error("--pairs belongs to polygon");
      // Repeated --pairs add up, for lists longer than one argument may be.
      auto more = ParsePairList(*value);
      if (!more) return Error("--pairs takes pair numbers separated by commas");
      if (!m_options.pairs) m_options.pairs.emplace();
      m_options.pairs->insert(m_options.pairs->end(), more->begin(), more->end());
    } else {
      return TakeCriterion(name, *value);
    }
    return true;
  }

  bool TakeCriterion(const std::string& name, const std::string& value) {
    struct Criterion {
      double CMatchCriteria::*value;
      bool CriteriaGiven::*given;
    };
    static const std::map<std::string, Criterion> kCriteria = {
        {"--tolerance", {&CMatchCriteria::dMatchTol, &CriteriaGiven::dMatchTol}},
        {"--max-dy", {&CMatchCriteria::dMaxDiffY, &CriteriaGiven::dMaxDiffY}},
        {"--max-dx", {&CMatchCriteria::dMaxDiffX, &CriteriaGiven::dMaxDiffX}},
        {"--max-dh", {&CMatchCriteria::dMaxDiffH, &CriteriaGiven::dMaxDiffH}},
        {"--min-hours", {&CMatchCriteria::dMinDiffHours, &CriteriaGiven::dMinDiffHours}}};
    auto it = kCriteria.find(name);
    if (it == kCriteria.end()) return Error("unknown option '" + name + "'");
    std::optional<double> number = ParseNumber(value);
    if (!number) return Error(name + " takes a number, not '" + value + "'");
    // Zero or less pairs nothing at all: almost surely a slip, not a wish.
    if (name == "--tolerance" && !(*number > 0)) return Error("--tolerance must be a number greater than zero");
    m_options.criteria.*(it->second.value) = *number;
    m_options.given.*(it->second.given) = true;
    return true;
  }

  bool AssignPositional(const std::vector<std::string>& positional) {
    if (positional.empty()) return Error("no job file given");
    const bool writesForm =
        m_options.command == CliCommand::Detail || m_options.command == CliCommand::Polygon;
    if (writesForm && m_options.output.empty()) return Error("-o FORM.xls is needed");
    if (m_options.command == CliCommand::Deliver && m_options.output.empty()) return Error("-o FOLDER is needed");
    if (m_options.command == CliCommand::Detail) {
      m_options.jobFiles = {positional[0]};
      m_options.pointNames.assign(positional.begin() + 1, positional.end());
    } else {
      m_options.jobFiles = positional;
    }
    return true;
  }

  const std::vector<std::string>& m_args;
  size_t m_next = 1;
  CliOptions m_options;
  std::string m_error;
};

}  // namespace

CliParseResult ParseCliOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }
