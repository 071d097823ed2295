#pragma once
// The one document of the program: the job files added so far, their fixed points,
// the matched pairs of the last matching run, the criteria and the counters that
// number files and points. It talks to the user and the tables only through CDocShell.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jobdata/CDocShell.h"
#include "jobdata/Records.h"

class ReadBudget;
class SqliteDb;
class RegularFile;
class WorkFolder;
struct SqliteFailure;

// Progress of adding one job file, as the fraction (0 to 1) of the reading done; the
// answer false cancels the add, which then changes nothing and shows no message.
using ReadProgress = std::function<bool(double fraction)>;

class CVelmiraDoc {
 public:
  // The most pairs one matching run may make; each pair is found twice before its mirror
  // is dropped, so the run is refused beyond twice as many candidates.
  static constexpr std::size_t kMaxPairs = 1'000'000;

  // The document makes its own working folder for the temporary copies inside
  // cacheFolder (private to the user) when the first job file is added, and removes it
  // when it ends.
  CVelmiraDoc(CDocShell& shell, std::filesystem::path cacheFolder);
  ~CVelmiraDoc();
  CVelmiraDoc(const CVelmiraDoc&) = delete;
  CVelmiraDoc& operator=(const CVelmiraDoc&) = delete;

  // Adds the job file at path. True when a record was added (it may still hold no
  // points, after a message); every refusal is shown through the shell first. Before
  // its zone is asked for, the file must pass SQLite's integrity check and hold the
  // tables and columns the reader needs; the reading as a whole is bounded by the
  // file's size ("sorgu bitmedi" beyond it), and progress, if given, may cancel it.
  bool AddJobFile(const std::filesystem::path& path, const ReadProgress& progress = {});
  // Asks the shell for a job file and adds it; false when cancelled or refused.
  bool AddTsjFile();
  // Asks the point table to list the points of one job file.
  void ShowFilePoints(int nFileNumber);
  // Destroys every point of the job file, and forgets its refused ones.
  void RemoveFilePoints(int nFileNumber);
  // Destroys the job file's record and empties the point and matching tables.
  void RemoveTsjFile(int nFileNumber);
  // Lets the user edit the five criteria; keeps the old ones on cancel.
  void EditSettings();
  // Pairs the observations of all points, then refills the matching table. Without
  // points nothing happens. False, after a message and with the previous pairs kept,
  // when the run would make more than kMaxPairs pairs.
  bool MatchSessions();

  const std::vector<tsjdosya>& TsjList() const { return m_tsjList; }
  const std::vector<CTarvekNokta>& NoktaList() const { return m_noktaList; }
  const std::vector<CEslesenNokta>& EslesenList() const { return m_eslesenList; }
  // The points of the job files that were left out for values the zone cannot hold.
  const std::vector<CRefusedPoint>& RefusedList() const { return m_refusedList; }

  // True when path names a job file added in this run (or its -wal or -journal), or
  // lies in the document's working folder: files a form must never replace.
  bool IsJobFileOrCopy(const std::filesystem::path& path) const;
  // The job file itself as it was added (absolute), not its temporary copy; empty for a
  // number never added.
  std::filesystem::path JobPath(int nFileNumber) const;

  CMatchCriteria Criteria() const;
  void SetCriteria(const CMatchCriteria& criteria);

  // The steps of adding a job file, given its temporary copy that CheckCopy passed;
  // public so tests can drive them one by one. Each shows its own refusal and returns
  // false.
  bool CheckCopy(const std::filesystem::path& copy, const tsjdosya& file);
  bool DetectMeridian(const std::filesystem::path& copy, const tsjdosya& file);
  bool DetectMethod(const std::filesystem::path& copy, const tsjdosya& file);
  // False, with nothing added, when SQLite fails in the middle of the rows; an
  // unopenable copy leaves the file without points, after a message, and is true.
  // Points refused for their values go to RefusedList().
  bool ReadPoints(const std::filesystem::path& copy, const tsjdosya& file);
  void ProjectPoints(const tsjdosya& file, double dMeridianDegrees);
  void FormatPointTimes(const tsjdosya& file);

  std::string m_strMeridian;
  std::string m_strMethod;
  int m_nNextFileNumber = 1;
  double m_dMatchTol = 1.0;
  double m_dMaxDiffY = 0.07;
  double m_dMaxDiffX = 0.07;
  double m_dMaxDiffH = 0.07;
  double m_dMinDiffHours = 1.0;
  int m_nGroupCounter = 1;
  int m_nNextIndex = 1000;

 private:
  friend struct CVelmiraDocAccess;

  struct Copy {
    std::filesystem::path path;
    std::vector<int> cleanupIds;
  };

  bool MakeTemporaryCopy(RegularFile& job, const std::filesystem::path& source, Copy& copy, const tsjdosya& file);
  bool Settle(const std::filesystem::path& copy, tsjdosya& file);
  bool CheckSchema(const SqliteDb& db, const tsjdosya& file);
  void RemoveCopy(Copy& copy);
  void ReportReadFailure(const tsjdosya& file, const SqliteFailure& failure);

  CDocShell& m_shell;
  ReadBudget* m_budget = nullptr;  // of the add under way
  bool m_hasPointTables = true;    // as CheckCopy found them
  bool m_hasOptionsTable = true;
  std::filesystem::path m_cacheFolder;
  std::unique_ptr<WorkFolder> m_workFolder;
  std::vector<Copy> m_copies;
  std::vector<std::pair<int, std::filesystem::path>> m_jobPaths;  // by file number, as added, absolute
  std::vector<tsjdosya> m_tsjList;
  std::vector<CTarvekNokta> m_noktaList;
  std::vector<CEslesenNokta> m_eslesenList;
  std::vector<CRefusedPoint> m_refusedList;
};

// The per-user folder for temporary copies: $XDG_CACHE_HOME/velmira, ~/.cache/velmira,
// or %LOCALAPPDATA%\Velmira.
std::filesystem::path DefaultTempFolder();
