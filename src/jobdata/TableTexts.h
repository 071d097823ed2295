#pragma once
// The texts of the GPS point observation table and of the point matching table, shared
// by the desktop tables and the command line so both show the same characters.
// Headers are UTF-8; row texts are Windows-1254 (names as the job file holds them,
// numbers in ASCII).
#include <array>
#include <string>
#include <vector>

#include "jobdata/Records.h"

constexpr int kPointColumns = 20;
constexpr int kPointIndexColumn = 18;       // hidden: nIndex
constexpr int kPointFileNumberColumn = 19;  // hidden: nFileNumber
constexpr int kPairColumns = 12;
constexpr int kPairNoColumn = 8;          // hidden: nPairNo
constexpr int kPairIndex1Column = 9;      // hidden: nIndex1, the first observation
constexpr int kPairIndex2Column = 10;     // hidden: nIndex2
constexpr int kFirstHiddenPairColumn = 8;  // 8 to 11 are hidden

// How a column's texts compare when a table is sorted by it: names by collation, numbers
// by value, the shown start time ("d.m.yyyy h:m") by time.
enum class ColumnKind { Text, Number, DateTime };

const std::array<const char*, kPointColumns>& PointTableHeaders();
const std::array<ColumnKind, kPointColumns>& PointColumnKinds();
std::array<std::string, kPointColumns> PointRowTexts(const CTarvekNokta& point);

const std::array<const char*, kPairColumns>& PairTableHeaders();
const std::array<ColumnKind, kPairColumns>& PairColumnKinds();
std::array<std::string, kPairColumns> PairRowTexts(const CEslesenNokta& pair);

// The columns that the matching table colours for a pair, ascending: 0 (yellow) when
// the pair belongs to a group, 4 to 7 (red) for each difference that breaks its
// criterion. A difference equal to its limit is accepted.
std::vector<int> PairFlaggedColumns(const CEslesenNokta& pair, const CMatchCriteria& criteria);
