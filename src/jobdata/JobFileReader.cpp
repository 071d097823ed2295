// The steps of adding a job file that read its temporary copy: the zone and the
// measurement method from the job options, then the fixed points.
#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "geodesy/CProjXY.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/Sqlite.h"
#include "jobdata/TimeText.h"
#include "text/Numbers.h"

namespace {

constexpr int kFixedSolution = 4;

constexpr std::string_view kPointQuery =
    "select tSo.Name,d.Name,tSo.C1,tSo.C2,tSo.C3,a.xx,a.yy,a.zz,a.SolutionType,a.ObsDuration,"
    "c.SecondsFrom1970,a.NumOfEpochs,a.HDop,a.VDop,\t\ta.NumOfGpsSats,a.NumOfGlonassSats\t\t"
    "from tblCrdGnssRaw a\t\t"
    "inner join tblStations b on (a.fkeyRoverStation=b.keyStation) and b.DeletedFlag=0\t\t"
    "inner join tblSoPoints tSo on (tSo.keySoPoint=b.fkeySoPoint) and tSo.Name not like '!000%'\t\t"
    "inner join tblCrdRawMeas c on (c.keyCrdRawMeas=a.fkeyCrdRawMeas)\t\t"
    "inner join tblCrdBaseSt d on (a.fKeyBaseStation=d.keyCrdBaseSt);";

constexpr std::string_view kZoneQuery =
    "select binaryValue\t\t\t\t   from tblJobPrimOpts\t\t\t\t   where FieldId=2";
constexpr std::string_view kRtkQuery =
    "select binaryValue\t\t\t\t   from tblJobPrimOpts\t\t\t\t   where FieldId=118";
constexpr std::string_view kMountpointQuery =
    "select binaryValue\t\t\t\t   from tblJobPrimOpts\t\t\t\t   where FieldId=851";

constexpr const char* kOpenFailed1 = "TSJ Dosyası açılamadı:(1) ";
constexpr const char* kOpenFailed2 = "TSJ Dosyası açılamadı(2): ";
constexpr const char* kNotFixed =
    "TSJ Dosyasında FIX olarak çözümlenmemiş nokta\\noktalar var.\n"
    "Bu nokta\\noktalar programa dahil edilmemiştir.";
constexpr const char* kMeasuredByRtk = "TSJ Dosyasındaki noktalar\nRTK yöntemi ile ölçülmüş";
constexpr const char* kMethodUnknown =
    "Dosya içeriğindeki Ölçü Yöntemi belirlenemediğinden dosya açılamamıştır.";

// Columns of kPointQuery.
enum PointColumn {
  kName, kBaseName, kLat, kLon, kHeight, kXX, kYY, kZZ, kSolutionType, kDuration,
  kSeconds, kEpochs, kHdop, kVdop, kGpsSats, kGlonassSats
};

// The smallest zone number wins wherever it stands in the text.
std::optional<std::string> FindMeridian(std::string_view option) {
  for (const char* meridian : kMeridians) {
    if (option.find(meridian) != std::string_view::npos) return std::string(meridian);
  }
  return std::nullopt;
}

bool IsKnownMountpoint(std::string_view name) {
  for (const char* known : kMountpoints) {
    if (name == known) return true;
  }
  return false;
}

// Option 118 holds a little-endian 32-bit integer; a value shorter than four bytes
// says nothing, so the option counts as absent.
std::optional<std::int32_t> ReadRtkOption(std::string_view blob) {
  if (blob.size() < 4) return std::nullopt;
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(blob[static_cast<size_t>(i)]);
  return static_cast<std::int32_t>(v);
}

CTarvekNokta PointFromRow(const SqliteStatement& row, const tsjdosya& file) {
  CTarvekNokta p;
  p.strPath = file.strPath;
  p.strFileName = file.strFileName;
  p.nFileNumber = file.nFileNumber;
  p.strMethod = file.strMethod;
  p.strMeridian = file.strMeridian;
  p.strName = row.Text(kName);
  p.strBaseName = row.Text(kBaseName);
  p.dLat = text::AtoF(row.Text(kLat));
  p.dLon = text::AtoF(row.Text(kLon));
  p.dHeight = text::AtoF(row.Text(kHeight));
  p.dXX = text::AtoF(row.Text(kXX));
  p.dYY = text::AtoF(row.Text(kYY));
  p.dZZ = text::AtoF(row.Text(kZZ));
  p.dRms = std::sqrt(p.dXX + p.dYY + p.dZZ);
  p.nDuration = text::AtoI(row.Text(kDuration)) / 1000;
  p.dStartTime = text::AtoF(row.Text(kSeconds)) - p.nDuration;
  p.nEpochs = text::AtoI(row.Text(kEpochs));
  p.dHdop = text::AtoF(row.Text(kHdop));
  p.dVdop = text::AtoF(row.Text(kVdop));
  p.dPdop = std::sqrt(p.dHdop * p.dHdop + p.dVdop * p.dVdop);
  p.nGpsSats = text::AtoI(row.Text(kGpsSats));
  p.nGlonassSats = text::AtoI(row.Text(kGlonassSats));
  return p;
}

}  // namespace

bool CVelmiraDoc::DetectMeridian(const std::filesystem::path& copy, const tsjdosya& file) {
  std::optional<std::string> meridian;
  {
    SqliteDb db(copy);
    if (!db.ok()) {
      m_shell.ShowMessage(kOpenFailed1 + db.error(), MessageIcon::Warning);
      return false;
    }
    SqliteStatement query(db, kZoneQuery);
    if (query.Step()) meridian = FindMeridian(query.Text(0));
    if (query.failed()) {
      ReportReadFailure(file, query);
      return false;
    }
  }
  if (!meridian) meridian = m_shell.AskMeridian();
  if (!meridian) return false;
  m_strMeridian = *meridian;
  return true;
}

bool CVelmiraDoc::DetectMethod(const std::filesystem::path& copy, const tsjdosya& file) {
  std::optional<std::int32_t> rtk;
  std::optional<std::string> mountpoint;
  bool hasMountpointOption = false;
  {
    SqliteDb db(copy);
    if (!db.ok()) {
      m_shell.ShowMessage(kOpenFailed1 + db.error(), MessageIcon::Warning);
      return false;
    }
    SqliteStatement rtkQuery(db, kRtkQuery);
    while (rtkQuery.Step()) {
      if (auto v = ReadRtkOption(rtkQuery.Blob(0))) rtk = v;
    }
    if (rtkQuery.failed()) {
      ReportReadFailure(file, rtkQuery);
      return false;
    }
    if (rtk != 0) {
      SqliteStatement query(db, kMountpointQuery);
      if (query.Step()) {
        hasMountpointOption = true;
        mountpoint = std::string(query.Text(0));
      }
      if (query.failed()) {
        ReportReadFailure(file, query);
        return false;
      }
    }
  }
  if (rtk == 0) {
    m_shell.ShowMessage(kMeasuredByRtk, MessageIcon::Information);
    m_strMethod = "RTK";
    return true;
  }

  std::optional<std::string> method;
  if (!hasMountpointOption) {
    method = m_shell.AskMethod(file.strFileName);
  } else if (IsKnownMountpoint(*mountpoint)) {
    method = mountpoint;
  } else {
    method = m_shell.AskMountpoint(file.strFileName, *mountpoint);
  }
  if (!method) {
    m_shell.ShowMessage(kMethodUnknown, MessageIcon::Error);
    return false;
  }
  m_strMethod = *method;
  return true;
}

// The points are gathered apart and added only once every row was read, so that an
// error in the middle of the rows adds nothing and uses no index.
bool CVelmiraDoc::ReadPoints(const std::filesystem::path& copy, const tsjdosya& file) {
  SqliteDb db(copy);
  if (!db.ok()) {
    m_shell.ShowMessage(kOpenFailed2 + db.error(), MessageIcon::Warning);
    return true;
  }
  bool leftOut = false;
  std::vector<CTarvekNokta> points;
  int nIndex = m_nNextIndex;
  SqliteStatement query(db, kPointQuery);
  while (query.Step()) {
    if (text::AtoI(query.Text(kSolutionType)) != kFixedSolution) {
      leftOut = true;
      continue;
    }
    CTarvekNokta point = PointFromRow(query, file);
    point.strSolution = "Fix";
    point.nIndex = nIndex++;
    points.push_back(std::move(point));
  }
  if (query.failed()) {
    ReportReadFailure(file, query);
    return false;
  }
  m_noktaList.insert(m_noktaList.end(), std::make_move_iterator(points.begin()), std::make_move_iterator(points.end()));
  m_nNextIndex = nIndex;
  if (leftOut) m_shell.ShowMessage(kNotFixed, MessageIcon::Information);
  return true;
}

void CVelmiraDoc::ProjectPoints(const tsjdosya& file, double dMeridianDegrees) {
  for (CTarvekNokta& p : m_noktaList) {
    if (p.nFileNumber != file.nFileNumber) continue;
    const CProjXY proj(p.dLat, p.dLon, dMeridianDegrees);
    p.dX = proj.dX;
    p.dY = proj.dY;
  }
}

void CVelmiraDoc::FormatPointTimes(const tsjdosya& file) {
  for (CTarvekNokta& p : m_noktaList) {
    if (p.nFileNumber == file.nFileNumber) p.strTime = FormatStartTime(p.dStartTime);
  }
}
