#pragma once
// Writes small job databases with exactly the rows a test needs.
#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct JobRow {
  std::string name = "P1";
  std::string base = "BASE";
  std::string lat = "39.5";
  std::string lon = "33.2";
  std::string height = "850.25";
  std::string xx = "0.0001", yy = "0.0001", zz = "0.0002";
  std::string solution = "4";
  std::string durationMs = "60000";
  std::string seconds = "1719515159";  // 2024-06-27 19:05:59 UTC
  std::string epochs = "60";
  std::string hdop = "0.8", vdop = "1.2";
  std::string gps = "9", glonass = "6";
  int deleted = 0;
  bool nulls = false;  // every numeric column NULL
};

struct JobOptions {
  std::optional<std::string> zone = "TUREF / TM33";  // option 2
  std::optional<std::string> rtk = std::string("\0\0\0\0", 4);  // option 118 blob
  std::optional<std::string> mountpoint;                         // option 851
  bool withOptionsTable = true;
  // A wide column the reader ignores and an index that covers every column it reads, so
  // that SQLite reads the GNSS rows from the index, as with a controller's wider tables.
  bool coveringIndex = false;
};

class JobFileBuilder {
 public:
  static void Write(const std::filesystem::path& path, const std::vector<JobRow>& rows,
                    const JobOptions& options = {}, bool keepWalOpen = false);
};
