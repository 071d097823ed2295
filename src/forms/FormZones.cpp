#include "forms/FormZones.h"

#include <algorithm>
#include <unordered_map>

#include "text/Numbers.h"
#include "xls/XlsWorkbook.h"

namespace {

constexpr std::size_t kMaxDataRows = XlsWorksheet::kMaxRows - 2;  // below the two header rows

class PointIndex {
 public:
  explicit PointIndex(const CVelmiraDoc& doc) {
    for (const CTarvekNokta& p : doc.NoktaList()) m_byIndex.emplace(p.nIndex, &p);
  }
  const CTarvekNokta* Find(int nIndex) const {
    auto it = m_byIndex.find(nIndex);
    return it == m_byIndex.end() ? nullptr : it->second;
  }
  // The point a table row stands for, as the detail form finds it.
  const CTarvekNokta* Find(const PointKey& key) const {
    const CTarvekNokta* p = Find(key.nIndex);
    return p && p->nFileNumber == key.nFileNumber ? p : nullptr;
  }

 private:
  std::unordered_map<int, const CTarvekNokta*> m_byIndex;
};

class PairIndex {
 public:
  explicit PairIndex(const CVelmiraDoc& doc) {
    for (const CEslesenNokta& pair : doc.EslesenList()) m_byNo.emplace(pair.nPairNo, &pair);
  }
  const CEslesenNokta* Find(int nPairNo) const {
    auto it = m_byNo.find(nPairNo);
    return it == m_byNo.end() ? nullptr : it->second;
  }

 private:
  std::unordered_map<int, const CEslesenNokta*> m_byNo;
};

std::optional<std::string> ZoneOf(const PointIndex& points, const CEslesenNokta* pair) {
  if (!pair) return std::nullopt;
  const CTarvekNokta* p = points.Find(pair->nIndex1);
  const CTarvekNokta* q = points.Find(pair->nIndex2);
  if (!p || !q || p->strMeridian != q->strMeridian) return std::nullopt;
  return p->strMeridian;
}

void Count(std::vector<ZoneRows>& zones, const std::string& meridian, std::size_t rows) {
  auto it = std::find_if(zones.begin(), zones.end(), [&](const ZoneRows& z) { return z.meridian == meridian; });
  if (it == zones.end()) it = zones.insert(zones.end(), ZoneRows{meridian, 0, 0});
  ++it->records;
  it->rows += rows;
}

Result<std::vector<ZoneRows>> Fitting(std::vector<ZoneRows> zones) {
  for (const ZoneRows& z : zones) {
    if (z.rows <= kMaxDataRows) continue;
    return Status::Failure("Form bir sayfaya sığmıyor: en çok " + text::FormatInt(static_cast<std::int64_t>(kMaxDataRows)) +
                           " veri satırı yazılabilir, seçilen " + text::FormatInt(static_cast<std::int64_t>(z.rows)) + ".");
  }
  return zones;
}

}  // namespace

Result<std::vector<ZoneRows>> DetailFormZones(const CVelmiraDoc& doc, const std::vector<PointKey>& keys) {
  const PointIndex points(doc);
  std::vector<ZoneRows> zones;
  for (const PointKey& key : keys) {
    if (const CTarvekNokta* p = points.Find(key)) Count(zones, p->strMeridian, 1);
  }
  return Fitting(std::move(zones));
}

Result<std::vector<ZoneRows>> PolygonFormZones(const CVelmiraDoc& doc, const std::vector<int>& pairNos) {
  const PointIndex points(doc);
  const PairIndex pairs(doc);
  std::vector<ZoneRows> zones;
  for (int pairNo : pairNos) {
    const CEslesenNokta* pair = pairs.Find(pairNo);
    if (!pair) continue;
    const CTarvekNokta* p = points.Find(pair->nIndex1);
    const CTarvekNokta* q = points.Find(pair->nIndex2);
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
  return Fitting(std::move(zones));
}

std::vector<PointKey> DetailKeysInZone(const CVelmiraDoc& doc, const std::vector<PointKey>& keys,
                                       const std::string& meridian) {
  const PointIndex points(doc);
  std::vector<PointKey> inZone;
  for (const PointKey& key : keys) {
    const CTarvekNokta* p = points.Find(key);
    if (p && p->strMeridian == meridian) inZone.push_back(key);
  }
  return inZone;
}

std::optional<std::string> PairZone(const CVelmiraDoc& doc, int nPairNo) {
  return ZoneOf(PointIndex(doc), PairIndex(doc).Find(nPairNo));
}

std::vector<int> PairsInZone(const CVelmiraDoc& doc, const std::vector<int>& pairNos, const std::string& meridian) {
  const PointIndex points(doc);
  const PairIndex pairs(doc);
  std::vector<int> inZone;
  for (int pairNo : pairNos) {
    if (ZoneOf(points, pairs.Find(pairNo)) == meridian) inZone.push_back(pairNo);
  }
  return inZone;
}

std::filesystem::path ZoneFormPath(const std::filesystem::path& chosen, const std::string& meridian) {
  std::filesystem::path path = chosen;
  path.replace_filename(chosen.stem().native() + std::filesystem::path("_TM" + meridian).native() +
                        chosen.extension().native());
  return path;
}
