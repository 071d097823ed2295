#pragma once
#include <string>

// "%d.%d.%d %d:%d" of day, month, full year, hour and minute in UTC, nothing padded,
// seconds dropped. The fraction of the seconds is truncated toward zero into a 64-bit
// time, so dates after January 2038 and before 1970 show as they are. A time that is
// not finite or lies beyond the years -9999..9999 gives the empty text.
std::string FormatStartTime(double secondsSince1970);
