#include "jobdata/TimeText.h"

#include <cmath>
#include <cstdint>

#include "text/Numbers.h"

namespace {

// Beyond this the year has more than four digits anyway; it also keeps the
// conversion to a 64-bit integer defined.
constexpr double kLimitSeconds = 4.0e11;

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

// Days since 1970-01-01 to the proleptic Gregorian date; Howard Hinnant,
// "chrono-Compatible Low-Level Date Algorithms", civil_from_days.
CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), static_cast<int>(m), static_cast<int>(d)};
}

}  // namespace

std::string FormatStartTime(double secondsSince1970) {
  if (!std::isfinite(secondsSince1970) || std::fabs(secondsSince1970) >= kLimitSeconds) return {};
  const auto t = static_cast<std::int64_t>(secondsSince1970);  // truncates toward zero
  std::int64_t days = t / 86400;
  std::int64_t rest = t % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const CivilDate date = CivilFromDays(days);
  if (date.year < -9999 || date.year > 9999) return {};
  return text::FormatInt(date.day) + "." + text::FormatInt(date.month) + "." +
         text::FormatInt(date.year) + " " + text::FormatInt(rest / 3600) + ":" +
         text::FormatInt(rest % 3600 / 60);
}
