// velmira-cli as a black box: its output, exit status and standard error for job files
// that the generator makes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "text/Numbers.h"
#include "support/Portable.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = fs::temp_directory_path() / ("velmira-cli-test-" + std::to_string(getpid()));
    fs::create_directories(s_dir);
    MakeJob("network.tsj", "--seed 11 --points 60 --method network --mountpoint VRSRTCM31");
    MakeJob("rtk.tsj", "--seed 12 --points 30 --method rtk --meridian 30");
    MakeJob("nozone.tsj", "--seed 13 --points 10 --meridian none");
    MakeJob("ask.tsj", "--seed 14 --points 10 --method ask");
    MakeJob("odd.tsj", "--seed 15 --points 10 --method network --mountpoint CUSTOM1");
    MakeJob("crowd.tsj", "--seed 16 --points 1500 --method rtk");
    MakeJob("dgps.tsj", "--seed 17 --points 40 --method network --mountpoint DGPSNET");
    std::ofstream(s_dir / "notes.tsj") << "not a database\n";
    const std::string whole = ReadFile(s_dir / "network.tsj");
    std::ofstream(s_dir / "truncated.tsj", std::ios::binary) << whole.substr(0, whole.size() / 2);
    fs::create_directories(s_dir / "folder.tsj");
    std::string flipped = whole;
    flipped[47] = static_cast<char>(flipped[47] ^ 1);  // the schema format number
    std::ofstream(s_dir / "format47.tsj", std::ios::binary) << flipped;
    Changed("nofix.tsj", "update tblCrdGnssRaw set SolutionType=2");
    Changed("nanlat.tsj",
            "update tblSoPoints set C1='nan' where keySoPoint in (select b.fkeySoPoint from tblCrdGnssRaw a "
            "join tblStations b on a.fkeyRoverStation=b.keyStation where a.SolutionType=4 and b.DeletedFlag=0 limit 1)");
    Changed("sats.tsj", "update tblCrdGnssRaw set NumOfGpsSats=2147483648");
  }

  // network.tsj with one statement applied.
  static void Changed(const std::string& name, const char* sql) {
    fs::copy_file(s_dir / "network.tsj", s_dir / name);
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open((s_dir / name).string().c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  static void TearDownTestSuite() { fs::remove_all(s_dir); }

  static void MakeJob(const std::string& name, const std::string& args) {
    const std::string cmd = std::string(VELMIRA_MAKE_JOB) + " " + args + " " + (s_dir / name).string() + " >/dev/null";
    ASSERT_EQ(0, std::system(cmd.c_str())) << cmd;
  }

  static std::string Job(const std::string& name) { return (s_dir / name).string(); }

  // Runs velmira-cli with its own cache folder so that tests never share copies.
  // before: shell commands run first, in the same shell.
  static RunResult Run(const std::string& args, const std::string& locale = "C", const std::string& before = "") {
    const fs::path err = s_dir / "stderr.txt";
    const std::string cmd = before + "LC_ALL=" + locale + " XDG_CACHE_HOME=" + (s_dir / "cache").string() + " " +
                            VELMIRA_CLI + " " + args + " 2>" + err.string();
    RunResult r;
    FILE* pipe = popen(cmd.c_str(), "r");
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    r.status = support::ExitStatus(pclose(pipe));
    r.err = ReadFile(err);
    return r;
  }

  // Compares with a committed golden file; VELMIRA_UPDATE_GOLDEN=1 rewrites it.
  static void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path path = fs::path(VELMIRA_GOLDEN_DIR) / name;
    if (std::getenv("VELMIRA_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << actual;
    const std::string expected = ReadFile(path);
    if (expected == actual) return;
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int line = 1;; ++line) {
      const bool he = static_cast<bool>(std::getline(e, le)), ha = static_cast<bool>(std::getline(a, la));
      if (!he && !ha) break;
      if (le != la || he != ha) {
        ADD_FAILURE() << name << ": first difference at line " << line << "\nexpected: " << le << "\nactual:   " << la;
        return;
      }
    }
  }

  static fs::path s_dir;
};

fs::path CliTest::s_dir;

TEST_F(CliTest, PointsOfSeveralJobsMatchTheGoldenTableUnderEveryLocale) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const RunResult c = Run("points " + Job("network.tsj") + " " + Job("rtk.tsj"));
  ASSERT_EQ(0, c.status) << c.err;
  ExpectGolden("points.txt", c.out);
  const RunResult tr = Run("points " + Job("network.tsj") + " " + Job("rtk.tsj"), "tr_TR.UTF-8");
  EXPECT_EQ(c.out, tr.out);
  // The information notes go to standard error and do not stop the run.
  EXPECT_NE(std::string::npos, c.err.find("RTK yöntemi ile ölçülmüş"));
  EXPECT_NE(std::string::npos, c.err.find("FIX olarak çözümlenmemiş"));
}

TEST_F(CliTest, MatchWithFlagsMatchesTheGoldenTable) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const RunResult r = Run("match --flags --tolerance 0.5 --min-hours 1.5 " + Job("network.tsj") + " " + Job("rtk.tsj"));
  ASSERT_EQ(0, r.status) << r.err;
  ExpectGolden("match-flags.txt", r.out);
  EXPECT_EQ(r.out, Run("match --flags --tolerance 0.5 --min-hours 1.5 " + Job("network.tsj") + " " +
                       Job("rtk.tsj"), "tr_TR.UTF-8").out);
  const RunResult plain = Run("match " + Job("network.tsj"));
  ASSERT_EQ(0, plain.status);
  EXPECT_EQ(0u, plain.out.find("1.Oturum\t2.Oturum\t1.Oturum Epok Sayısı"));
  EXPECT_EQ(std::string::npos, plain.out.find("Flags"));
}

// The projected coordinates are checked against PROJ, an independent implementation.
TEST_F(CliTest, PrintedGridCoordinatesAgreeWithProj) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  if (std::system("command -v proj >/dev/null 2>&1") != 0) VELMIRA_ORACLE_MISSING("proj not installed");
  const RunResult r = Run("points " + Job("network.tsj"));
  ASSERT_EQ(0, r.status);
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // header
  std::ofstream input(s_dir / "lonlat.txt");
  std::vector<std::pair<double, double>> ours;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    ASSERT_EQ(20u, cells.size());
    input << cells[16] << ' ' << cells[15] << '\n';
    ours.emplace_back(text::AtoF(cells[2]), text::AtoF(cells[3]));
  }
  input.close();
  const std::string cmd = "proj +proj=tmerc +lat_0=0 +lon_0=33 +k=1 +x_0=500000 +y_0=0 +ellps=GRS80 -f %.4f < " +
                          (s_dir / "lonlat.txt").string();
  FILE* pipe = popen(cmd.c_str(), "r");
  double e = 0, n = 0;
  size_t i = 0;
  while (fscanf(pipe, "%lf %lf", &e, &n) == 2) {
    ASSERT_LT(i, ours.size());
    EXPECT_LT(std::hypot(e - ours[i].first, n - ours[i].second), 0.002) << "point " << i;
    ++i;
  }
  pclose(pipe);
  EXPECT_EQ(ours.size(), i);
  EXPECT_GT(i, 40u);
}

struct ExitCase {
  const char* name;
  std::string args;
  int status;
  const char* stderrHas;
};

// "@name" stands for the path of a generated job file.
std::string WithJobPaths(std::string args, const std::function<std::string(const std::string&)>& job) {
  for (size_t at; (at = args.find("@")) != std::string::npos;) {
    const size_t end = args.find(' ', at);
    const std::string name = args.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    args.replace(at, name.size() + 1, job(name));
  }
  return args;
}

class CliExit : public CliTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(CliExit, ReportsByExitStatusAndStandardError) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const ExitCase& c = GetParam();
  const RunResult r = Run(WithJobPaths(c.args, Job));
  EXPECT_EQ(c.status, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.err.find(c.stderrHas)) << r.err;
  if (c.status != 0) {
    EXPECT_EQ("", r.out);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExit,
    ::testing::Values(
        ExitCase{"NotADatabase", "points @notes.tsj", 1, "TARVEK TSJ Değil"},
        ExitCase{"MissingFile", "points @nothere.tsj", 1, "okunamadı"},
        ExitCase{"ZoneNeeded", "points @nozone.tsj", 1, "--meridian"},
        ExitCase{"ZoneGiven", "points --meridian 36 @nozone.tsj", 0, ""},
        ExitCase{"MethodNeeded", "points @ask.tsj", 1, "Ölçü Yöntemi belirlenemediğinden"},
        ExitCase{"MethodGiven", "points --method RTK @ask.tsj", 0, ""},
        ExitCase{"MountpointGiven", "points --method FKP02 @odd.tsj", 0, ""},
        ExitCase{"TodaysMountpointGiven", "points --method FKP_RTCM31 @odd.tsj", 0, ""},
        ExitCase{"RtkIsNoMountpoint", "points --method RTK @odd.tsj", 2, "usage:"},
        ExitCase{"StopsAtTheFirstRefusal", "points @network.tsj @notes.tsj @rtk.tsj", 1, "TARVEK TSJ Değil"},
        ExitCase{"BadMeridian", "points --meridian 31 @network.tsj", 2, "usage:"},
        ExitCase{"MethodWithWrongCase", "points --method vrsrtcm31 @network.tsj", 2, "--method"},
        ExitCase{"NumberWithComma", "match --tolerance 1,5 @network.tsj", 2, "--tolerance"},
        ExitCase{"NumberNotFinite", "match --max-dy nan @network.tsj", 2, "--max-dy"},
        ExitCase{"ToleranceZero", "match --tolerance 0 @network.tsj", 2, "--tolerance must be a number greater than zero"},
        ExitCase{"ToleranceNegative", "match --tolerance -1 @network.tsj", 2, "greater than zero"},
        ExitCase{"ToleranceInfinite", "match --tolerance inf @network.tsj", 2, "--tolerance"},
        ExitCase{"TooManyPairs", "match --tolerance 1e308 @crowd.tsj", 1, "1000000"},
        ExitCase{"Truncated", "points --meridian 33 @truncated.tsj", 1, "TSJ Dosyası bozuk"},
        ExitCase{"Folder", "points @folder.tsj", 1, "Düzenli bir dosya değil"},
        ExitCase{"MissingValue", "match @network.tsj --min-hours", 2, "--min-hours needs a value"},
        ExitCase{"UnknownOption", "points --colour @network.tsj", 2, "unknown option"},
        ExitCase{"UnknownCommand", "plot @network.tsj", 2, "unknown command"},
        ExitCase{"NoJobFile", "points", 2, "no job file"},
        ExitCase{"FlagsOnlyForMatch", "points --flags @network.tsj", 2, "--flags"},
        ExitCase{"UnknownProfile", "check --profile gps @network.tsj", 2, "--profile must be ag-rtk or klasik-rtk"},
        ExitCase{"ProfileOnlyForCheck", "match --profile ag-rtk @network.tsj", 2, "--profile belongs to check"},
        ExitCase{"CheckWithoutJobFile", "check --profile ag-rtk", 2, "no job file"},
        ExitCase{"CheckOfARefusedJob", "check @network.tsj @notes.tsj", 1, "TARVEK TSJ Değil"},
        ExitCase{"DeliverWithoutFolder", "deliver @network.tsj", 2, "-o FOLDER is needed"},
        ExitCase{"DeliverIntoAFile", "deliver -o @notes.tsj @network.tsj", 1, "bir dosyanın"},
        ExitCase{"DeliverIntoAFullFolder", "deliver -o @folder.tsj/.. @network.tsj", 1, "boş değil"},
        ExitCase{"DeliverBesideAMissingFolder", "deliver -o @nothere/out @network.tsj", 1, "bulunacağı klasör yok"},
        ExitCase{"FlagsNotForDeliver", "deliver --flags -o @out @network.tsj", 2, "--flags"}),
    [](const auto& info) { return info.param.name; });


// Two runs at once once shared one copy and printed each other's points.
TEST_F(CliTest, RunsAtTheSameTimeReadOnlyTheirOwnJobFiles) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string a = "points " + Job("network.tsj");
  const std::string b = "points " + Job("rtk.tsj");
  const std::string expectedA = Run(a).out, expectedB = Run(b).out;
  ASSERT_NE(expectedA, expectedB);
  const fs::path cache = s_dir / "shared-cache";
  auto start = [&](const std::string& args) {
    return popen(("XDG_CACHE_HOME=" + cache.string() + " " + VELMIRA_CLI + " " + args + " 2>/dev/null").c_str(), "r");
  };
  auto finish = [](FILE* pipe) {
    std::string out;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
  };
  for (int pair = 0; pair < 20; ++pair) {
    FILE* first = start(a);
    FILE* second = start(b);
    EXPECT_EQ(expectedA, finish(first)) << "pair " << pair;
    EXPECT_EQ(expectedB, finish(second)) << "pair " << pair;
  }
  // Each run removed its own folder; no job data stays on disk.
  for (const auto& entry : fs::directory_iterator(cache / "velmira")) ADD_FAILURE() << "left behind: " << entry.path();
}

TEST_F(CliTest, AFifoIsRefusedWithinASecond) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const fs::path fifo = s_dir / "pipe.tsj";
  fs::remove(fifo);
#ifndef _WIN32
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
#endif
  for (const char* command : {"points ", "match ", "detail -o never.xls ", "polygon -o never.xls "}) {
    const auto begin = std::chrono::steady_clock::now();
    const RunResult r = Run(std::string(command) + fifo.string());
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1)) << command;
    EXPECT_EQ(1, r.status) << command;
    EXPECT_NE(std::string::npos, r.err.find("TSJ Dosyası okunamadı: " + fifo.string())) << r.err;
  }
}

// A name from the field may hold the separators; escaped, a row stays one line.
TEST_F(CliTest, CellTextsEscapeTabsLineBreaksAndBackslashes) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const fs::path job = s_dir / "odd-names.tsj";
  fs::copy_file(Job("network.tsj"), job, fs::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(job).c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                    "update tblSoPoints set Name = 'A' || char(9) || 'B' || char(13) || char(10) "
                                    "|| 'C\\D' where Name not like '!000%'",
                                    nullptr, nullptr, nullptr));
  sqlite3_close(db);
  const RunResult plain = Run("points " + Job("network.tsj"));
  const RunResult odd = Run("points " + job.string());
  ASSERT_EQ(0, odd.status) << odd.err;
  EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), std::count(odd.out.begin(), odd.out.end(), '\n'));
  EXPECT_NE(std::string::npos, odd.out.find("\nA\\tB\\r\\nC\\\\D\t"));
}

// "--help" was an unknown command, and there was no "--version".
TEST_F(CliTest, AnswersTheUsualQuestionsOnStandardOutput) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell");
  for (const char* help : {"--help", "-h", "help"}) {
    const RunResult r = Run(help);
    EXPECT_EQ(0, r.status) << help;
    EXPECT_EQ(0u, r.out.find("usage: velmira-cli")) << help << ": " << r.out;
    EXPECT_EQ("", r.err);
  }
  const RunResult version = Run("--version");
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("velmira-cli 1.0\n", version.out);
  EXPECT_EQ(2, Run("points --help").status) << "an option of a command stays one";
}

// A removed current folder made every command abort on a relative job path; a line feed
// in a job file's name gave deliver more lines than files.
TEST_F(CliTest, EveryCommandEndsWithAnAnswerFromARemovedFolder) {
  VELMIRA_SKIP_ON_WINDOWS("a folder in use cannot be removed there");
  const fs::path gone = s_dir / "gone";
  fs::create_directories(gone);
  const std::string job = "'../sa\ntir.tsj'";
  fs::copy_file(Job("rtk.tsj"), s_dir / "sa\ntir.tsj", fs::copy_options::overwrite_existing);
  const std::vector<std::string> commands = {"points", "match", "check", "detail -o " + (s_dir / "g.xls").string(),
                                             "polygon -o " + (s_dir / "g2.xls").string(),
                                             "deliver -o " + (s_dir / "gone-teslim").string(), "deliver -o teslim"};
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const RunResult r = Run(command + " --method RTK " + job, "C", "cd " + gone.string() + " && rmdir " + gone.string() + " && ");
    EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status << r.err;
    EXPECT_EQ(std::string::npos, r.err.find("terminate")) << r.err;
    if (command == "deliver -o teslim") {
      EXPECT_NE(std::string::npos, r.err.find("tam yoluyla")) << r.err;
    }
    if (command.starts_with("deliver -o /")) {
      EXPECT_EQ(0, r.status) << r.err;
      EXPECT_NE(std::string::npos, r.out.find("sa\\ntir.tsj\n")) << r.out;
      EXPECT_EQ(std::distance(fs::directory_iterator(s_dir / "gone-teslim"), fs::directory_iterator()),
                std::count(r.out.begin(), r.out.end(), '\n'));
    }
    fs::create_directories(gone);
  }
}

// The form may go anywhere but over the job data, a file its owner made read-only, or
// through a link; a replaced form keeps its permission bits.
TEST_F(CliTest, FormTargetsAreSafe) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const fs::path job = s_dir / "target-job.tsj";
  fs::copy_file(Job("network.tsj"), job, fs::copy_options::overwrite_existing);
  const std::string jobBytes = ReadFile(job);
  auto detail = [&](const fs::path& target) {
    return Run("detail -o " + target.string() + " " + job.string());
  };

  RunResult r = detail(job);
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("Excel dosyası kaydedilemedi: " + job.string() + "\n")) << r.err;
  fs::remove(s_dir / "job-link.xls");
  fs::create_symlink(job, s_dir / "job-link.xls");
  EXPECT_EQ(1, detail(s_dir / "job-link.xls").status);
  EXPECT_EQ(jobBytes, ReadFile(job));

  const fs::path locked = s_dir / "locked.xls";
  fs::remove(locked);
  std::ofstream(locked) << "keep me";
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  r = detail(locked);
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("salt okunur")) << r.err;
  EXPECT_EQ("keep me", ReadFile(locked));

  const fs::path privateForm = s_dir / "private.xls";
  fs::remove(privateForm);
  std::ofstream(privateForm) << "old form";
  fs::permissions(privateForm, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(0, detail(privateForm).status);
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(privateForm).permissions());
  EXPECT_EQ(0u, ReadFile(privateForm).find("\xD0\xCF\x11\xE0"));

  const fs::path real = s_dir / "forms" / "real.xls";
  fs::create_directories(real.parent_path());
  fs::remove(real);
  fs::remove(s_dir / "form-link.xls");
  fs::create_symlink(real, s_dir / "form-link.xls");
  ASSERT_EQ(0, detail(s_dir / "form-link.xls").status);
  EXPECT_TRUE(fs::is_symlink(s_dir / "form-link.xls"));
  EXPECT_EQ(0u, ReadFile(real).find("\xD0\xCF\x11\xE0"));
  for (const auto& entry : fs::directory_iterator(s_dir)) {
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".tmp")) << entry.path();
  }
}

// ---- check -----------------------------------------------------------------------------

using Rows = std::vector<std::vector<std::string>>;

Rows TableRows(const std::string& out) {
  Rows rows;
  std::istringstream lines(out);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    rows.emplace_back();
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) rows.back().push_back(cell);
  }
  return rows;
}

constexpr const char* kCheckHeader = "Satır\tNokta Adı\tKural\tDeğer\tSınır\tDüzey\tAçıklama\n";

// Job files, then points, then pairs, each row's rules in the order no-points ... zone,
// every row 7 cells.
void ExpectCheckOrder(const Rows& rows) {
  static const std::map<std::string, int> kRank = {{"no-points", -3}, {"unread-point", -2}, {"count", -1},
                                                   {"epochs", 0},    {"satellites", 1}, {"diff-y", 2},
                                                   {"diff-x", 3},    {"diff-h", 4},     {"hours", 5},
                                                   {"technique", 6}, {"same-file", 7},  {"zone", 8}};
  bool pairsBegun = false, pointsBegun = false;
  std::string lastRow;
  int lastRank = -4;
  for (const auto& row : rows) {
    ASSERT_EQ(7u, row.size());
    const bool pair = row[0].rfind("Ç:", 0) == 0;
    const bool file = row[0].rfind("D:", 0) == 0;
    ASSERT_TRUE(pair || file || row[0].rfind("N:", 0) == 0) << row[0];
    EXPECT_FALSE(pairsBegun && !pair) << "point after pairs: " << row[0];
    EXPECT_FALSE(pointsBegun && file) << "job file after points: " << row[0];
    pairsBegun = pairsBegun || pair;
    pointsBegun = pointsBegun || !file;
    ASSERT_EQ(1u, kRank.count(row[2])) << row[2];
    const int rank = kRank.at(row[2]);
    if (row[0] == lastRow && !(file && row[2] == "unread-point")) {  // one of those per point left out
      EXPECT_LT(lastRank, rank) << row[0] << " " << row[2];
    }
    lastRow = row[0];
    lastRank = rank;
    EXPECT_TRUE(row[5] == "Hata" || row[5] == "Uyarı") << row[5];
  }
}

enum class Judged { Nothing, EveryPair, EveryPoint };

struct CheckCase {
  const char* name;
  std::string args;
  int status;
  Judged judged;
  std::string tableArgs;  // match or points on the same files: the rows that must be judged
  const char* rule;
  const char* level;
  int valueColumn;  // the table column that Değer repeats, or -1
  const char* stderrHas;
};

class CliCheck : public CliTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CliCheck, PrintsOneFindingPerBrokenRuleAndExitsThreeOnAnError) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const CheckCase& c = GetParam();
  const RunResult r = Run(WithJobPaths(c.args, Job));
  ASSERT_EQ(c.status, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.err.find(c.stderrHas)) << r.err;
  ASSERT_EQ(0u, r.out.find(kCheckHeader));
  const Rows rows = TableRows(r.out);
  ExpectCheckOrder(rows);
  if (c.judged == Judged::Nothing) {
    EXPECT_TRUE(rows.empty()) << r.out;
    return;
  }
  // One finding for every row of the table, with the table's keys and name.
  const RunResult table = Run(WithJobPaths(c.tableArgs, Job));
  ASSERT_EQ(0, table.status) << table.err;
  const Rows expected = TableRows(table.out);
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(expected.size(), rows.size()) << r.out;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& want = expected[i];
    const std::string key = c.judged == Judged::EveryPair ? "Ç:" + want[8] : "N:" + want[18] + "/" + want[19];
    EXPECT_EQ(key, rows[i][0]);
    EXPECT_EQ(want[0], rows[i][1]);
    EXPECT_EQ(c.rule, rows[i][2]);
    EXPECT_EQ(c.level, rows[i][5]);
    if (c.valueColumn >= 0) {
      EXPECT_EQ(want[static_cast<size_t>(c.valueColumn)], rows[i][3]);
    }
  }
  EXPECT_EQ(r.out, Run(WithJobPaths(c.args, Job), "tr_TR.UTF-8").out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliCheck,
    ::testing::Values(
        CheckCase{"CleanNetworkJob", "check @network.tsj", 0, Judged::Nothing, "", "", "", -1,
                  "Ağ RTK (TUSAGA-Aktif): Teslime hazır: hata yok\n"},
        CheckCase{"CleanRtkJobUnderClassicRtk", "check @rtk.tsj", 0, Judged::Nothing, "", "", "", -1,
                  "Klasik RTK: Teslime hazır: hata yok\n"},
        CheckCase{"RtkUnderTheNetworkProfileCannotBeConfirmed", "check --profile ag-rtk @rtk.tsj", 0,
                  Judged::EveryPair, "match @rtk.tsj", "technique", "Uyarı", -1, "Teslime hazır: hata yok, "},
        CheckCase{"CodeStreamIsAnError", "check @dgps.tsj", 3, Judged::EveryPair, "match @dgps.tsj", "technique",
                  "Hata", -1, "Ağ RTK (TUSAGA-Aktif): 1 hata"},
        CheckCase{"ClassicRtkJudgesNoTechnique", "check --profile klasik-rtk @dgps.tsj", 0, Judged::Nothing, "", "",
                  "", -1, "Klasik RTK: Teslime hazır"},
        CheckCase{"MaxDyOverridesTheProfile", "check --max-dy 0 @network.tsj", 3, Judged::EveryPair,
                  "match @network.tsj", "diff-y", "Hata", 4, "Ağ RTK (TUSAGA-Aktif) (değiştirildi)"},
        CheckCase{"MaxDxOverridesTheProfile", "check --max-dx=0.001 @rtk.tsj", 3, Judged::EveryPair,
                  "match @rtk.tsj", "diff-x", "Hata", 5, "Klasik RTK (değiştirildi)"},
        CheckCase{"MaxDhOverridesTheProfile", "check --profile klasik-rtk --max-dh 0.0001 @network.tsj", 3,
                  Judged::EveryPair, "match @network.tsj", "diff-h", "Hata", 6, "hata, 0 uyarı"},
        CheckCase{"MinHoursOverridesTheProfile", "check --min-hours 500 @network.tsj", 3, Judged::EveryPair,
                  "match @network.tsj", "hours", "Hata", 7, "hata"},
        CheckCase{"GenerousLimitsFindNothing", "check --max-dy 1 --max-dx 1 --max-dh 1 --min-hours 0 @network.tsj", 0,
                  Judged::Nothing, "", "", "", -1, "Teslime hazır"},
        CheckCase{"WrongZoneAnswer", "check --meridian 39 @nozone.tsj", 3, Judged::EveryPoint,
                  "points --meridian 39 @nozone.tsj", "zone", "Hata", -1, "dilim yanlış seçilmiş olabilir"},
        CheckCase{"RightZoneAnswer", "check --meridian 33 @nozone.tsj", 0, Judged::Nothing, "", "", "", -1,
                  "Teslime hazır"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EvidenceCase {
  const char* name;
  std::string args;
  int status;
  const char* stderrHas;
  const char* stdoutHas;
  const char* stdoutLacks;
};

class CliEvidence : public CliTest, public ::testing::WithParamInterface<EvidenceCase> {};

// Each of these ended in exit 0 and "Teslime hazır": a file SQLite refuses listed no
// points, a job without a fixed point had nothing to find, a point of latitude nan left
// matching unseen and wrote "nan" into noktalar.ncn, 2^31 satellites printed -2147483644.
TEST_P(CliEvidence, NoReadyVerdictWithoutEvidence) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const EvidenceCase& c = GetParam();
  fs::remove_all(s_dir / "out");
  const RunResult r = Run(WithJobPaths(c.args, Job));
  EXPECT_EQ(c.status, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.err.find(c.stderrHas)) << r.err;
  EXPECT_EQ(std::string::npos, r.err.find("Teslime hazır")) << r.err;
  EXPECT_NE(std::string::npos, r.out.find(c.stdoutHas)) << r.out;
  EXPECT_EQ(std::string::npos, r.out.find(c.stdoutLacks)) << r.out;
  if (c.status == 3 && r.out.rfind(kCheckHeader, 0) == 0) ExpectCheckOrder(TableRows(r.out));
  if (fs::exists(s_dir / "out" / "noktalar.ncn")) {
    const std::string points = ReadFile(s_dir / "out" / "noktalar.ncn");
    EXPECT_EQ(std::string::npos, points.find("nan")) << points;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliEvidence,
    ::testing::Values(
        EvidenceCase{"FormatByteAsAScriptRunsIt", "points --meridian 33 --method RTK @format47.tsj", 1,
                     "TSJ Dosyası bozuk", "", "\t"},
        EvidenceCase{"CheckWithoutFixedPoints", "check @nofix.tsj", 3, ": 1 hata, 0 uyarı", "D:1\tnofix.tsj\tno-points",
                     "N:"},
        EvidenceCase{"DeliverWithoutFixedPoints", "deliver -o @out @nofix.tsj", 3, ": 1 hata", "noktalar.ncn", "\t"},
        EvidenceCase{"CheckOfANanLatitude", "check @nanlat.tsj", 3, ": enlem nan (-90 .. 90 derece)",
                     "\tunread-point\tenlem nan\t", "\tnan\t"},
        EvidenceCase{"DeliverOfANanLatitude", "deliver -o @out @nanlat.tsj", 3, "hata", "noktalar.kml", "\t"},
        EvidenceCase{"CheckOfTwoToThe31Satellites", "check @sats.tsj", 3, "hata", "\tcount\t2147483648\t0..64\t",
                     "-2147483644"}),
    [](const auto& info) { return std::string(info.param.name); });

// Detail points of two epochs break the network rule (at least 3) but not the classic one.
TEST_F(CliTest, CheckJudgesDetailEpochsByTheProfile) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const fs::path job = s_dir / "few-epochs.tsj";
  fs::copy_file(Job("network.tsj"), job, fs::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(job).c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "update tblCrdGnssRaw set NumOfEpochs = 2 where NumOfEpochs < 60", nullptr,
                                    nullptr, nullptr));
  sqlite3_close(db);
  const RunResult network = Run("check " + job.string());
  ASSERT_EQ(3, network.status) << network.err;
  const Rows points = TableRows(Run("points " + job.string()).out);
  Rows expected;
  for (const auto& p : points) {
    if (p[8] == "2") expected.push_back({"N:" + p[18] + "/" + p[19], p[0], "epochs", "2", "3", "Hata"});
  }
  ASSERT_GT(expected.size(), 10u);
  Rows actual = TableRows(network.out);
  ExpectCheckOrder(actual);
  for (auto& row : actual) row.resize(6);  // the rule text is checked elsewhere
  EXPECT_EQ(expected, actual);
  const RunResult classic = Run("check --profile klasik-rtk " + job.string());
  EXPECT_EQ(0, classic.status) << classic.err;
  EXPECT_EQ(kCheckHeader, classic.out);
}

// A second job file a couple of centimetres north of the first: its sessions pair with the
// first file's, which the network profile refuses; same-file comes after the pair's other rules.
TEST_F(CliTest, CheckFindsSessionsInDifferentJobFiles) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const fs::path shifted = s_dir / "shifted.tsj";
  fs::copy_file(Job("network.tsj"), shifted, fs::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(support::Utf8(shifted).c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "update tblSoPoints set C1 = C1 + 0.0000002", nullptr, nullptr, nullptr));
  sqlite3_close(db);
  const std::string files = Job("network.tsj") + " " + shifted.string();
  const RunResult network = Run("check " + files);
  ASSERT_EQ(3, network.status) << network.err;
  const Rows rows = TableRows(network.out);
  ExpectCheckOrder(rows);
  size_t sameFile = 0;
  for (const auto& row : rows) {
    if (row[2] != "same-file") continue;
    ++sameFile;
    EXPECT_EQ("1/2", row[3]);
    EXPECT_EQ("aynı dosya", row[4]);
    EXPECT_EQ("Hata", row[5]);
  }
  EXPECT_GT(sameFile, 0u);
  const RunResult classic = Run("check --profile klasik-rtk " + files);
  EXPECT_EQ(std::string::npos, classic.out.find("\tsame-file\t"));
}

}  // namespace
