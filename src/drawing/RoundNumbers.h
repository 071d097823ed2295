#pragma once
// Round numbers for axes, grids and scale bars: 1, 2 or 5 times a power of ten, so the
// report's plots and the desktop map step alike.
#include <string>
#include <vector>

// The smallest such number at least value; 1 for a value that is not a finite positive
// number.
double NiceCeil(double value);
// The largest such number at most value; 1 likewise.
double NiceFloor(double value);

// The multiples of step from lo to hi, ends included up to a billionth of a step; none
// when they would not be a readable few (more than 200) or the step is not positive.
std::vector<double> Ticks(double lo, double hi, double step);
// A tick value as text with as many decimals as the step needs; never "-0".
std::string TickText(double value, double step);
