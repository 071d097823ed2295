#pragma once
// The plain-text point lists of a delivery, Windows-1254, every line ending in CRLF:
//   kesinpol  name mean-easting mean-northing mean-height   (one line per point)
//   NCN       name easting northing height                  (one line per point)
// Fields are separated by one blank, so a blank (or any other white space or control
// character) inside a name is written as "_", and an empty name as "_".
#include <string>
#include <string_view>
#include <vector>

#include "jobdata/Records.h"
#include "rules/RuleCheck.h"

class CVelmiraDoc;

std::string ListFieldName(std::string_view cp1254);

// The final coordinate of one point, named by session 1 of its pairs: the mean of the
// sessions of every pair of it that passes the check; when none passes, of the sessions
// of all its pairs (fromFailedPairs). A point measured three times is one value, not three.
struct FinalCoordinate {
  std::string name;  // Windows-1254
  double dY = 0, dX = 0, dHeight = 0;
  std::vector<int> sessions;  // the observations (point indexes) that made it
  bool fromFailedPairs = false;
};

// The final coordinates of the pairs given, a point in the order of its first pair.
// Pairs that are not in the list are skipped.
std::vector<FinalCoordinate> FinalCoordinates(const CVelmiraDoc& doc, const std::vector<int>& pairNos,
                                              const std::vector<Finding>& findings);

// One line per point: the name and the final coordinate, 3 decimals.
std::string KesinpolText(const std::vector<FinalCoordinate>& finals);

// Every point given, in that order, as Netcad's NCN point list reads it.
std::string NcnText(const std::vector<CTarvekNokta>& points);
