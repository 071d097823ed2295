#pragma once
// Round numbers for axes, grids and scale bars: 1, 2 or 5 times a power of ten, so the
// report's plots and the desktop map step alike.

// The smallest such number at least value; 1 for a value that is not a finite positive
// number.
double NiceCeil(double value);
// The largest such number at most value; 1 likewise.
double NiceFloor(double value);
