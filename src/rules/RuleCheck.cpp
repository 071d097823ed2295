#include "rules/RuleCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"

namespace {

using Level = Finding::Level;

// Rule texts are written here in UTF-8 and kept in Windows-1254, like every text of a
// finding; converted once.
std::string Cp(const std::string& utf8) { return text::Utf8ToCp1254(utf8); }

struct Texts {
  std::string techniqueCode = Cp("Kod (DGPS) yayını: poligon noktaları VRS, FKP veya MAC ile ölçülmelidir");
  std::string techniqueRtk = Cp("Klasik RTK ile ölçülmüş: Ağ RTK'da VRS, FKP veya MAC beklenir");
  std::string techniqueUnknown = Cp("Yayın adından VRS, FKP veya MAC tekniği doğrulanamıyor");
  std::string sameFile = Cp("İki oturum aynı iş dosyasında olmalıdır");
  std::string zoneOutside = Cp("Nokta dilimin dışında (orta meridyenden 1.5 dereceden uzak): grid koordinatları bozulur");
  std::string zoneWrong = Cp("Nokta orta meridyenden 3 dereceden uzak: dilim yanlış");
  std::string zoneSource = Cp("3 derecelik TM dilimleri, EPSG 5253-5259");
  std::string sameFileLimit = Cp("aynı dosya");
  std::string hata = Cp("Hata");
  std::string uyari = Cp("Uyarı");
  std::string pairKey = Cp("Ç:");
  std::string noPoints = Cp("İş dosyasında değerlendirilecek FIX nokta yok: ölçü olmadan teslime hazır denemez");
  std::string unreadPoint =
      Cp("Noktanın değeri okunamadı, nokta programa alınmadı: bu oturum değerlendirilemiyor");
  std::string countEpochs = Cp("Epok sayısı olanaksız: 0 ile 1728000 (bir gün, 20 Hz) arasında olmalıdır");
  std::string countGps = Cp("GPS uydu sayısı olanaksız: 0 ile 64 arasında olmalıdır");
  std::string countGlonass = Cp("GLONASS uydu sayısı olanaksız: 0 ile 64 arasında olmalıdır");
  std::string countDuration = Cp("Ölçü süresi olanaksız: 0 ile 86400 saniye (bir gün) arasında olmalıdır");
  std::string evidenceSource = Cp("iş dosyasından okunan değerler");
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

// A limit as the number it is ("0.07", "1.5", "3"), without a forced number of decimals.
std::string LimitText(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return text::FormatFixed(value, 4);
  return std::string(buffer, end);
}

std::string DiffText(double metres) { return text::FormatFixed(metres, 4); }

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

bool EqualsNoCase(const std::string& s, const char* upper) {
  size_t n = 0;
  while (upper[n]) ++n;
  return s.size() == n && StartsWithNoCase(s, upper);
}

// How a session was measured, judged by its mountpoint name; ordered from best to worst.
enum class Technique { Network, Unconfirmed, Rtk, Code };

Technique ClassifyMethod(const std::string& method) {
  if (method == "RTK") return Technique::Rtk;
  if (StartsWithNoCase(method, "VRS") || StartsWithNoCase(method, "FKP") || StartsWithNoCase(method, "MAC")) {
    return Technique::Network;
  }
  // Code streams under any spelling: "DGPSNet", "DGPSNET", "DGNSS".
  if (EqualsNoCase(method, "DGPSNET") || EqualsNoCase(method, "DGNSS")) return Technique::Code;
  return Technique::Unconfirmed;
}

int Severity(Technique t) {
  switch (t) {
    case Technique::Network: return 0;
    case Technique::Unconfirmed:
    case Technique::Rtk: return 1;
    case Technique::Code: return 2;
  }
  return 0;
}

// The rules that carry the profile's limits in their words.
struct ProfileTexts {
  explicit ProfileTexts(const RuleProfile& p)
      : detailEpochs(Cp("Detay noktası en az " + text::FormatInt(p.minDetailEpochs) + " epok ile ölçülmelidir")),
        pairEpochs(Cp("Poligon noktasının her oturumu en az " + text::FormatInt(p.minPairEpochs) + " epok olmalıdır")),
        satellites(Cp("Her oturumda en az " + text::FormatInt(p.minSatellites) +
                      " uydu (GPS + GLONASS) kullanılmalıdır")),
        diffY(Cp("İki oturumun sağa değer farkı en çok " + LimitText(p.dMaxDiffY) + " m olmalıdır")),
        diffX(Cp("İki oturumun yukarı değer farkı en çok " + LimitText(p.dMaxDiffX) + " m olmalıdır")),
        diffH(Cp("İki oturumun elipsoit yüksekliği farkı en çok " + LimitText(p.dMaxDiffH) + " m olmalıdır")),
        hours(Cp("İki oturum arasında en az " + LimitText(p.dMinDiffHours) + " saat olmalıdır")) {}
  std::string detailEpochs, pairEpochs, satellites, diffY, diffX, diffH, hours;
};

class Checker {
 public:
  Checker(const std::vector<CTarvekNokta>& points, const RuleProfile& profile)
      : m_index(points, {}), m_profile(profile), m_builtIn(BuiltInProfile(profile.id)), m_texts(profile),
        m_source(Cp(profile.source)) {}

  void Point(const CTarvekNokta& p, std::vector<Finding>& out) const {
    const struct {
      std::int64_t value, max;
      const std::string& text;
    } counts[] = {{p.nEpochs, kMaxEpochs, T().countEpochs},
                  {p.nGpsSats, kMaxSatellitesPerSystem, T().countGps},
                  {p.nGlonassSats, kMaxSatellitesPerSystem, T().countGlonass},
                  {p.nDuration, kMaxDurationS, T().countDuration}};
    for (const auto& count : counts) {
      if (count.value >= 0 && count.value <= count.max) continue;
      Finding f = PointFinding(p);
      Set(f, "count", text::FormatInt(count.value), "0.." + text::FormatInt(count.max), Level::Error, count.text);
      f.source = T().evidenceSource;
      out.push_back(std::move(f));
    }
    if (p.nEpochs < m_profile.minDetailEpochs) {
      Finding f = PointFinding(p);
      Set(f, "epochs", text::FormatInt(p.nEpochs), text::FormatInt(m_profile.minDetailEpochs), Level::Error,
          m_texts.detailEpochs);
      out.push_back(std::move(f));
    }
    if (auto zone = CheckZone(p)) out.push_back(std::move(*zone));
  }

  void Pair(const CEslesenNokta& pair, std::vector<Finding>& out) const {
    const CTarvekNokta* p = m_index.Point(pair.nIndex1);
    const CTarvekNokta* q = m_index.Point(pair.nIndex2);
    if (!p || !q) return;
    auto add = [&](const char* rule, std::string value, std::string limit, Level level, const std::string& text,
                   std::optional<std::string> source = std::nullopt) {
      Finding f;
      f.target = Finding::Target::Pair;
      f.nIndex = pair.nPairNo;
      f.strName = pair.strName1;
      Set(f, rule, std::move(value), std::move(limit), level, text);
      if (source) f.source = std::move(*source);
      out.push_back(std::move(f));
    };
    const std::int64_t epochs = std::min(pair.nEpochs1, pair.nEpochs2);
    if (epochs < m_profile.minPairEpochs) {
      add("epochs", text::FormatInt(epochs), text::FormatInt(m_profile.minPairEpochs), Level::Error, m_texts.pairEpochs);
    }
    const std::int64_t satellites = std::min(Satellites(*p), Satellites(*q));
    if (satellites < m_profile.minSatellites) {
      add("satellites", text::FormatInt(satellites), text::FormatInt(m_profile.minSatellites), Level::Error,
          m_texts.satellites);
    }
    // Equal to its limit is accepted, as the matching table leaves such a cell uncoloured.
    if (pair.dDiffY > m_profile.dMaxDiffY) {
      add("diff-y", DiffText(pair.dDiffY), LimitText(m_profile.dMaxDiffY), Level::Error, m_texts.diffY,
          LimitSource(&RuleProfile::dMaxDiffY, "m"));
    }
    if (pair.dDiffX > m_profile.dMaxDiffX) {
      add("diff-x", DiffText(pair.dDiffX), LimitText(m_profile.dMaxDiffX), Level::Error, m_texts.diffX,
          LimitSource(&RuleProfile::dMaxDiffX, "m"));
    }
    if (pair.dDiffH > m_profile.dMaxDiffH) {
      add("diff-h", DiffText(pair.dDiffH), LimitText(m_profile.dMaxDiffH), Level::Error, m_texts.diffH,
          LimitSource(&RuleProfile::dMaxDiffH, "m"));
    }
    if (pair.dDiffHours < m_profile.dMinDiffHours) {
      add("hours", DiffText(pair.dDiffHours), LimitText(m_profile.dMinDiffHours), Level::Error, m_texts.hours,
          LimitSource(&RuleProfile::dMinDiffHours, "saat"));
    }
    if (!m_profile.network) return;
    // Both sessions are judged; the worse one is reported, the first on a tie.
    const Technique t1 = ClassifyMethod(p->strMethod), t2 = ClassifyMethod(q->strMethod);
    const bool secondWorse = Severity(t2) > Severity(t1);
    const Technique worst = secondWorse ? t2 : t1;
    if (worst != Technique::Network) {
      const std::string& method = secondWorse ? q->strMethod : p->strMethod;
      const std::string& text = worst == Technique::Code  ? T().techniqueCode
                                : worst == Technique::Rtk ? T().techniqueRtk
                                                          : T().techniqueUnknown;
      add("technique", method, "VRS/FKP/MAC", worst == Technique::Code ? Level::Error : Level::Warning, text);
    }
    if (p->nFileNumber != q->nFileNumber) {
      add("same-file", text::FormatInt(p->nFileNumber) + "/" + text::FormatInt(q->nFileNumber), T().sameFileLimit,
          Level::Error, T().sameFile);
    }
  }

 private:
  // Each count is at most what 64 bits hold; clamped to a quarter of that, so is their sum.
  static std::int64_t Satellites(const CTarvekNokta& p) {
    constexpr std::int64_t kBound = std::int64_t{1} << 61;
    return std::clamp(p.nGpsSats, -kBound, kBound) + std::clamp(p.nGlonassSats, -kBound, kBound);
  }

  static Finding PointFinding(const CTarvekNokta& p) {
    Finding f;
    f.target = Finding::Target::Point;
    f.nIndex = p.nIndex;
    f.nFileNumber = p.nFileNumber;
    f.strName = p.strName;
    return f;
  }

  // The regulation is the source only of its own limit: a built-in profile's limit that
  // the user changed says so, with the regulation's value beside it.
  std::optional<std::string> LimitSource(double RuleProfile::*limit, const char* unit) const {
    if (!m_builtIn || (*m_builtIn).*limit == m_profile.*limit) return std::nullopt;
    return Cp("kullanıcı sınırı; yönerge " + LimitText((*m_builtIn).*limit) + " " + unit);
  }

  void Set(Finding& f, const char* rule, std::string value, std::string limit, Level level,
           const std::string& text) const {
    f.rule = rule;
    f.value = std::move(value);
    f.limit = std::move(limit);
    f.level = level;
    f.text = text;
    f.source = m_source;
  }

  const JobIndex m_index;
  const RuleProfile& m_profile;
  std::optional<RuleProfile> m_builtIn;  // the regulation's own limits, for a built-in profile
  ProfileTexts m_texts;
  std::string m_source;
};

// |longitude - meridian| in degrees; NaN when either is not a number.
double ZoneOffset(const CTarvekNokta& p) {
  const int meridian = text::AtoI(p.strMeridian);
  if (meridian <= 0) return std::nan("");
  return std::fabs(p.dLon - meridian);
}

}  // namespace

std::optional<Finding> CheckZone(const CTarvekNokta& point) {
  const double offset = ZoneOffset(point);
  if (offset <= kZoneHalfWidthDeg) return std::nullopt;
  Finding f;
  f.target = Finding::Target::Point;
  f.nIndex = point.nIndex;
  f.nFileNumber = point.nFileNumber;
  f.strName = point.strName;
  f.rule = "zone";
  f.value = text::FormatFixed(offset, 4);
  const bool wrongZone = !(offset <= kWrongZoneDeg);
  f.limit = LimitText(wrongZone ? kWrongZoneDeg : kZoneHalfWidthDeg);
  f.level = wrongZone ? Finding::Level::Error : Finding::Level::Warning;
  f.text = wrongZone ? T().zoneWrong : T().zoneOutside;
  f.source = T().zoneSource;
  return f;
}

std::optional<std::string> ZoneNote(const std::vector<CTarvekNokta>& points, int nFileNumber) {
  int outside = 0, wrong = 0;
  const CTarvekNokta* farthest = nullptr;
  double farthestOffset = 0;
  for (const CTarvekNokta& p : points) {
    if (p.nFileNumber != nFileNumber) continue;
    const double offset = ZoneOffset(p);
    if (offset <= kZoneHalfWidthDeg) continue;
    ++outside;
    if (!(offset <= kWrongZoneDeg)) ++wrong;
    if (!farthest || !(offset <= farthestOffset)) {
      farthest = &p;
      farthestOffset = offset;
    }
  }
  if (!farthest) return std::nullopt;
  std::string note = "TSJ Dosyasındaki " + text::FormatInt(outside) + " nokta dilimin dışında (orta meridyen " +
                     text::Cp1254ToUtf8(farthest->strMeridian) + "): en uzak nokta " +
                     text::Cp1254ToUtf8(farthest->strName) + ", " + text::FormatFixed(farthestOffset, 4) +
                     " derece.";
  if (wrong > 0) {
    note += "\n" + text::FormatInt(wrong) + " nokta orta meridyenden 3 dereceden uzak: dilim yanlış seçilmiş olabilir.";
  }
  return note;
}

std::vector<Finding> CheckRules(const std::vector<CTarvekNokta>& points, const std::vector<CEslesenNokta>& pairs,
                                const RuleProfile& profile) {
  std::vector<Finding> findings;
  const Checker checker(points, profile);
  for (const CTarvekNokta& p : points) checker.Point(p, findings);
  for (const CEslesenNokta& pair : pairs) checker.Pair(pair, findings);
  return findings;
}

namespace {

Finding FileFinding(int nFileNumber, std::string name, const char* rule, std::string value, std::string limit,
                    const std::string& text) {
  Finding f;
  f.target = Finding::Target::File;
  f.nFileNumber = nFileNumber;
  f.strName = std::move(name);
  f.rule = rule;
  f.value = std::move(value);
  f.limit = std::move(limit);
  f.level = Level::Error;
  f.text = text;
  f.source = T().evidenceSource;
  return f;
}

}  // namespace

std::vector<Finding> CheckJobFiles(const std::vector<tsjdosya>& files, const std::vector<CTarvekNokta>& points,
                                   const std::vector<CRefusedPoint>& refused) {
  std::vector<Finding> findings;
  std::unordered_map<int, size_t> pointsOf;
  for (const CTarvekNokta& p : points) ++pointsOf[p.nFileNumber];
  for (const tsjdosya& file : files) {
    if (pointsOf[file.nFileNumber] == 0) {
      findings.push_back(FileFinding(file.nFileNumber, file.strFileName, "no-points", "0", "1", T().noPoints));
    }
    for (const CRefusedPoint& r : refused) {
      if (r.nFileNumber != file.nFileNumber) continue;
      findings.push_back(
          FileFinding(file.nFileNumber, r.strName, "unread-point", r.strField + " " + r.strValue, r.strLimit,
                      T().unreadPoint));
    }
  }
  return findings;
}

std::vector<Finding> CheckRules(const CVelmiraDoc& doc, const RuleProfile& profile) {
  std::vector<Finding> findings = CheckJobFiles(doc.TsjList(), doc.NoktaList(), doc.RefusedList());
  std::vector<Finding> lists = CheckRules(doc.NoktaList(), doc.EslesenList(), profile);
  findings.insert(findings.end(), std::make_move_iterator(lists.begin()), std::make_move_iterator(lists.end()));
  return findings;
}

std::string Verdict::Text() const {
  if (errors == 0) {
    std::string ready = "Teslime hazır: hata yok";
    if (warnings > 0) ready += ", " + text::FormatInt(warnings) + " uyarı";
    return ready;
  }
  return text::FormatInt(errors) + " hata, " + text::FormatInt(warnings) + " uyarı";
}

std::unordered_map<int, Finding::Level> WorstLevelByPoint(const std::vector<CEslesenNokta>& pairs,
                                                          const std::vector<Finding>& findings) {
  const JobIndex index({}, pairs);
  std::unordered_map<int, Finding::Level> worst;
  auto mark = [&](int nIndex, Finding::Level level) {
    auto [it, added] = worst.emplace(nIndex, level);
    if (!added && level == Finding::Level::Error) it->second = level;
  };
  for (const Finding& f : findings) {
    if (f.target == Finding::Target::File) continue;  // no point shown carries it
    if (f.target == Finding::Target::Point) {
      mark(f.nIndex, f.level);
    } else if (const CEslesenNokta* pair = index.Pair(f.nIndex)) {
      mark(pair->nIndex1, f.level);
      mark(pair->nIndex2, f.level);
    }
  }
  return worst;
}

Verdict Summarize(const std::vector<Finding>& findings) {
  Verdict v;
  for (const Finding& f : findings) {
    if (f.level == Finding::Level::Error) {
      ++v.errors;
    } else {
      ++v.warnings;
    }
  }
  return v;
}

const std::array<const char*, kFindingColumns>& FindingTableHeaders() {
  static const std::array<const char*, kFindingColumns> headers = {"Satır", "Nokta Adı", "Kural", "Değer",
                                                                   "Sınır", "Düzey", "Açıklama"};
  return headers;
}

std::array<std::string, kFindingColumns> FindingRowTexts(const Finding& f) {
  std::string row = f.target == Finding::Target::Point
                        ? "N:" + text::FormatInt(f.nIndex) + "/" + text::FormatInt(f.nFileNumber)
                    : f.target == Finding::Target::Pair ? T().pairKey + text::FormatInt(f.nIndex)
                                                        : "D:" + text::FormatInt(f.nFileNumber);
  return {std::move(row),
          f.strName,
          f.rule,
          f.value,
          f.limit,
          f.level == Finding::Level::Error ? T().hata : T().uyari,
          f.text + " (" + f.source + ")"};
}
