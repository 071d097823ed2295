#pragma once
// Helpers the writer's tests share: reading files back, running the independent readers.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace xlstest {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at);
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at);
std::string Hex(const std::vector<std::uint8_t>& b);

// A fresh folder under the test's working directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// Runs read_xls.py (mode "cells", "format", "names", "print" or "ole") with the system Python; the output
// lines, or one line starting with "FAILED" when the reader failed.
std::vector<std::string> ReadBack(const std::string& mode, const std::filesystem::path& file);

// Converts workbooks to CSV with LibreOffice in one run; the CSV lines of each file.
std::vector<std::vector<std::string>> ConvertToCsv(const std::vector<std::filesystem::path>& files,
                                                   const std::filesystem::path& outDir);

// Converts workbooks to OpenDocument spreadsheets with LibreOffice in one run; the paths
// of the converted files, for ReadBack("print", ...).
std::vector<std::filesystem::path> ConvertToOds(const std::vector<std::filesystem::path>& files,
                                                const std::filesystem::path& outDir);

// SHA-256 (hex) of bytes, computed by the system Python.
std::string Sha256Hex(const std::vector<std::uint8_t>& data);

// One BIFF record of a stream: its type, data offset and data length.
struct RecordRef {
  std::uint16_t type;
  std::size_t offset;  // of the header
  std::uint16_t length;
};
std::vector<RecordRef> Records(const std::vector<std::uint8_t>& stream);

}  // namespace xlstest
