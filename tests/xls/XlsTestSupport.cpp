#include "XlsTestSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace xlstest {

namespace {
// Tells this run's files from those of a run beside it in the same folder.
unsigned RunId() {
  static const unsigned id = std::random_device()();
  return id;
}
}  // namespace

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

std::string Hex(const std::vector<std::uint8_t>& b) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < b.size(); ++i) {
    std::snprintf(buf, sizeof buf, i == 0 ? "%02X" : " %02X", b[i]);
    s += buf;
  }
  return s;
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  m_path = std::filesystem::current_path() /
           ("xlstest-" + std::to_string(RunId()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(m_path);
  std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

namespace {

std::vector<std::string> Lines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

std::vector<std::string> ReadBack(const std::string& mode, const std::filesystem::path& file) {
  std::filesystem::path out = file.string() + "." + mode + ".txt";
  std::string command = std::string(VELMIRA_PYTHON) + " " +
                        Quote(std::string(VELMIRA_SOURCE_DIR) + "/tests/xls/read_xls.py") + " " +
                        mode + " " + Quote(file.string()) + " > " + Quote(out.string()) + " 2>&1";
  int status = std::system(command.c_str());
  std::vector<std::string> lines = Lines(out);
  if (status != 0) {
    std::string all = "FAILED";
    for (const auto& l : lines) all += "\n" + l;
    return {all};
  }
  return lines;
}

std::string Sha256Hex(const std::vector<std::uint8_t>& data) {
  static std::atomic<int> counter{0};
  std::filesystem::path raw = std::filesystem::current_path() /
                              ("sha-" + std::to_string(RunId()) + "-" + std::to_string(counter++));
  {
    std::ofstream f(raw, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  std::vector<std::string> lines = ReadBack("sha", raw);
  std::filesystem::remove(raw);
  std::filesystem::remove(raw.string() + ".sha.txt");
  return lines.empty() ? std::string() : lines[0];
}

namespace {

// One LibreOffice run over all files; each comes out in outDir under its stem.
void Convert(const std::vector<std::filesystem::path>& files, const std::filesystem::path& outDir,
             const std::string& filter) {
  // A private profile so that parallel runs do not share LibreOffice's user folder, and
  // the C locale so that numbers come out with a full stop whatever the tests run under.
  std::filesystem::path profile = outDir / "lo-profile";
  std::string command = "LC_ALL=C.UTF-8 LANG=C.UTF-8 soffice -env:UserInstallation=file://" + profile.string() +
                        " --headless --norestore --convert-to " + Quote(filter) + " --outdir " +
                        Quote(outDir.string());
  for (const auto& f : files) command += " " + Quote(f.string());
  command += " > " + Quote((outDir / "soffice.log").string()) + " 2>&1";
  std::system(command.c_str());
}

}  // namespace

std::vector<std::vector<std::string>> ConvertToCsv(const std::vector<std::filesystem::path>& files,
                                                   const std::filesystem::path& outDir) {
  Convert(files, outDir, "csv:Text - txt - csv (StarCalc):44,34,76,1");
  std::vector<std::vector<std::string>> result;
  for (const auto& f : files) {
    result.push_back(Lines(outDir / (f.stem().string() + ".csv")));
  }
  return result;
}

std::vector<std::filesystem::path> ConvertToOds(const std::vector<std::filesystem::path>& files,
                                                const std::filesystem::path& outDir) {
  Convert(files, outDir, "ods");
  std::vector<std::filesystem::path> result;
  for (const auto& f : files) result.push_back(outDir / (f.stem().string() + ".ods"));
  return result;
}

std::vector<RecordRef> Records(const std::vector<std::uint8_t>& stream) {
  std::vector<RecordRef> records;
  std::size_t at = 0;
  while (at + 4 <= stream.size()) {
    RecordRef r{U16(stream, at), at, U16(stream, at + 2)};
    records.push_back(r);
    at += 4 + r.length;
  }
  return records;
}

}  // namespace xlstest
