#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder per test, removed afterwards.
class TestDir {
 public:
  TestDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmira-test-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// The whole content of a file, as bytes.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
