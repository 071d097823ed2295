#pragma once
// The rule check: every point of the loaded job files and every matched pair judged
// against a regulation profile. The result is a list of findings, one per broken (or
// unconfirmable) rule, that the command line prints and the desktop shows as a table.
//
// Order: job files in list order, then points in list order, then pairs in list order;
// within a row the rules in the order no-points, unread-point, count, epochs,
// satellites, diff-y, diff-x, diff-h, hours, technique, same-file, zone. Job files get
// no-points (a file without a fixed point: nothing to judge is never ready) and
// unread-point (one per point left out for its values);
// points get count (a count no receiver can give), epochs (the detail limit) and zone;
// pairs get epochs, satellites, the three differences and hours, and under a network
// profile technique and same-file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "jobdata/Records.h"
#include "rules/RuleProfile.h"

class CVelmiraDoc;

struct Finding {
  enum class Target { Point, Pair, File };
  enum class Level { Error, Warning };  // "Hata": the rule is broken; "Uyarı": cannot be confirmed

  Target target = Target::Point;
  int nIndex = 0;       // a point's nIndex; a pair's nPairNo (the matching table's "nIndex" column); 0 for a file
  int nFileNumber = 0;  // the point's or the file's job file; 0 for a pair
  // Every text below is Windows-1254, like the tables' row texts: names come from the job file.
  std::string strName;  // the point's name; a pair's session-1 name; a file's name or its left-out point's
  std::string rule;     // stable id: "epochs", "satellites", "diff-y", ...
  std::string value;    // as the tables print it, full stop, no unit
  std::string limit;
  Level level = Level::Error;
  std::string text;    // the rule, in Turkish
  std::string source;  // where the rule comes from
};

// Zone limits: a TM zone covers 1.5 degrees either side of its central meridian; beyond
// 3 degrees the point belongs to another zone.
inline constexpr double kZoneHalfWidthDeg = 1.5;
inline constexpr double kWrongZoneDeg = 3.0;

// Counts beyond these no receiver gives: no constellation has more satellites (IS-GPS-200
// numbers GPS satellites up to 63, BeiDou's too), and an RTK session is not longer than a
// day (epochs: a day at 20 Hz). A negative count is as absurd.
inline constexpr std::int64_t kMaxSatellitesPerSystem = 64;
inline constexpr std::int64_t kMaxEpochs = 1'728'000;
inline constexpr std::int64_t kMaxDurationS = 86'400;

// The job files' findings first, then those of the lists.
std::vector<Finding> CheckRules(const CVelmiraDoc& doc, const RuleProfile& profile);
// The findings of the job files alone: no-points and unread-point.
std::vector<Finding> CheckJobFiles(const std::vector<tsjdosya>& files, const std::vector<CTarvekNokta>& points,
                                   const std::vector<CRefusedPoint>& refused);
// The same as CheckRules(doc) on the lists themselves, without the job files' findings. A pair whose session is no longer loaded (its job file
// was removed after matching) is not judged: it is no longer shown.
std::vector<Finding> CheckRules(const std::vector<CTarvekNokta>& points, const std::vector<CEslesenNokta>& pairs,
                                const RuleProfile& profile);

// The zone rule for one point: a warning beyond 1.5 degrees from its meridian, an error
// beyond 3 (or when its longitude or meridian is not a number); nothing within.
std::optional<Finding> CheckZone(const CTarvekNokta& point);
// The information note for a job file just added, UTF-8; nothing when all its points lie
// within their zone. It names how many points lie outside and the farthest one.
std::optional<std::string> ZoneNote(const std::vector<CTarvekNokta>& points, int nFileNumber);

// The worst level of the findings on each point, on its own row or on one of its pairs,
// by the point's nIndex; points without a finding are not in the map.
std::unordered_map<int, Finding::Level> WorstLevelByPoint(const std::vector<CEslesenNokta>& pairs,
                                                          const std::vector<Finding>& findings);

struct Verdict {
  int errors = 0;
  int warnings = 0;
  // Ready for delivery: no error. Warnings do not stop a delivery.
  bool Ready() const { return errors == 0; }
  // UTF-8: "Teslime hazır: hata yok" (with ", M uyarı" when there are warnings), or
  // "N hata, M uyarı".
  std::string Text() const;
};
Verdict Summarize(const std::vector<Finding>& findings);

// The check table: headers UTF-8, row texts Windows-1254.
constexpr int kFindingColumns = 7;
const std::array<const char*, kFindingColumns>& FindingTableHeaders();
// Satır ("N:<nIndex>/<file number>", "Ç:<pair nIndex>", or "D:<file number>" for a job
// file), Nokta Adı, Kural, Değer, Sınır,
// Düzey ("Hata"/"Uyarı"), Açıklama (the rule text and its source).
std::array<std::string, kFindingColumns> FindingRowTexts(const Finding& finding);
