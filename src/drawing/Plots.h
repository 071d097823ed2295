#pragma once
// The pictures of a job: the pairs' differences against their limits, and the points on
// the grid. Built from the document and the rule check's findings, so the report page
// and the desktop draw the same thing.
#include <string>
#include <vector>

#include "drawing/Drawing.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

class CVelmiraDoc;

// One matched pair as the plots show it. The differences are signed, session 2 minus
// session 1, so the scatter shows which way the second session lies.
struct PairDifference {
  int nPairNo = 0;
  std::string name;  // UTF-8, the session-1 name
  double dy = 0;     // metres, grid easting
  double dx = 0;     // metres, grid northing
  double dh = 0;     // metres, ellipsoidal height
  double hours = 0;  // time between the sessions, always >= 0
  bool failing = false;  // the pair has a "Hata" finding
};

// The pairs of the document in list order whose two points are still loaded.
std::vector<PairDifference> PairDifferencesOf(const CVelmiraDoc& doc, const std::vector<Finding>& findings);

// One point on the map.
struct MapPoint {
  int nIndex = 0;
  int nFileNumber = 0;
  std::string name;  // UTF-8
  double y = 0;      // grid easting, metres
  double x = 0;      // grid northing, metres
  bool failing = false;  // a "Hata" on its own row or on one of its pairs
};

struct MapPair {
  int nPairNo = 0;
  int nIndex1 = 0;  // the points' nIndex
  int nIndex2 = 0;
  bool failing = false;
};

struct MapData {
  std::string meridian;  // the zone, "27" ... "45"
  std::vector<MapPoint> points;
  std::vector<MapPair> pairs;  // both points in this zone
};

// One map per zone, in the order the zones are first met in the point list.
std::vector<MapData> MapDataOf(const CVelmiraDoc& doc, const std::vector<Finding>& findings);

// ΔY against ΔX with the limit square (±dMaxDiffY by ±dMaxDiffX) and the circle of the
// larger limit; failing pairs red. Pixels and every picture's size are fixed; values that
// are not numbers are left out, and pairs far beyond the limits sit on the frame's edge.
drawing::Drawing DifferencePlot(const std::vector<PairDifference>& pairs, const RuleProfile& profile);
// Two panels, one column per pair in list order: |Δh| against dMaxDiffH, and the hours
// between the sessions against dMinDiffHours; a column is red where it breaks its panel's
// limit.
drawing::Drawing HeightTimePlot(const std::vector<PairDifference>& pairs, const RuleProfile& profile);
// The points of one zone in grid coordinates, north up, with a scale bar, a north arrow
// and the zone; pairs joined by a line, failing points red.
drawing::Drawing PointMap(const MapData& map);

// The drawing as one <svg> element (no XML declaration), fit for a page of its own or
// inline in HTML.
std::string SvgOf(const drawing::Drawing& picture);
