#pragma once
// What a form export must know before it asks for a file name: the zones its rows lie
// in and the parts each zone's form is written in. A form names one zone in its header,
// so rows of several zones are written as one form per zone; a sheet holds 65,536 rows,
// so a zone's form of more rows is written as several whole forms, each with its header.
#include <algorithm>
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

// The zones of the points behind keys, in the order first met; stale keys count nothing.
std::vector<ZoneRows> DetailFormZones(const CVelmiraDoc& doc, const std::vector<PointKey>& keys);
// As DetailFormZones for pairs. Refused, with the cause, when a pair's point is no longer
// loaded or its two observations lie in different zones.
Result<std::vector<ZoneRows>> PolygonFormZones(const CVelmiraDoc& doc, const std::vector<int>& pairNos);

// One part of a zone's form: the records of the zone, in their order, from first on.
struct FormPart {
  std::size_t first = 0;
  ZoneRows rows;
};

// The parts a zone's form is written in: one when its rows fit below the header of one
// sheet, else each part as full as a sheet allows, in order. A pair's two rows are never
// split across two parts. A zone without records gives one empty part.
std::vector<FormPart> FormParts(const ZoneRows& zone);

// The records of one part, taken from the zone's records in order (DetailKeysInZone,
// PairsInZone); records past the end give nothing.
template <typename Record>
std::vector<Record> PartRecords(const std::vector<Record>& inZone, const FormPart& part) {
  const std::size_t first = std::min(part.first, inZone.size());
  const std::size_t last = std::min(first + part.rows.records, inZone.size());
  return std::vector<Record>(inZone.begin() + static_cast<std::ptrdiff_t>(first),
                             inZone.begin() + static_cast<std::ptrdiff_t>(last));
}

// The keys, or pair numbers, whose points lie in the zone, in their order.
std::vector<PointKey> DetailKeysInZone(const CVelmiraDoc& doc, const std::vector<PointKey>& keys,
                                       const std::string& meridian);
std::vector<int> PairsInZone(const CVelmiraDoc& doc, const std::vector<int>& pairNos, const std::string& meridian);

// The zone of a pair's two observations; nothing when the pair is unknown, a point is no
// longer loaded, or the two lie in different zones.
std::optional<std::string> PairZone(const CVelmiraDoc& doc, int nPairNo);

// Where one zone's form goes beside the chosen name: form.xls and 33 give form_TM33.xls.
std::filesystem::path ZoneFormPath(const std::filesystem::path& chosen, const std::string& meridian);
// Where a part of a form goes beside its name, counted from 1: form.xls and 2 give
// form_2.xls.
std::filesystem::path PartFormPath(const std::filesystem::path& form, std::size_t number);
