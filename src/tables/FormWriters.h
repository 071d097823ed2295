#pragma once
// The seam between the tables and the form writers: the exports call these, so tests
// can see the keys a table hands over or make a save fail.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jobdata/CVelmiraDoc.h"

#include "forms/FormExport.h"

// Each writes the form to path, or returns the cause of the failure.
using DetailFormWriter = std::function<Status(const CVelmiraDoc& doc, const std::vector<PointKey>& rows,
                                              const std::filesystem::path& path)>;
using PolygonFormWriter = std::function<Status(const CVelmiraDoc& doc, const std::vector<int>& pairNos,
                                               const std::filesystem::path& path)>;

struct CFormWriters {
  DetailFormWriter detail;
  PolygonFormWriter polygon;
};

// The forms layer's writers.
CFormWriters DefaultFormWriters();
