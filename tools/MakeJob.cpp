// velmira-make-job: writes a realistic TSJ job file (an SQLite 3 database) for tests,
// benchmarks and demonstrations.
//
// A job is a walk over a site somewhere in Turkey. Every surveyed point gets its own
// row in tblSoPoints and one rover station in tblStations, with one GNSS solution in
// tblCrdGnssRaw, its measurement time in tblCrdRawMeas and its base (an RTK base or a
// network's virtual base) in tblCrdBaseSt. Control points are revisited in later rounds
// at least an hour after the previous session, each session being a new survey point
// whose coordinates differ by a few centimetres. The job options in tblJobPrimOpts say
// which zone and which measurement method the controller was set to.
//
// The output depends only on the options: the generator has its own random numbers and
// draws every distribution by hand, and every number written is rounded so that the
// text SQLite makes of it reads back as the same double.
#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>


#include "platform/Console.h"
#include "platform/Files.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: velmira-make-job [--seed N] [--points N] [--meridian 27|30|33|36|39|42|45|none]\n"
    "                        [--method rtk|network|ask] [--mountpoint NAME]\n"
    "                        [--control-fraction F] [--float-fraction F]\n"
    "                        [--deleted-fraction F] [--hidden-fraction F] OUT.tsj\n";

// Job option identifiers in tblJobPrimOpts.
constexpr int kOptionCoordinateSystem = 2;
constexpr int kOptionMeasurementMode = 118;
constexpr int kOptionMountpoint = 851;

constexpr int kSolutionFixed = 4;
constexpr int kSolutionFloat = 5;
constexpr int kSolutionDgps = 2;

// 2024-01-01 00:00 UTC and 2026-07-01 00:00 UTC: job start dates fall between, which
// leaves room for the longest job to finish before 2027.
constexpr std::int64_t kFirstStartS = 1704067200;
constexpr std::int64_t kLastStartS = 1782864000;

constexpr double kMetresPerDegreeLat = 111000.0;  // close enough to place a site
constexpr double kCellM = 30.0;                   // one point per cell of the site
constexpr double kCellMarginM = 5.0;              // keeps points of neighbouring cells apart

enum class Method { Rtk, Network, Ask };

struct Options {
  std::uint64_t seed = 1;
  std::int64_t points = 200;
  int meridian = 33;  // 0: leave option 2 out
  Method method = Method::Network;
  std::string mountpoint = "VRSRTCM31";
  double controlFraction = 0.1;
  double floatFraction = 0.05;
  double deletedFraction = 0.03;
  double hiddenFraction = 0.01;
  std::string out;
};

// splitmix64 (Steele, Lea and Flood, "Fast splittable pseudorandom number generators",
// OOPSLA 2014): the same stream on every platform and standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // [0, 1) with 53 random bits.
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  // Integer in [lo, hi]; the modulo bias is far below anything a test could see.
  std::int64_t Int(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool Chance(double p) { return Uniform() < p; }
  // Irwin-Hall sum of twelve uniforms: a normal deviate without any libm call.
  double Normal(double sigma) {
    double sum = 0.0;
    for (int i = 0; i < 12; ++i) sum += Uniform();
    return (sum - 6.0) * sigma;
  }

 private:
  std::uint64_t m_state;
};

// The double nearest to value rounded to `decimals` places: an integer divided by an
// exact power of ten is the double that atof gives for the same decimal text.
double RoundTo(double value, int decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  return std::round(value * scale) / scale;
}

// ---- SQLite ownership ---------------------------------------------------------------

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

class Writer {
 public:
  bool Open(const std::string& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    m_db.reset(raw);
    if (rc != SQLITE_OK) return Fail("cannot create the database");
    return true;
  }
  bool Exec(const char* sql) {
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) return Fail(sql);
    return true;
  }
  bool Prepare(Stmt& stmt, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql, -1, &raw, nullptr) != SQLITE_OK) return Fail(sql);
    stmt.reset(raw);
    return true;
  }
  // Steps a statement whose parameters are bound, then resets it for the next row.
  bool Run(Stmt& stmt) {
    const int rc = sqlite3_step(stmt.get());
    sqlite3_reset(stmt.get());
    sqlite3_clear_bindings(stmt.get());
    if (rc != SQLITE_DONE) return Fail(sqlite3_sql(stmt.get()));
    return true;
  }
  bool Close() {
    if (sqlite3_close(m_db.release()) != SQLITE_OK) {
      m_error = "cannot close the database";
      return false;
    }
    return true;
  }
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const char* what) {
    m_error = std::string(what) + ": " + (m_db ? sqlite3_errmsg(m_db.get()) : "out of memory");
    return false;
  }
  Db m_db;
  std::string m_error;
};

void BindText(Stmt& s, int i, const std::string& v) {
  sqlite3_bind_text(s.get(), i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}
void BindBlob(Stmt& s, int i, const std::string& v) {
  sqlite3_bind_blob(s.get(), i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}
void BindInt(Stmt& s, int i, std::int64_t v) { sqlite3_bind_int64(s.get(), i, v); }
void BindReal(Stmt& s, int i, double v) { sqlite3_bind_double(s.get(), i, v); }

// Only the columns the reader uses; the keys are the rowids, as a controller's are.
constexpr const char* kSchema =
    "CREATE TABLE tblSoPoints (keySoPoint INTEGER PRIMARY KEY, Name TEXT, C1 REAL, C2 REAL,"
    " C3 REAL);"
    "CREATE TABLE tblStations (keyStation INTEGER PRIMARY KEY, fkeySoPoint INTEGER,"
    " DeletedFlag INTEGER);"
    "CREATE TABLE tblCrdRawMeas (keyCrdRawMeas INTEGER PRIMARY KEY, SecondsFrom1970 REAL);"
    "CREATE TABLE tblCrdBaseSt (keyCrdBaseSt INTEGER PRIMARY KEY, Name TEXT);"
    "CREATE TABLE tblCrdGnssRaw (xx REAL, yy REAL, zz REAL, SolutionType INTEGER,"
    " ObsDuration INTEGER, NumOfEpochs INTEGER, HDop REAL, VDop REAL, NumOfGpsSats INTEGER,"
    " NumOfGlonassSats INTEGER, fkeyRoverStation INTEGER, fkeyCrdRawMeas INTEGER,"
    " fKeyBaseStation INTEGER);"
    "CREATE TABLE tblJobPrimOpts (FieldId INTEGER, binaryValue BLOB);";

// ---- The job model -------------------------------------------------------------------

struct Site {
  double lat0Deg, lon0Deg;  // south-west corner
  double degPerMetreLat, degPerMetreLon;
  std::int64_t columns;
};

struct Counts {
  std::int64_t points = 0, control = 0, observations = 0, readable = 0, floats = 0,
               deleted = 0, hidden = 0;
};

class JobWriter {
 public:
  JobWriter(const Options& o, Writer& w) : m_o(o), m_w(w), m_rng(o.seed) {}

  bool Write(Counts& counts) {
    if (!m_w.Exec(kSchema)) return false;
    if (!m_w.Exec("BEGIN")) return false;
    if (!m_w.Prepare(m_insSoPoint,
                     "INSERT INTO tblSoPoints (keySoPoint, Name, C1, C2, C3) VALUES (?,?,?,?,?)") ||
        !m_w.Prepare(m_insStation,
                     "INSERT INTO tblStations (keyStation, fkeySoPoint, DeletedFlag)"
                     " VALUES (?,?,?)") ||
        !m_w.Prepare(m_insRawMeas,
                     "INSERT INTO tblCrdRawMeas (keyCrdRawMeas, SecondsFrom1970) VALUES (?,?)") ||
        !m_w.Prepare(m_insBase, "INSERT INTO tblCrdBaseSt (keyCrdBaseSt, Name) VALUES (?,?)") ||
        !m_w.Prepare(m_insGnss,
                     "INSERT INTO tblCrdGnssRaw (xx, yy, zz, SolutionType, ObsDuration,"
                     " NumOfEpochs, HDop, VDop, NumOfGpsSats, NumOfGlonassSats,"
                     " fkeyRoverStation, fkeyCrdRawMeas, fKeyBaseStation)"
                     " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)") ||
        !m_w.Prepare(m_insOption,
                     "INSERT INTO tblJobPrimOpts (FieldId, binaryValue) VALUES (?,?)")) {
      return false;
    }
    if (!WriteOptions() || !WriteObservations()) return false;
    m_insSoPoint.reset();
    m_insStation.reset();
    m_insRawMeas.reset();
    m_insBase.reset();
    m_insGnss.reset();
    m_insOption.reset();
    if (!m_w.Exec("COMMIT")) return false;
    counts = m_counts;
    return true;
  }

  int Meridian() const { return m_meridian; }

 private:
  struct Mark {  // a physical point on the ground
    double northM, eastM, heightM;
    std::string name;
    int sessions;        // 1 for detail points, 2 or 3 for control points
    double lastStartS;   // start of its latest session
  };

  bool WriteOptions() {
    // With no zone written the job still lies in one, chosen from the seed.
    m_meridian = m_o.meridian != 0 ? m_o.meridian : 27 + 3 * static_cast<int>(m_rng.Int(0, 6));
    // Options the reader ignores sit around the ones it reads, as in a real job.
    if (!Option(1, text::Utf8ToCp1254("İŞ-") + text::FormatInt(m_rng.Int(1, 999)) + '\0'))
      return false;
    if (m_o.meridian != 0) {
      static const char* const kZoneNames[] = {"ITRF96 / TM", "TUREF_TM", "ITRF96 3 Derece TM",
                                               "TUREF / TM"};
      const std::string zone = std::string(kZoneNames[m_rng.Int(0, 3)]) +
                               text::FormatInt(m_o.meridian);
      if (!Option(kOptionCoordinateSystem, zone + '\0')) return false;
    }
    if (!Option(3, LittleEndian(0))) return false;
    if (!Option(kOptionMeasurementMode, LittleEndian(m_o.method == Method::Rtk ? 0 : 1)))
      return false;
    if (m_o.method == Method::Network && !Option(kOptionMountpoint, m_o.mountpoint + '\0'))
      return false;
    return Option(900, LittleEndian(5));
  }

  static std::string LittleEndian(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return bytes;
  }

  bool Option(int fieldId, const std::string& value) {
    BindInt(m_insOption, 1, fieldId);
    BindBlob(m_insOption, 2, value);
    return m_w.Run(m_insOption);
  }

  Site PlaceSite() {
    const auto columns = static_cast<std::int64_t>(
        std::ceil(std::sqrt(static_cast<double>(m_o.points > 0 ? m_o.points : 1))));
    const double sideM = static_cast<double>(columns) * kCellM;
    Site s{};
    s.columns = columns;
    s.degPerMetreLat = 1.0 / kMetresPerDegreeLat;
    const double sideLatDeg = sideM * s.degPerMetreLat;
    s.lat0Deg = m_rng.Uniform(36.2, 41.8 - sideLatDeg);
    // Within 1.3 degrees of the meridian and inside the country (26 to 44.8 east).
    s.degPerMetreLon = 1.0 / (kMetresPerDegreeLat * std::cos(s.lat0Deg * 3.14159265358979 / 180.0));
    const double sideLonDeg = sideM * s.degPerMetreLon;
    double west = m_meridian - 1.3;
    double east = m_meridian + 1.3 - sideLonDeg;
    if (west < 26.0) west = 26.0;
    if (east > 44.8 - sideLonDeg) east = 44.8 - sideLonDeg;
    if (east < west) east = west;
    s.lon0Deg = m_rng.Uniform(west, east);
    return s;
  }

  std::string NextName(bool control) {
    static const char* const kTurkish[] = {"KÖŞE", "İSKELE", "ĞÜŞ", "ÇEŞME", "DİREK",
                                           "BİNA KÖŞESİ", "ŞEV", "AĞAÇ", "DUVAR", "ÖLÇÜ"};
    if (m_rng.Chance(m_o.hiddenFraction)) {
      ++m_counts.hidden;
      return "!000" + text::FormatInt(++m_hiddenNo);
    }
    if (m_rng.Chance(0.12)) {
      const auto k = static_cast<std::size_t>(m_rng.Int(0, 9));
      std::string name = text::Utf8ToCp1254(kTurkish[k]);
      // The first use of each word is the bare word.
      if (m_turkishUsed[k]++ > 0) name += text::FormatInt(static_cast<std::int64_t>(m_turkishUsed[k]));
      return name;
    }
    if (control) return "P" + text::FormatInt(++m_controlNo);
    // One name carries "!000" after its first character: the reader keeps it.
    if (++m_detailNo == 40) return "K!000" + text::FormatInt(m_detailNo);
    return text::FormatInt(1000 + m_detailNo);
  }

  std::int64_t BaseKey() {
    if (m_observationsOnBase-- <= 0) {
      std::string name;
      if (m_o.method == Method::Rtk) {
        static const char* const kBases[] = {"BAZ1", "BAZ2", "ÇATI BAZ"};
        name = text::Utf8ToCp1254(kBases[m_rng.Int(0, 2)]);
        m_observationsOnBase = m_rng.Int(100, 400);
      } else {
        // A network gives every connection a virtual base of its own.
        name = "VRS" + text::FormatInt(m_rng.Int(10000, 99999));
        m_observationsOnBase = m_rng.Int(10, 60);
      }
      BindInt(m_insBase, 1, ++m_baseKey);
      BindText(m_insBase, 2, name);
      if (!m_w.Run(m_insBase)) return -1;
    }
    return m_baseKey;
  }

  // One occupation: a survey point row (unless it re-measures soKey), a station, a raw
  // measurement and a GNSS solution. Returns false on a database error.
  bool Observe(Mark& mark, bool control, bool deleted, std::int64_t reuseSoKey,
               std::int64_t* soKeyOut) {
    const bool fixed = !m_rng.Chance(m_o.floatFraction);
    const int solution = fixed ? kSolutionFixed
                               : (m_rng.Chance(0.2) ? kSolutionDgps : kSolutionFloat);
    const double sigmaH = fixed ? m_rng.Uniform(0.004, 0.012) : m_rng.Uniform(0.08, 0.5);
    const double sigmaV = sigmaH * m_rng.Uniform(1.3, 2.0);

    // Sessions of a control point scatter by about a centimetre and a half.
    const double scatterH = control ? 0.012 : sigmaH;
    const double northM = mark.northM + m_rng.Normal(fixed ? scatterH : sigmaH);
    const double eastM = mark.eastM + m_rng.Normal(fixed ? scatterH : sigmaH);
    const double heightM = mark.heightM + m_rng.Normal(fixed ? scatterH * 1.6 : sigmaV);

    const std::int64_t epochs = control ? m_rng.Int(60, 300) : m_rng.Int(3, 10);
    const std::int64_t durationMs = epochs * 1000 - m_rng.Int(0, 999);
    m_clockS += control ? m_rng.Uniform(120.0, 600.0) : m_rng.Uniform(15.0, 90.0);
    double startS = m_clockS;
    if (mark.sessions > 0 && startS < mark.lastStartS + 3600.0) {
      startS = mark.lastStartS + 3600.0 + m_rng.Uniform(0.0, 1800.0);
    }
    mark.lastStartS = startS;
    ++mark.sessions;
    const double endS = RoundTo(startS + static_cast<double>(durationMs) / 1000.0, 3);
    m_clockS = endS;

    std::int64_t soKey = reuseSoKey;
    if (soKey == 0) {
      soKey = ++m_soKey;
      BindInt(m_insSoPoint, 1, soKey);
      BindText(m_insSoPoint, 2, mark.name);
      BindReal(m_insSoPoint, 3, RoundTo(m_site.lat0Deg + northM * m_site.degPerMetreLat, 10));
      BindReal(m_insSoPoint, 4, RoundTo(m_site.lon0Deg + eastM * m_site.degPerMetreLon, 10));
      BindReal(m_insSoPoint, 5, RoundTo(heightM, 4));
      if (!m_w.Run(m_insSoPoint)) return false;
    }
    if (soKeyOut) *soKeyOut = soKey;

    BindInt(m_insStation, 1, ++m_stationKey);
    BindInt(m_insStation, 2, soKey);
    BindInt(m_insStation, 3, deleted ? 1 : 0);
    if (!m_w.Run(m_insStation)) return false;

    BindInt(m_insRawMeas, 1, ++m_rawMeasKey);
    BindReal(m_insRawMeas, 2, endS);
    if (!m_w.Run(m_insRawMeas)) return false;

    const std::int64_t baseKey = BaseKey();
    if (baseKey < 0) return false;

    // Variances in square metres, the dilutions as the receiver's single floats.
    const double split = m_rng.Uniform(0.7, 1.3);
    BindReal(m_insGnss, 1, RoundTo(sigmaH * sigmaH * split, 10));
    BindReal(m_insGnss, 2, RoundTo(sigmaH * sigmaH / split, 10));
    BindReal(m_insGnss, 3, RoundTo(sigmaV * sigmaV, 10));
    BindInt(m_insGnss, 4, solution);
    BindInt(m_insGnss, 5, durationMs);
    BindInt(m_insGnss, 6, epochs);
    const double hdopMax = fixed ? 1.4 : 3.0;
    BindReal(m_insGnss, 7, static_cast<double>(static_cast<float>(m_rng.Uniform(0.5, hdopMax))));
    BindReal(m_insGnss, 8, static_cast<double>(static_cast<float>(m_rng.Uniform(0.8, hdopMax + 1.0))));
    BindInt(m_insGnss, 9, m_rng.Int(6, 12));
    BindInt(m_insGnss, 10, m_rng.Chance(0.1) ? 0 : m_rng.Int(2, 9));
    BindInt(m_insGnss, 11, m_stationKey);
    BindInt(m_insGnss, 12, m_rawMeasKey);
    BindInt(m_insGnss, 13, baseKey);
    if (!m_w.Run(m_insGnss)) return false;

    ++m_counts.observations;
    if (!fixed) ++m_counts.floats;
    if (deleted) ++m_counts.deleted;
    if (fixed && !deleted && mark.name.rfind("!000", 0) != 0) ++m_counts.readable;
    return true;
  }

  bool WriteObservations() {
    m_site = PlaceSite();
    m_clockS = static_cast<double>(m_rng.Int(kFirstStartS / 86400, kLastStartS / 86400) * 86400 +
                                   m_rng.Int(5 * 3600, 8 * 3600));
    const double siteHeightM = m_rng.Uniform(5.0, 1800.0);
    std::vector<std::size_t> controls;
    std::vector<Mark> marks;
    marks.reserve(static_cast<std::size_t>(m_o.points));

    // First round: the whole site, cell after cell, turning at the end of each row.
    for (std::int64_t i = 0; i < m_o.points; ++i) {
      const std::int64_t row = i / m_site.columns;
      std::int64_t column = i % m_site.columns;
      if (row % 2 == 1) column = m_site.columns - 1 - column;
      const bool control = m_rng.Chance(m_o.controlFraction);
      Mark mark;
      mark.northM = static_cast<double>(row) * kCellM + m_rng.Uniform(kCellMarginM, kCellM - kCellMarginM);
      mark.eastM = static_cast<double>(column) * kCellM + m_rng.Uniform(kCellMarginM, kCellM - kCellMarginM);
      mark.heightM = siteHeightM + m_rng.Uniform(-15.0, 15.0);
      mark.name = NextName(control);
      mark.sessions = 0;
      mark.lastStartS = 0.0;
      ++m_counts.points;

      // Deleted stations: an occupation redone at once (the old one deleted, the
      // survey point kept) or a point deleted altogether.
      const bool deleted = m_rng.Chance(m_o.deletedFraction);
      if (deleted && m_rng.Chance(0.5)) {
        if (!Observe(mark, control, true, 0, nullptr)) return false;
      } else {
        std::int64_t soKey = 0;
        if (deleted) {
          if (!Observe(mark, control, true, 0, &soKey)) return false;
          mark.sessions = 0;
        }
        if (!Observe(mark, control, false, soKey, nullptr)) return false;
        if (control) {
          ++m_counts.control;
          controls.push_back(marks.size());
        }
      }
      marks.push_back(std::move(mark));
    }

    // Later rounds: every control point again, a quarter of them a third time.
    std::vector<std::size_t> third;
    for (std::size_t k : controls) {
      if (!Observe(marks[k], true, false, 0, nullptr)) return false;
      if (m_rng.Chance(0.25)) third.push_back(k);
    }
    for (std::size_t k : third) {
      if (!Observe(marks[k], true, false, 0, nullptr)) return false;
    }
    return true;
  }

  const Options& m_o;
  Writer& m_w;
  Rng m_rng;
  Site m_site{};
  Counts m_counts;
  int m_meridian = 0;
  double m_clockS = 0.0;
  std::int64_t m_soKey = 0, m_stationKey = 0, m_rawMeasKey = 0, m_baseKey = 0;
  std::int64_t m_observationsOnBase = 0;
  std::int64_t m_hiddenNo = 0, m_controlNo = 0, m_detailNo = 0;
  int m_turkishUsed[10] = {};
  Stmt m_insSoPoint, m_insStation, m_insRawMeas, m_insBase, m_insGnss, m_insOption;
};

// ---- Command line ----------------------------------------------------------------------

template <typename T>
bool ParseNumber(std::string_view s, T& out) {
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool ParseFraction(std::string_view s, double& out) {
  return ParseNumber(s, out) && out >= 0.0 && out <= 1.0;
}

// Returns an error text, empty on success.
std::string ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.size() < 2 || arg.substr(0, 2) != "--") {
      if (!o.out.empty()) return "more than one output file given";
      o.out = std::string(arg);
      continue;
    }
    if (i + 1 >= argc) return std::string(arg) + " needs a value";
    const std::string_view value = argv[++i];
    if (arg == "--seed") {
      if (!ParseNumber(value, o.seed)) return "--seed takes a non-negative integer";
    } else if (arg == "--points") {
      if (!ParseNumber(value, o.points) || o.points < 0 || o.points > 10000000)
        return "--points takes an integer from 0 to 10000000";
    } else if (arg == "--meridian") {
      if (value == "none") {
        o.meridian = 0;
      } else if (!ParseNumber(value, o.meridian) || o.meridian < 27 || o.meridian > 45 ||
                 o.meridian % 3 != 0) {
        return "--meridian takes 27, 30, 33, 36, 39, 42, 45 or none";
      }
    } else if (arg == "--method") {
      if (value == "rtk") o.method = Method::Rtk;
      else if (value == "network") o.method = Method::Network;
      else if (value == "ask") o.method = Method::Ask;
      else return "--method takes rtk, network or ask";
    } else if (arg == "--mountpoint") {
      o.mountpoint = text::Utf8ToCp1254(value);
      if (o.mountpoint.empty() || o.mountpoint.find('\0') != std::string::npos)
        return "--mountpoint takes a non-empty name";
    } else if (arg == "--control-fraction") {
      if (!ParseFraction(value, o.controlFraction)) return "--control-fraction takes 0 to 1";
    } else if (arg == "--float-fraction") {
      if (!ParseFraction(value, o.floatFraction)) return "--float-fraction takes 0 to 1";
    } else if (arg == "--deleted-fraction") {
      if (!ParseFraction(value, o.deletedFraction)) return "--deleted-fraction takes 0 to 1";
    } else if (arg == "--hidden-fraction") {
      if (!ParseFraction(value, o.hiddenFraction)) return "--hidden-fraction takes 0 to 1";
    } else {
      return "unknown option " + std::string(arg);
    }
  }
  if (o.out.empty()) return "no output file given";
  return {};
}

const char* MethodName(Method m) {
  switch (m) {
    case Method::Rtk: return "rtk";
    case Method::Network: return "network";
    case Method::Ask: return "ask";
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  // UTF-8 arguments on every system, so that Turkish file names reach SQLite intact.
  std::vector<std::string> arguments = CommandLineArguments(argc, argv);
  std::vector<char*> utf8Argv{argv[0]};
  for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
  Options o;
  const std::string usageError = ParseArgs(static_cast<int>(utf8Argv.size()), utf8Argv.data(), o);
  if (!usageError.empty()) {
    std::fprintf(stderr, "velmira-make-job: %s\n%s", usageError.c_str(), kUsage);
    return kExitUsage;
  }

  // The job is built beside its destination and renamed over it when complete, so an
  // earlier file of that name is replaced whole or not at all.
  const std::string temp = o.out + ".part" + text::FormatInt(static_cast<std::int64_t>(std::random_device()() % 1000000));
  std::error_code ignored;
  std::filesystem::remove(PathFromUtf8(temp), ignored);
  Counts counts;
  int meridian = 0;
  std::string error;
  {
    Writer writer;
    if (!writer.Open(temp) || !writer.Exec("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF")) {
      error = writer.Error();
    } else {
      JobWriter job(o, writer);
      if (!job.Write(counts)) error = writer.Error();
      meridian = job.Meridian();
    }
    if (error.empty() && !writer.Close()) error = writer.Error();
  }
  if (error.empty()) {
    if (const Status replaced = ReplaceWith(PathFromUtf8(temp), PathFromUtf8(o.out)); !replaced) {
      error = "cannot replace " + o.out + ": " + replaced.cause();
    }
  }
  if (!error.empty()) {
    std::filesystem::remove(PathFromUtf8(temp), ignored);
    std::fprintf(stderr, "velmira-make-job: %s: %s\n", o.out.c_str(), error.c_str());
    return kExitError;
  }

  std::printf("%s: %lld points (%lld control), %lld observations, %lld readable fixed, "
              "%lld float, %lld deleted, %lld hidden; meridian %s%d, method %s%s%s, seed %llu\n",
              o.out.c_str(), static_cast<long long>(counts.points),
              static_cast<long long>(counts.control), static_cast<long long>(counts.observations),
              static_cast<long long>(counts.readable), static_cast<long long>(counts.floats),
              static_cast<long long>(counts.deleted), static_cast<long long>(counts.hidden),
              o.meridian == 0 ? "not written, points in " : "", meridian, MethodName(o.method),
              o.method == Method::Network ? " " : "",
              o.method == Method::Network ? text::Cp1254ToUtf8(o.mountpoint).c_str() : "",
              static_cast<unsigned long long>(o.seed));
  return 0;
}
