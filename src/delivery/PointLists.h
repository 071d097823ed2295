#pragma once
// The plain-text point lists of a delivery, Windows-1254, every line ending in CRLF:
//   kesinpol  name mean-easting mean-northing mean-height   (one line per pair)
//   NCN       name easting northing height                  (one line per point)
// Fields are separated by one blank, so a blank (or any other white space or control
// character) inside a name is written as "_", and an empty name as "_".
#include <string>
#include <string_view>
#include <vector>

#include "jobdata/Records.h"

class CVelmiraDoc;

std::string ListFieldName(std::string_view cp1254);

// The final coordinates of the pairs given, in that order: the session-1 name and the
// means of the two observations, 3 decimals. Pairs that are not in the list are skipped.
std::string KesinpolText(const CVelmiraDoc& doc, const std::vector<int>& pairNos);

// Every point given, in that order, as Netcad's NCN point list reads it.
std::string NcnText(const std::vector<CTarvekNokta>& points);
