#include "delivery/PointLists.h"

#include <algorithm>
#include <map>
#include <set>

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

namespace {

// Gathered once: a search of the findings for each pair made a large job's lists
// quadratic (minutes for 100,000 failing pairs).
std::set<int> FailingPairs(const std::vector<Finding>& findings) {
  std::set<int> failing;
  for (const Finding& f : findings) {
    if (f.target == Finding::Target::Pair && f.level == Finding::Level::Error) failing.insert(f.nIndex);
  }
  return failing;
}

// The mean of the distinct sessions of the pairs given.
FinalCoordinate MeanOf(const JobIndex& index, const std::vector<const CEslesenNokta*>& pairs) {
  FinalCoordinate final;
  for (const CEslesenNokta* pair : pairs) {
    for (int nIndex : {pair->nIndex1, pair->nIndex2}) {
      const CTarvekNokta* point = index.Point(nIndex);
      if (!point || std::find(final.sessions.begin(), final.sessions.end(), nIndex) != final.sessions.end()) continue;
      final.sessions.push_back(nIndex);
      final.dY += point->dY;
      final.dX += point->dX;
      final.dHeight += point->dHeight;
    }
  }
  const double n = static_cast<double>(final.sessions.size());
  if (n > 0) final.dY /= n, final.dX /= n, final.dHeight /= n;
  return final;
}

}  // namespace

std::vector<FinalCoordinate> FinalCoordinates(const CVelmiraDoc& doc, const std::vector<int>& pairNos,
                                              const std::vector<Finding>& findings) {
  const JobIndex index(doc);
  const std::set<int> failing = FailingPairs(findings);
  std::vector<std::string> names;  // in the order of each point's first pair
  std::map<std::string, std::vector<const CEslesenNokta*>> passing, all;
  for (int pairNo : pairNos) {
    const CEslesenNokta* pair = index.Pair(pairNo);
    if (!pair) continue;
    if (!all.count(pair->strName1)) names.push_back(pair->strName1);
    all[pair->strName1].push_back(pair);
    if (!failing.count(pairNo)) passing[pair->strName1].push_back(pair);
  }
  std::vector<FinalCoordinate> finals;
  for (const std::string& name : names) {
    const bool anyPasses = passing.count(name) > 0;
    FinalCoordinate final = MeanOf(index, anyPasses ? passing[name] : all[name]);
    final.name = name;
    final.fromFailedPairs = !anyPasses;
    finals.push_back(std::move(final));
  }
  return finals;
}

std::string KesinpolText(const std::vector<FinalCoordinate>& finals) {
  std::string out;
  for (const FinalCoordinate& final : finals) AppendLine(out, final.name, final.dY, final.dX, final.dHeight);
  return out;
}

std::string NcnText(const std::vector<CTarvekNokta>& points) {
  std::string out;
  out.reserve(points.size() * 48);
  for (const CTarvekNokta& p : points) AppendLine(out, p.strName, p.dY, p.dX, p.dHeight);
  return out;
}
