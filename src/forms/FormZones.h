#pragma once
// What a form export must know before it asks for a file name: the zones its rows lie
// in and whether each zone's form fits on one sheet. A form names one zone in its
// header, so rows of several zones are written as one form per zone.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "forms/FormExport.h"
#include "platform/Result.h"

struct ZoneRows {
  std::string meridian;    // "27" ... "45"
  std::size_t records = 0;  // points, or pairs
  std::size_t rows = 0;     // the form's data rows: one per point, two per pair
};

// The zones of the points behind keys, in the order first met. Refused, with the cause,
// when a zone's form would not fit on one sheet.
Result<std::vector<ZoneRows>> DetailFormZones(const CVelmiraDoc& doc, const std::vector<PointKey>& keys);
// As DetailFormZones for pairs; also refused when a pair's point is no longer loaded or
// its two observations lie in different zones.
Result<std::vector<ZoneRows>> PolygonFormZones(const CVelmiraDoc& doc, const std::vector<int>& pairNos);

// The keys, or pair numbers, whose points lie in the zone, in their order.
std::vector<PointKey> DetailKeysInZone(const CVelmiraDoc& doc, const std::vector<PointKey>& keys,
                                       const std::string& meridian);
std::vector<int> PairsInZone(const CVelmiraDoc& doc, const std::vector<int>& pairNos, const std::string& meridian);

// The zone of a pair's two observations; nothing when the pair is unknown, a point is no
// longer loaded, or the two lie in different zones.
std::optional<std::string> PairZone(const CVelmiraDoc& doc, int nPairNo);

// Where one zone's form goes beside the chosen name: form.xls and 33 give form_TM33.xls.
std::filesystem::path ZoneFormPath(const std::filesystem::path& chosen, const std::string& meridian);
