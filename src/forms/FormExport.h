#pragma once
// The cadastre authority's two acceptance forms, written from the document and the keys
// of the rows the user ticked, in table order.
#include <filesystem>
#include <string>
#include <vector>

#include "jobdata/CVelmiraDoc.h"

// The hidden keys of one row of the GPS point observation table.
struct PointKey {
  int nIndex;
  int nFileNumber;
};

// The detail point form: two header rows, then one row per point whose keys are given.
// False, with a UTF-8 message in error, when the rows come from job files of different
// zones or the file cannot be written; an earlier file at path is then left as it was.
bool WriteDetailForm(const CVelmiraDoc& doc, const std::vector<PointKey>& rows,
                     const std::filesystem::path& path, std::string& error);

// The polygon (control point) form: two header rows, then two rows per pair whose pair
// number is given, session 1 above session 2, the mean coordinate spanning both. False,
// with a UTF-8 message, when the pairs' points lie in different zones, a pair's point is
// no longer loaded, or the file cannot be written.
bool WritePolygonForm(const CVelmiraDoc& doc, const std::vector<int>& pairNos,
                      const std::filesystem::path& path, std::string& error);
