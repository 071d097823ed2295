#include "jobdata/TableTexts.h"

#include "text/Numbers.h"

namespace {

using text::FormatFixed;
using text::FormatInt;

constexpr int kCoordinateDecimals = 4;
constexpr int kDilutionDecimals = 12;

}  // namespace

const std::array<const char*, kPointColumns>& PointTableHeaders() {
  static const std::array<const char*, kPointColumns> headers = {
      "Nokta No", "Baz Nokta No", "Sağa Değer", "Yukarı Değer", "Elipsoid Yüksekliği",
      "Tamsayı B.Çözümü", "Veri Toplama Aralığı", "Oturum Zamanı", "Epok Sayısı", "HDop",
      "VDop", "PDop", "RMS", "GPS Uydu Sayısı", "GLONASS Uydu Sayısı", "Enlem", "Boylam",
      "Oturum Zamanı", "nIndex", "nFileNumber"};
  return headers;
}

const std::array<ColumnKind, kPointColumns>& PointColumnKinds() {
  using enum ColumnKind;
  static const std::array<ColumnKind, kPointColumns> kinds = {
      Text,   Text,   Number, Number, Number, Text,   Number, Number, Number, Number,
      Number, Number, Number, Number, Number, Number, Number, DateTime, Number, Number};
  return kinds;
}

std::array<std::string, kPointColumns> PointRowTexts(const CTarvekNokta& p) {
  return {p.strName,
          p.strBaseName,
          FormatFixed(p.dY, kCoordinateDecimals),
          FormatFixed(p.dX, kCoordinateDecimals),
          FormatFixed(p.dHeight, kCoordinateDecimals),
          p.strSolution,
          FormatInt(1),  // one-second data interval
          FormatFixed(p.dStartTime, 1),
          FormatInt(p.nEpochs),
          FormatFixed(p.dHdop, kDilutionDecimals),
          FormatFixed(p.dVdop, kDilutionDecimals),
          FormatFixed(p.dPdop, kDilutionDecimals),
          FormatFixed(p.dRms, kCoordinateDecimals),
          FormatInt(p.nGpsSats),
          FormatInt(p.nGlonassSats),
          FormatFixed(p.dLat, kDilutionDecimals),
          FormatFixed(p.dLon, kDilutionDecimals),
          p.strTime,
          FormatInt(p.nIndex),
          FormatInt(p.nFileNumber)};
}

const std::array<const char*, kPairColumns>& PairTableHeaders() {
  static const std::array<const char*, kPairColumns> headers = {
      "1.Oturum", "2.Oturum", "1.Oturum Epok Sayısı", "2.Oturum Epok Sayısı",
      "FARK-Sağa Değer(m)", "FARK-Yukarı Değer(m)", "FARK-Elipsoit H.(m)",
      "FARK-Oturum Zamanı(saat)", "nIndex", "Oturum1_NDX", "Oturum2_NDX", "Grup No"};
  return headers;
}

const std::array<ColumnKind, kPairColumns>& PairColumnKinds() {
  using enum ColumnKind;
  static const std::array<ColumnKind, kPairColumns> kinds = {
      Text, Text, Number, Number, Number, Number, Number, Number, Number, Number, Number, Number};
  return kinds;
}

std::array<std::string, kPairColumns> PairRowTexts(const CEslesenNokta& pair) {
  return {pair.strName1,
          pair.strName2,
          FormatInt(pair.nEpochs1),
          FormatInt(pair.nEpochs2),
          FormatFixed(pair.dDiffY, kCoordinateDecimals),
          FormatFixed(pair.dDiffX, kCoordinateDecimals),
          FormatFixed(pair.dDiffH, kCoordinateDecimals),
          FormatFixed(pair.dDiffHours, kCoordinateDecimals),
          FormatInt(pair.nPairNo),
          FormatInt(pair.nIndex1),
          FormatInt(pair.nIndex2),
          FormatInt(pair.nGroupNo)};
}

std::vector<int> PairFlaggedColumns(const CEslesenNokta& pair, const CMatchCriteria& criteria) {
  std::vector<int> columns;
  if (pair.nGroupNo != kNoGroup) columns.push_back(0);
  if (pair.dDiffY > criteria.dMaxDiffY) columns.push_back(4);
  if (pair.dDiffX > criteria.dMaxDiffX) columns.push_back(5);
  if (pair.dDiffH > criteria.dMaxDiffH) columns.push_back(6);
  if (pair.dDiffHours < criteria.dMinDiffHours) columns.push_back(7);
  return columns;
}
