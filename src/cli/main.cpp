// velmira-cli: the document operations of the desktop program for scripts. Job files
// are added in the order given, exactly as the add command does, so every number
// printed is what the desktop program shows for the same files.
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliShell.h"
#include "delivery/Delivery.h"
#include "forms/FormExport.h"
#include "forms/FormZones.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/TableTexts.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"
#include "session/JobSession.h"
#include "text/Cp1254.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRuleBroken = 3;  // check: at least one "Hata"

int Usage(const std::string& why) {
  std::cerr << "velmira-cli: " << why << "\n\n" << kCliUsage;
  return kExitUsage;
}

template <size_t N>
void WriteHeader(std::ostream& out, const std::array<const char*, N>& headers, bool flags) {
  for (size_t c = 0; c < N; ++c) out << (c ? "\t" : "") << headers[c];
  if (flags) out << "\tFlags";
  out << '\n';
}

// Names from the field may hold the separators themselves; escaped, every row stays one
// line of exactly its columns.
std::string EscapeCell(const std::string& utf8) {
  if (utf8.find_first_of("\\\t\r\n") == std::string::npos) return utf8;
  std::string escaped;
  escaped.reserve(utf8.size() + 8);
  for (char c : utf8) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      case '\n': escaped += "\\n"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

template <size_t N>
void WriteRow(std::ostream& out, const std::array<std::string, N>& cells) {
  for (size_t c = 0; c < N; ++c) out << (c ? "\t" : "") << EscapeCell(text::Cp1254ToUtf8(cells[c]));
}

void WritePoints(std::ostream& out, const CVelmiraDoc& doc) {
  WriteHeader(out, PointTableHeaders(), false);
  for (const CTarvekNokta& p : doc.NoktaList()) {
    WriteRow(out, PointRowTexts(p));
    out << '\n';
  }
}

void WritePairs(std::ostream& out, const CVelmiraDoc& doc, bool flags) {
  WriteHeader(out, PairTableHeaders(), flags);
  const CMatchCriteria criteria = doc.Criteria();
  for (const CEslesenNokta& pair : doc.EslesenList()) {
    WriteRow(out, PairRowTexts(pair));
    if (flags) {
      out << '\t';
      const std::vector<int> columns = PairFlaggedColumns(pair, criteria);
      for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
    }
    out << '\n';
  }
}

std::filesystem::path NativePath(const std::string& utf8) { return PathFromUtf8(utf8); }

// Every point of the job file, or for each name given every point of that name, in
// document order.
std::optional<std::vector<PointKey>> DetailRows(const CVelmiraDoc& doc, const CliOptions& options) {
  std::vector<PointKey> rows;
  auto addNamed = [&](const std::string* name) {
    size_t found = 0;
    for (const CTarvekNokta& p : doc.NoktaList()) {
      if (name && p.strName != *name) continue;
      rows.push_back({p.nIndex, p.nFileNumber});
      ++found;
    }
    return found;
  };
  if (options.pointNames.empty()) {
    addNamed(nullptr);
    return rows;
  }
  for (const std::string& utf8 : options.pointNames) {
    const std::string name = text::Utf8ToCp1254(utf8);
    if (addNamed(&name) == 0) {
      std::cerr << "velmira-cli: no point named '" << utf8 << "' in " << options.jobFiles[0] << '\n';
      return std::nullopt;
    }
  }
  return rows;
}

// All pairs in list order, or the pairs named by --pairs in that order.
std::optional<std::vector<int>> PolygonPairs(const CVelmiraDoc& doc, const CliOptions& options) {
  std::vector<int> pairNos;
  if (!options.pairs) {
    for (const CEslesenNokta& pair : doc.EslesenList()) pairNos.push_back(pair.nPairNo);
    return pairNos;
  }
  for (int pairNo : *options.pairs) {
    const bool known = std::any_of(doc.EslesenList().begin(), doc.EslesenList().end(),
                                   [&](const CEslesenNokta& pair) { return pair.nPairNo == pairNo; });
    if (!known) {
      std::cerr << "velmira-cli: matching found no pair numbered " << pairNo << '\n';
      return std::nullopt;
    }
    pairNos.push_back(pairNo);
  }
  return pairNos;
}

// The one place where a failure of the command line's own is told.
int Refuse(const Status& failure) {
  std::cerr << "velmira-cli: " << failure.cause() << '\n';
  return kExitRefused;
}

// The parts of one zone's form, beside the name given: NAME_1.xls, NAME_2.xls, ... Each
// file is listed on standard output once it is written.
template <typename Record, typename Write>
int WriteFormParts(const std::vector<Record>& inZone, const std::vector<FormPart>& parts, const CliOptions& options,
                   const Write& write) {
  std::cerr << "velmira-cli: the rows do not fit one sheet; the form is written in " << parts.size() << " parts\n";
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::filesystem::path path = PartFormPath(NativePath(options.output), k + 1);
    if (const Status written = write(PartRecords(inZone, parts[k]), path); !written) return Refuse(written);
    std::cout << EscapeCell(PathToUtf8(path)) << '\n' << std::flush;
  }
  return std::cout ? kExitOk : kExitRefused;
}

// A zone's rows that one sheet cannot hold are written in parts; anything else the form
// writer refuses is told as it says it.
int WriteForm(CVelmiraDoc& doc, const CliOptions& options) {
  if (options.command == CliCommand::Detail) {
    const auto rows = DetailRows(doc, options);
    if (!rows) return kExitRefused;
    const std::vector<ZoneRows> zones = DetailFormZones(doc, *rows);
    if (zones.size() == 1 && FormParts(zones.front()).size() > 1) {
      return WriteFormParts(DetailKeysInZone(doc, *rows, zones.front().meridian), FormParts(zones.front()), options,
                            [&](const std::vector<PointKey>& part, const std::filesystem::path& path) {
                              return WriteDetailForm(doc, part, path);
                            });
    }
    const Status written = WriteDetailForm(doc, *rows, NativePath(options.output));
    return written ? kExitOk : Refuse(written);
  }
  if (!doc.MatchSessions()) return kExitRefused;
  const auto pairs = PolygonPairs(doc, options);
  if (!pairs) return kExitRefused;
  const Result<std::vector<ZoneRows>> zones = PolygonFormZones(doc, *pairs);
  if (zones && zones->size() == 1 && FormParts(zones->front()).size() > 1) {
    return WriteFormParts(PairsInZone(doc, *pairs, zones->front().meridian), FormParts(zones->front()), options,
                          [&](const std::vector<int>& part, const std::filesystem::path& path) {
                            return WritePolygonForm(doc, part, path);
                          });
  }
  const Status written = WritePolygonForm(doc, *pairs, NativePath(options.output));
  return written ? kExitOk : Refuse(written);
}

// Adds every job file; stops at the first one the desktop program would refuse. Points
// far from their zone's meridian are noted at once, as a wrong zone answer shows there.
int AddJobFiles(CVelmiraDoc& doc, CliShell& shell, const CliOptions& options) {
  for (const std::string& file : options.jobFiles) {
    shell.Reset();
    const bool added = doc.AddJobFile(NativePath(file));
    if (shell.UsageError()) return Usage(shell.UsageMessage());
    if (!added || shell.Refused()) {
      std::cerr << "velmira-cli: " << EscapeCell(file) << ": job file refused\n";
      return kExitRefused;
    }
    if (auto note = ZoneNote(doc.NoktaList(), doc.TsjList().back().nFileNumber)) {
      shell.ShowMessage(*note, MessageIcon::Information);
    }
  }
  return kExitOk;
}

// The profile named, else the one the job files call for; the pair limits given on the
// command line replace the profile's.
RuleProfile CheckProfile(const CVelmiraDoc& doc, const CliOptions& options) {
  RuleProfile profile = options.profile ? *BuiltInProfile(*options.profile) : DefaultProfileFor(doc);
  CriteriaOverrides overrides;
  if (options.given.dMaxDiffY) overrides.dMaxDiffY = options.criteria.dMaxDiffY;
  if (options.given.dMaxDiffX) overrides.dMaxDiffX = options.criteria.dMaxDiffX;
  if (options.given.dMaxDiffH) overrides.dMaxDiffH = options.criteria.dMaxDiffH;
  if (options.given.dMinDiffHours) overrides.dMinDiffHours = options.criteria.dMinDiffHours;
  return WithOverrides(std::move(profile), overrides);
}

// The session's own steps: matched, then judged by the profile; the verdict goes to
// standard error.
int Check(JobSession& session, const CliOptions& options) {
  if (!session.SetProfile(CheckProfile(session.Document(), options))) return kExitRefused;
  WriteHeader(std::cout, FindingTableHeaders(), false);
  for (const Finding& finding : session.Findings()) {
    WriteRow(std::cout, FindingRowTexts(finding));
    std::cout << '\n';
  }
  std::cout.flush();
  if (!std::cout) return kExitRefused;
  const Verdict verdict = session.GetVerdict();
  std::cerr << "velmira-cli: " << DisplayName(session.Profile()) << ": " << verdict.Text() << '\n';
  return verdict.Ready() ? kExitOk : kExitRuleBroken;
}

// Checks as check does and writes the delivery folder; the folder is written whatever
// the verdict, and the exit status tells it as check's does.
int Deliver(JobSession& session, const CliOptions& options) {
  if (!session.SetProfile(CheckProfile(session.Document(), options))) return kExitRefused;
  const Result<DeliveryResult> delivered = session.Deliver({}, NativePath(options.output));
  if (!delivered) return Refuse(delivered.status());
  // A job file's name may hold a line feed: one line per file all the same.
  for (const DeliveryFile& file : delivered->files) std::cout << EscapeCell(file.name) << '\n';
  std::cout.flush();
  const Verdict& verdict = delivered->verdict;
  std::cerr << "velmira-cli: " << DisplayName(session.Profile()) << ": " << verdict.Text() << '\n';
  return verdict.Ready() ? kExitOk : kExitRuleBroken;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
  // The usual questions, answered on standard output with success.
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help")) {
    std::cout << kCliUsage;
    return kExitOk;
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    std::cout << "velmira-cli " << VELMIRA_VERSION << '\n';
    return kExitOk;
  }
  const CliParseResult parsed = ParseCliOptions(arguments);
  if (!parsed.options) return Usage(parsed.error);
  const CliOptions& options = *parsed.options;

  // A form half-written or a job copy must not stay behind a Ctrl+C.
  InstallInterruptCleanup();
  if (options.command == CliCommand::Deliver) {
    // Before any job file is read: a folder already in use is a slip, not a wish.
    if (const Status fit = CheckDeliveryFolder(NativePath(options.output)); !fit) return Refuse(fit);
  }
  CliShell shell(options);
  JobSession session(shell, DefaultTempFolder(), *BuiltInProfile(kNetworkProfileId));
  CVelmiraDoc& doc = session.Document();
  doc.SetCriteria(options.criteria);
  if (int status = AddJobFiles(doc, shell, options); status != kExitOk) return status;
  if (options.command == CliCommand::Detail || options.command == CliCommand::Polygon) {
    return WriteForm(doc, options);
  }

  std::ios::sync_with_stdio(false);
  if (options.command == CliCommand::Check) return Check(session, options);
  if (options.command == CliCommand::Deliver) return Deliver(session, options);
  if (options.command == CliCommand::Points) {
    WritePoints(std::cout, doc);
  } else {
    if (!doc.MatchSessions()) return kExitRefused;
    WritePairs(std::cout, doc, options.flags);
  }
  std::cout.flush();
  return std::cout ? kExitOk : kExitRefused;
}
