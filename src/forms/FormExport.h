#pragma once
// The cadastre authority's two acceptance forms, written from the document and the keys
// of the rows the user ticked, in table order.
#include <filesystem>
#include <string>
#include <vector>

#include "jobdata/CVelmiraDoc.h"
#include "platform/Result.h"

// The hidden keys of one row of the GPS point observation table.
struct PointKey {
  int nIndex;
  int nFileNumber;
};

// The detail point form: two header rows, then one row per point whose keys are given.
// Refused, with the cause, when the rows come from job files of different zones, a text
// is longer than a cell holds, path is a job file of the document or its copy, or the
// file cannot be written; nothing is written then, and an earlier file at path is left
// as it was.
Status WriteDetailForm(const CVelmiraDoc& doc, const std::vector<PointKey>& rows,
                       const std::filesystem::path& path);

// The polygon (control point) form: two header rows, then two rows per pair whose pair
// number is given, session 1 above session 2, the mean coordinate spanning both. Refused
// as the detail form is, and also when a pair's point is no longer loaded.
Status WritePolygonForm(const CVelmiraDoc& doc, const std::vector<int>& pairNos,
                        const std::filesystem::path& path);
