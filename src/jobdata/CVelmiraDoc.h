#pragma once
// The one document of the program: the job files added so far, their fixed points,
// the matched pairs of the last matching run, the criteria and the counters that
// number files and points. It talks to the user and the tables only through CDocShell.
#include <filesystem>
#include <string>
#include <vector>

#include "jobdata/CDocShell.h"
#include "jobdata/Records.h"

class CVelmiraDoc {
 public:
  // tempFolder holds the temporary copies of job files; it is created (private to the
  // user) when the first job file is added.
  CVelmiraDoc(CDocShell& shell, std::filesystem::path tempFolder);

  // Asks for a job file and adds it. True when a record was added to m_tsjList (it may
  // still hold no points, after a message).
  bool AddTsjFile();
  // Asks the point table to list the points of one job file.
  void ShowFilePoints(int nFileNumber);
  // Destroys every point of the job file.
  void RemoveFilePoints(int nFileNumber);
  // Destroys the job file's record and empties the point and matching tables.
  void RemoveTsjFile(int nFileNumber);
  // Lets the user edit the five criteria; keeps the old ones on cancel.
  void EditSettings();
  // Pairs the observations of all points, then refills the matching table.
  void MatchSessions();

  CMatchCriteria Criteria() const;
  void SetCriteria(const CMatchCriteria& criteria);

  // The steps of adding a job file; public so tests can drive them one by one.
  bool DetectMeridian();
  bool DetectMethod(const tsjdosya& file);
  void ReadPoints(const tsjdosya& file);
  void ProjectPoints(const tsjdosya& file, double dMeridianDegrees);
  void FormatPointTimes(const tsjdosya& file);

  std::vector<tsjdosya> m_tsjList;
  std::vector<CTarvekNokta> m_noktaList;
  std::vector<CEslesenNokta> m_eslesenList;
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
  std::filesystem::path m_strTempPath;

 private:
  bool MakeTemporaryCopy(const std::filesystem::path& source);

  CDocShell& m_shell;
  std::filesystem::path m_tempFolder;
};

// The per-user folder for temporary copies: $XDG_CACHE_HOME/velmira, ~/.cache/velmira,
// or %LOCALAPPDATA%\Velmira.
std::filesystem::path DefaultTempFolder();
