#pragma once
// The independent programs that read what the program writes: xmllint for XML and HTML
// (KML, SVG, the report page), headless chromium for the page as a browser shows it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/Portable.h"

struct CommandResult {
  int status = -1;     // the exit status; -1 when the program did not run or end normally
  std::string output;  // standard output and standard error together
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int raw = pclose(pipe);
  if (raw != -1) result.status = support::ExitStatus(raw);
  return result;
}

inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

#ifdef _WIN32
inline bool HasXmllint() { return false; }  // a Linux program: compared on the Linux side
#else
inline bool HasXmllint() { return std::filesystem::exists("/usr/bin/xmllint"); }
#endif

// What xmllint says of the file as XML; empty when it is well-formed.
inline std::string XmlProblems(const std::filesystem::path& path) {
  CommandResult r = RunCommand("/usr/bin/xmllint --noout " + Quoted(path));
  if (r.status != 0 && r.output.empty()) r.output = "xmllint failed";
  return r.output;
}

// What libxml2's HTML parser says of the page, less its complaints about the HTML5 and
// SVG element names it does not know ("Tag svg invalid"); empty when nothing else.
inline std::string HtmlProblems(const std::filesystem::path& path) {
  const CommandResult r = RunCommand("/usr/bin/xmllint --html --noout " + Quoted(path));
  std::istringstream lines(r.output);
  std::string line, problems;
  bool skipContext = false;
  while (std::getline(lines, line)) {
    if (line.find("HTML parser error : Tag ") != std::string::npos && line.ends_with(" invalid")) {
      skipContext = true;  // the two lines after it quote the place
      continue;
    }
    if (skipContext && line.find("parser error") == std::string::npos) continue;
    skipContext = false;
    problems += line + "\n";
  }
  if (r.status != 0) problems += "xmllint status " + std::to_string(r.status) + "\n";
  return problems;
}

// The string value of an XPath expression over an XML file, as xmllint prints it.
inline std::string XPathString(const std::filesystem::path& path, const std::string& expression) {
  std::string out = RunCommand("/usr/bin/xmllint --xpath 'string(" + expression + ")' " + Quoted(path)).output;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}
