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
#include "forms/FormExport.h"
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

std::filesystem::path NativePath(const std::string& utf8) {
  return std::filesystem::path(reinterpret_cast<const char8_t*>(utf8.c_str()));
}

// Every point of the job file, or for each name given every point of that name, in
// document order.
std::optional<std::vector<PointKey>> DetailRows(const CVelmiraDoc& doc, const CliOptions& options) {
  std::vector<PointKey> rows;
  auto addNamed = [&](const std::string* name) {
    size_t found = 0;
    for (const CTarvekNokta& p : doc.m_noktaList) {
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
    for (const CEslesenNokta& pair : doc.m_eslesenList) pairNos.push_back(pair.nPairNo);
    return pairNos;
  }
  for (int pairNo : *options.pairs) {
    const bool known = std::any_of(doc.m_eslesenList.begin(), doc.m_eslesenList.end(),
                                   [&](const CEslesenNokta& pair) { return pair.nPairNo == pairNo; });
    if (!known) {
      std::cerr << "velmira-cli: matching found no pair numbered " << pairNo << '\n';
      return std::nullopt;
    }
    pairNos.push_back(pairNo);
  }
  return pairNos;
}

int WriteForm(CVelmiraDoc& doc, const CliOptions& options) {
  std::string error;
  bool written = false;
  if (options.command == CliCommand::Detail) {
    const auto rows = DetailRows(doc, options);
    if (!rows) return kExitRefused;
    written = WriteDetailForm(doc, *rows, NativePath(options.output), error);
  } else {
    doc.MatchSessions();
    const auto pairs = PolygonPairs(doc, options);
    if (!pairs) return kExitRefused;
    written = WritePolygonForm(doc, *pairs, NativePath(options.output), error);
  }
  if (written) return kExitOk;
  std::cerr << "velmira-cli: " << error << '\n';
  return kExitRefused;
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

  CliShell shell(options);
  CVelmiraDoc doc(shell, DefaultTempFolder());
  doc.SetCriteria(options.criteria);
  if (int status = AddJobFiles(doc, shell, options); status != kExitOk) return status;
  if (options.command == CliCommand::Detail || options.command == CliCommand::Polygon) {
    return WriteForm(doc, options);
  }

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
