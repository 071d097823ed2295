#pragma once
// The records of the job data: one per job file, one per fixed point, one per matched
// pair. Texts from a job file are kept as its Windows-1254 bytes.
#include <array>
#include <cstdint>
#include <string>

// A point of a job file left out because a value it needs could not be read as a
// number that the zone can hold. Windows-1254 texts.
struct CRefusedPoint {
  int nFileNumber = 0;
  std::string strName;
  std::string strField;  // "enlem", "boylam", "yükseklik" or "zaman"
  std::string strValue;  // the file's own text of the value
  std::string strLimit;  // what would have been accepted
};

// One job file that was added successfully.
struct tsjdosya {
  std::string strPath;      // full path as chosen, Windows-1254
  std::string strFileName;  // file name with extension, without the folder
  int nFileNumber = 0;      // from 1 within one run; names the temporary copy
  std::string strMeridian;  // "27" ... "45"
  std::string strMethod;    // "RTK" or a mountpoint name
};

// One fixed GNSS point read from a job file.
struct CTarvekNokta {
  std::string strName;
  std::string strBaseName;
  std::string strPath;
  std::string strFileName;
  int nFileNumber = 0;
  std::string strMeridian;
  std::string strMethod;
  double dStartTime = 0;  // seconds since 1970-01-01 00:00 UTC
  std::string strTime;    // "%d.%d.%d %d:%d" of dStartTime, UTC
  // Counts as the file holds them, however absurd: the rule check judges them.
  std::int64_t nEpochs = 0;
  std::int64_t nDuration = 0;  // whole seconds
  std::int64_t nGpsSats = 0;
  std::int64_t nGlonassSats = 0;
  double dXX = 0;
  double dYY = 0;
  double dZZ = 0;
  double dRms = 0;
  double dPdop = 0;
  double dHdop = 0;
  double dVdop = 0;
  std::string strSolution;  // "Fix" for every stored point
  double dLat = 0;          // decimal degrees
  double dLon = 0;          // decimal degrees
  double dHeight = 0;       // ellipsoidal, metres
  double dY = 0;            // grid easting, metres, false easting included
  double dX = 0;            // grid northing, metres
  int nIndex = 0;           // from 1000 within one run
};

constexpr int kNoGroup = -99999;

// One matched pair of observations P (first) and Q (second).
struct CEslesenNokta {
  std::string strName1;
  std::string strName2;
  std::int64_t nEpochs1 = 0;
  std::int64_t nEpochs2 = 0;
  double dDiffY = 0;      // |P.dY - Q.dY|, metres
  double dDiffX = 0;      // |P.dX - Q.dX|, metres
  double dDiffH = 0;      // |P.dHeight - Q.dHeight|, metres
  double dDiffHours = 0;  // |P.dStartTime - Q.dStartTime| / 3600
  double dMeanY = 0;
  double dMeanX = 0;
  double dMeanH = 0;
  int nPairNo = 0;  // from 100 within one matching run
  int nIndex1 = 0;
  int nIndex2 = 0;
  int bRemove = 0;
  int nGroupNo = kNoGroup;
};

// Mountpoints accepted from a job file without asking, in the order the dialogs offer them:
// the program's first thirteen, then broadcast names in use today. Matched exactly.
inline constexpr std::array<const char*, 17> kMountpoints = {
    "VRSRTCM31", "VRSCMRP", "SAPOS", "RTCM3NET", "DGPSNET",   "DGNSS",    "FKP01",   "FKP02", "MAC01",
    "PRS02",     "PRS03",   "VRS01", "VRS03",    "VRSRTCM34", "FKP_RTCM31", "RTCM3Net", "DGPSNet"};

// Central meridians of the three-degree zones that cover Turkey, in degrees east.
inline constexpr std::array<const char*, 7> kMeridians = {"27", "30", "33", "36", "39", "42", "45"};

// The five matching criteria, as the settings dialog edits them together.
struct CMatchCriteria {
  double dMaxDiffY = 0.07;     // metres
  double dMaxDiffX = 0.07;     // metres
  double dMaxDiffH = 0.07;     // metres
  double dMinDiffHours = 1.0;  // hours
  double dMatchTol = 1.0;      // metres
};
