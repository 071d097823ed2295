#pragma once
// Session matching: pairs the observations whose grid coordinates and heights agree
// within the tolerance, drops the mirror duplicates and numbers the groups.
//
// The result is exactly that of comparing every ordered pair of points (P, Q) in list
// order, then every pair with every other, but a grid index over the coordinates and a
// hash over the names keep it close to linear in the number of points.
#include <cstddef>
#include <vector>

#include "jobdata/Records.h"

// Every ordered pair (P, Q) of points, in list order, whose easting, northing and
// height differ by at most dMatchTol metres but not all by less than 0.00001 m.
// Pair numbers run from 100. A point whose easting, northing or height is not finite
// pairs with nothing, and neither does a tolerance that is not a number.
std::vector<CEslesenNokta> MatchPairs(const std::vector<CTarvekNokta>& points, double dMatchTol);

// How many pairs MatchPairs would make, counting no further than limit + 1: the
// memory and time a matching will take, known before it is spent.
std::size_t CountPairs(const std::vector<CTarvekNokta>& points, double dMatchTol, std::size_t limit);

// Keeps the first of every pair and its mirror (the same names crosswise, differences
// within 0.00001 m).
void RemoveMirrorPairs(std::vector<CEslesenNokta>& pairs);

// Pairs whose first observation opens more than one pair share a group number: the
// 1-based list position of the group's last pair. Returns the group counter after the
// run (one more than the number of pairs).
int AssignGroupNumbers(std::vector<CEslesenNokta>& pairs);
