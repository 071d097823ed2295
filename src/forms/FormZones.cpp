#include "forms/FormZones.h"

#include <algorithm>

#include "jobdata/JobIndex.h"
#include "text/Numbers.h"
#include "xls/XlsWorkbook.h"

namespace {

constexpr std::size_t kMaxDataRows = XlsWorksheet::kMaxRows - 2;  // below the two header rows

std::optional<std::string> ZoneOf(const JobIndex& index, const CEslesenNokta* pair) {
  if (!pair) return std::nullopt;
  const CTarvekNokta* p = index.Point(pair->nIndex1);
  const CTarvekNokta* q = index.Point(pair->nIndex2);
  if (!p || !q || p->strMeridian != q->strMeridian) return std::nullopt;
  return p->strMeridian;
}

void Count(std::vector<ZoneRows>& zones, const std::string& meridian, std::size_t rows) {
  auto it = std::find_if(zones.begin(), zones.end(), [&](const ZoneRows& z) { return z.meridian == meridian; });
  if (it == zones.end()) it = zones.insert(zones.end(), ZoneRows{meridian, 0, 0});
  ++it->records;
  it->rows += rows;
}

std::filesystem::path WithSuffix(const std::filesystem::path& chosen, const std::string& suffix) {
  std::filesystem::path path = chosen;
  path.replace_filename(chosen.stem().native() + std::filesystem::path(suffix).native() + chosen.extension().native());
  return path;
}

}  // namespace

std::vector<ZoneRows> DetailFormZones(const CVelmiraDoc& doc, const std::vector<PointKey>& keys) {
  const JobIndex index(doc);
  std::vector<ZoneRows> zones;
  for (const PointKey& key : keys) {
    if (const CTarvekNokta* p = index.Point(key.nIndex, key.nFileNumber)) Count(zones, p->strMeridian, 1);
  }
  return zones;
}

Result<std::vector<ZoneRows>> PolygonFormZones(const CVelmiraDoc& doc, const std::vector<int>& pairNos) {
  const JobIndex index(doc);
  std::vector<ZoneRows> zones;
  for (int pairNo : pairNos) {
    const CEslesenNokta* pair = index.Pair(pairNo);
    if (!pair) continue;
    const CTarvekNokta* p = index.Point(pair->nIndex1);
    const CTarvekNokta* q = index.Point(pair->nIndex2);
    if (!p || !q) {
      return Status::Failure("Eşleştirilmiş " + text::FormatInt(pairNo) +
                             " numaralı çiftin noktası artık yüklü değil; eşleştirmeyi yeniden yapın.");
    }
    if (p->strMeridian != q->strMeridian) {
      return Status::Failure(text::FormatInt(pairNo) + " numaralı çiftin iki noktası farklı dilimlerde (" +
                             p->strMeridian + ", " + q->strMeridian + "); bu çift bir forma yazılamaz.");
    }
    Count(zones, p->strMeridian, 2);
  }
  return zones;
}

std::vector<FormPart> FormParts(const ZoneRows& zone) {
  const std::size_t rowsPerRecord = zone.records ? zone.rows / zone.records : 1;
  const std::size_t perPart = kMaxDataRows / rowsPerRecord;
  std::vector<FormPart> parts;
  for (std::size_t first = 0; first < zone.records || parts.empty(); first += perPart) {
    const std::size_t records = std::min(perPart, zone.records - first);
    parts.push_back({first, ZoneRows{zone.meridian, records, records * rowsPerRecord}});
  }
  return parts;
}

std::vector<PointKey> DetailKeysInZone(const CVelmiraDoc& doc, const std::vector<PointKey>& keys,
                                       const std::string& meridian) {
  const JobIndex index(doc);
  std::vector<PointKey> inZone;
  for (const PointKey& key : keys) {
    const CTarvekNokta* p = index.Point(key.nIndex, key.nFileNumber);
    if (p && p->strMeridian == meridian) inZone.push_back(key);
  }
  return inZone;
}

std::optional<std::string> PairZone(const CVelmiraDoc& doc, int nPairNo) {
  const JobIndex index(doc);
  return ZoneOf(index, index.Pair(nPairNo));
}

std::vector<int> PairsInZone(const CVelmiraDoc& doc, const std::vector<int>& pairNos, const std::string& meridian) {
  const JobIndex index(doc);
  std::vector<int> inZone;
  for (int pairNo : pairNos) {
    if (ZoneOf(index, index.Pair(pairNo)) == meridian) inZone.push_back(pairNo);
  }
  return inZone;
}

std::filesystem::path ZoneFormPath(const std::filesystem::path& chosen, const std::string& meridian) {
  return WithSuffix(chosen, "_TM" + meridian);
}

std::filesystem::path PartFormPath(const std::filesystem::path& form, std::size_t number) {
  return WithSuffix(form, "_" + text::FormatInt(static_cast<std::int64_t>(number)));
}
