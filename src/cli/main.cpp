// velmira-cli: the document operations of the desktop program for scripts. Job files
// are added in the order given, exactly as the add command does, so every number
// printed is what the desktop program shows for the same files.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliShell.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/TableTexts.h"
#include "text/Cp1254.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

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

template <size_t N>
void WriteRow(std::ostream& out, const std::array<std::string, N>& cells) {
  for (size_t c = 0; c < N; ++c) out << (c ? "\t" : "") << text::Cp1254ToUtf8(cells[c]);
}

void WritePoints(std::ostream& out, const CVelmiraDoc& doc) {
  WriteHeader(out, PointTableHeaders(), false);
  for (const CTarvekNokta& p : doc.m_noktaList) {
    WriteRow(out, PointRowTexts(p));
    out << '\n';
  }
}

void WritePairs(std::ostream& out, const CVelmiraDoc& doc, bool flags) {
  WriteHeader(out, PairTableHeaders(), flags);
  const CMatchCriteria criteria = doc.Criteria();
  for (const CEslesenNokta& pair : doc.m_eslesenList) {
    WriteRow(out, PairRowTexts(pair));
    if (flags) {
      out << '\t';
      const std::vector<int> columns = PairFlaggedColumns(pair, criteria);
      for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
    }
    out << '\n';
  }
}

// Adds every job file; stops at the first one the desktop program would refuse.
int AddJobFiles(CVelmiraDoc& doc, CliShell& shell, const CliOptions& options) {
  for (const std::string& file : options.jobFiles) {
    shell.Reset();
    shell.SetNextJobFile(file);
    const bool added = doc.AddTsjFile();
    if (shell.UsageError()) return Usage(shell.UsageMessage());
    if (!added || shell.Refused()) {
      std::cerr << "velmira-cli: " << file << ": job file refused\n";
      return kExitRefused;
    }
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const CliParseResult parsed = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) return Usage(parsed.error);
  const CliOptions& options = *parsed.options;

  if (options.command == CliCommand::Detail || options.command == CliCommand::Polygon) {
    std::cerr << "velmira-cli: the detail and polygon forms are not built yet\n";
    return kExitUsage;
  }

  CliShell shell(options);
  CVelmiraDoc doc(shell, DefaultTempFolder());
  doc.SetCriteria(options.criteria);
  if (int status = AddJobFiles(doc, shell, options); status != kExitOk) return status;

  std::ios::sync_with_stdio(false);
  if (options.command == CliCommand::Points) {
    WritePoints(std::cout, doc);
  } else {
    doc.MatchSessions();
    WritePairs(std::cout, doc, options.flags);
  }
  std::cout.flush();
  return std::cout ? kExitOk : kExitRefused;
}
