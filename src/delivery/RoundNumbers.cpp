#include "delivery/RoundNumbers.h"

#include <cmath>
#include <initializer_list>

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
