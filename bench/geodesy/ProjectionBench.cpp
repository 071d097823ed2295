// One CProjXY per point, as the reader projects a job file.
#include <benchmark/benchmark.h>

#include "geodesy/CProjXY.h"

namespace {

void BM_ProjectPoint(benchmark::State& state) {
  double lat = 36.0, lon = 31.6;
  const double meridian = 33.0;
  for (auto _ : state) {
    CProjXY p(lat, lon, meridian);
    benchmark::DoNotOptimize(p.dX);
    benchmark::DoNotOptimize(p.dY);
    lat += 1e-5;
    lon += 1e-5;
    if (lat > 42.0) lat = 36.0;
    if (lon > 34.4) lon = 31.6;
  }
}
BENCHMARK(BM_ProjectPoint);

}  // namespace
