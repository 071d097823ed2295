#include "drawing/RoundNumbers.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "text/Numbers.h"

double NiceCeil(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * power >= value * (1 - 1e-9)) return f * power;
  }
  return 10 * power;
}

double NiceFloor(double value) {
  if (!(value > 0) || !std::isfinite(value)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (double f : {5.0, 2.0, 1.0}) {
    if (f * power <= value * (1 + 1e-9)) return f * power;
  }
  return power;
}

std::vector<double> Ticks(double lo, double hi, double step) {
  std::vector<double> ticks;
  constexpr double kMostTicks = 200, kLargestMultiple = 1e15;  // the multiples stay exact integers
  const double a = lo / step, b = hi / step;
  if (!(step > 0) || !(std::fabs(a) < kLargestMultiple) || !(std::fabs(b) < kLargestMultiple) || b - a > kMostTicks) {
    return ticks;
  }
  const auto first = static_cast<long long>(std::ceil(a - 1e-9));
  const auto last = static_cast<long long>(std::floor(b + 1e-9));
  for (long long i = first; i <= last; ++i) ticks.push_back(static_cast<double>(i) * step);
  return ticks;
}

std::string TickText(double value, double step) {
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
  std::string s = text::FormatFixed(value, decimals);
  if (s.find_first_not_of("-0.") == std::string::npos) s = decimals == 0 ? "0" : s.substr(s[0] == '-');
  return s;
}
