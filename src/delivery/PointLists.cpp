#include "delivery/PointLists.h"

#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "text/Numbers.h"

namespace {

// Three decimals; a value that rounds to zero is "0.000", never "-0.000".
std::string Metres(double value) {
  std::string text = text::FormatFixed(value, 3);
  if (text == "-0.000") text.erase(0, 1);
  return text;
}

void AppendLine(std::string& out, std::string_view name, double a, double b, double c) {
  out += ListFieldName(name);
  out += ' ';
  out += Metres(a);
  out += ' ';
  out += Metres(b);
  out += ' ';
  out += Metres(c);
  out += "\r\n";
}

}  // namespace

std::string ListFieldName(std::string_view cp1254) {
  if (cp1254.empty()) return "_";
  std::string name(cp1254);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f') c = '_';
  }
  return name;
}

std::string KesinpolText(const CVelmiraDoc& doc, const std::vector<int>& pairNos) {
  const JobIndex index(doc);
  std::string out;
  for (int pairNo : pairNos) {
    if (const CEslesenNokta* pair = index.Pair(pairNo)) AppendLine(out, pair->strName1, pair->dMeanY, pair->dMeanX, pair->dMeanH);
  }
  return out;
}

std::string NcnText(const std::vector<CTarvekNokta>& points) {
  std::string out;
  out.reserve(points.size() * 48);
  for (const CTarvekNokta& p : points) AppendLine(out, p.strName, p.dY, p.dX, p.dHeight);
  return out;
}
