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
#include "text/Cp1254.h"
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
constexpr const char* kRefusedPoints =
    "TSJ Dosyasında değeri okunamayan noktalar var; bu noktalar programa dahil edilmemiştir:";
constexpr size_t kRefusedPointsNamed = 10;  // the note names this many, then counts the rest

// What a zone can hold. Latitudes end at the poles; the Transverse Mercator of a zone
// runs to infinity 90 degrees from its central meridian; no ground mark lies 10 km
// from the ellipsoid (Everest stands 8.8 km above it, the deepest land 0.5 km below).
constexpr double kMaxLatitudeDeg = 90.0;
constexpr double kMaxMeridianOffsetDeg = 90.0;
constexpr double kMaxHeightM = 10'000.0;

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
  p.nDuration = text::AtoI64(row.Text(kDuration)) / 1000;
  p.dStartTime = text::AtoF(row.Text(kSeconds)) - static_cast<double>(p.nDuration);
  p.nEpochs = text::AtoI64(row.Text(kEpochs));
  p.dHdop = text::AtoF(row.Text(kHdop));
  p.dVdop = text::AtoF(row.Text(kVdop));
  p.dPdop = std::sqrt(p.dHdop * p.dHdop + p.dVdop * p.dVdop);
  p.nGpsSats = text::AtoI64(row.Text(kGpsSats));
  p.nGlonassSats = text::AtoI64(row.Text(kGlonassSats));
  return p;
}

bool Within(double value, double limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

CRefusedPoint Refused(const CTarvekNokta& p, const char* fieldUtf8, std::string_view value, std::string limitUtf8) {
  return {p.nFileNumber, p.strName, text::Utf8ToCp1254(fieldUtf8), std::string(value), text::Utf8ToCp1254(limitUtf8)};
}

// The first value of the point that the zone cannot hold, if any. A time must be one
// that the tables can show.
std::optional<CRefusedPoint> CheckValues(const CTarvekNokta& p, const SqliteStatement& row, int meridianDeg) {
  if (!Within(p.dLat, kMaxLatitudeDeg)) return Refused(p, "enlem", row.Text(kLat), "-90 .. 90 derece");
  if (!(std::fabs(p.dLon - meridianDeg) < kMaxMeridianOffsetDeg)) {
    return Refused(p, "boylam", row.Text(kLon),
                   text::FormatInt(meridianDeg) + " ± 90 derece (orta meridyen " + text::FormatInt(meridianDeg) + ")");
  }
  if (!Within(p.dHeight, kMaxHeightM)) return Refused(p, "yükseklik", row.Text(kHeight), "-10000 .. 10000 m");
  if (FormatStartTime(p.dStartTime).empty()) {
    return Refused(p, "zaman", row.Text(kSeconds), "-9999 .. 9999 yılları arasında bir an (1970'ten beri saniye)");
  }
  return std::nullopt;
}

std::string RefusedPointsNote(const std::vector<CRefusedPoint>& refused) {
  std::string note = kRefusedPoints;
  for (size_t i = 0; i < refused.size() && i < kRefusedPointsNamed; ++i) {
    const CRefusedPoint& r = refused[i];
    note += "\n" + text::Cp1254ToUtf8(r.strName) + ": " + text::Cp1254ToUtf8(r.strField) + " " +
            text::Cp1254ToUtf8(r.strValue) + " (" + text::Cp1254ToUtf8(r.strLimit) + ")";
  }
  if (refused.size() > kRefusedPointsNamed) {
    note += "\nve " + text::FormatInt(static_cast<std::int64_t>(refused.size() - kRefusedPointsNamed)) + " nokta daha";
  }
  return note;
}

}  // namespace

bool CVelmiraDoc::DetectMeridian(const std::filesystem::path& copy, const tsjdosya& file) {
  std::optional<std::string> meridian;
  if (m_hasOptionsTable) {
    SqliteDb db(copy, m_budget);
    if (!db.ok()) {
      m_shell.ShowMessage(kOpenFailed1 + db.error(), MessageIcon::Warning);
      return false;
    }
    SqliteStatement query(db, kZoneQuery);
    if (query.Step()) meridian = FindMeridian(query.Text(0));
    if (query.failed()) {
      ReportReadFailure(file, query.failure());
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
  if (m_hasOptionsTable) {
    SqliteDb db(copy, m_budget);
    if (!db.ok()) {
      m_shell.ShowMessage(kOpenFailed1 + db.error(), MessageIcon::Warning);
      return false;
    }
    SqliteStatement rtkQuery(db, kRtkQuery);
    while (rtkQuery.Step()) {
      if (auto v = ReadRtkOption(rtkQuery.Blob(0))) rtk = v;
    }
    if (rtkQuery.failed()) {
      ReportReadFailure(file, rtkQuery.failure());
      return false;
    }
    if (rtk != 0) {
      SqliteStatement query(db, kMountpointQuery);
      if (query.Step()) {
        hasMountpointOption = true;
        mountpoint = std::string(query.Text(0));
      }
      if (query.failed()) {
        ReportReadFailure(file, query.failure());
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
// error in the middle of the rows adds nothing and uses no index. A point whose values
// the zone cannot hold is left out as a float solution is, but named: in the note, and
// in the document's list for the rule check.
bool CVelmiraDoc::ReadPoints(const std::filesystem::path& copy, const tsjdosya& file) {
  if (!m_hasPointTables) return true;
  SqliteDb db(copy, m_budget);
  if (!db.ok()) {
    m_shell.ShowMessage(kOpenFailed2 + db.error(), MessageIcon::Warning);
    return true;
  }
  bool leftOut = false;
  std::vector<CTarvekNokta> points;
  std::vector<CRefusedPoint> refused;
  int nIndex = m_nNextIndex;
  const int meridianDeg = text::AtoI(file.strMeridian);
  SqliteStatement query(db, kPointQuery);
  while (query.Step()) {
    if (text::AtoI(query.Text(kSolutionType)) != kFixedSolution) {
      leftOut = true;
      continue;
    }
    CTarvekNokta point = PointFromRow(query, file);
    if (auto bad = CheckValues(point, query, meridianDeg)) {
      refused.push_back(std::move(*bad));
      continue;
    }
    point.strSolution = "Fix";
    point.nIndex = nIndex++;
    points.push_back(std::move(point));
  }
  if (query.failed()) {
    ReportReadFailure(file, query.failure());
    return false;
  }
  m_noktaList.insert(m_noktaList.end(), std::make_move_iterator(points.begin()), std::make_move_iterator(points.end()));
  m_nNextIndex = nIndex;
  if (leftOut) m_shell.ShowMessage(kNotFixed, MessageIcon::Information);
  if (!refused.empty()) m_shell.ShowMessage(RefusedPointsNote(refused), MessageIcon::Information);
  m_refusedList.insert(m_refusedList.end(), refused.begin(), refused.end());
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
