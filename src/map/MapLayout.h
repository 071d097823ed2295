#pragma once
// The map's furniture, worked out once for the screen and the saved drawing alike: round
// grid lines with their labels, the scale bar's length, and where names may go without
// covering each other.
#include <cstdint>
#include <string>
#include <vector>

#include "delivery/RoundNumbers.h"
#include "map/MapViewport.h"

namespace jobmap {

using ::NiceCeil;
using ::NiceFloor;

// Round grid lines over the visible area, about spacingPx apart on screen.
struct GridLines {
  double step = 1;                 // metres
  std::vector<double> eastings;    // metres, left to right
  std::vector<double> northings;   // metres, bottom to top
};
GridLines GridLinesFor(const MapViewport& view, double spacingPx);

// A coordinate as the grid labels print it: as many decimals as the step needs, never "-0".
std::string CoordinateText(double metres, double step);

// A bar of a round length (1, 2, 5 times a power of ten) at most maxPx long on screen.
struct ScaleBar {
  double metres = 1;
  double pixels = 1;
  std::string text;  // "500 m", "2 km", "0.5 m"
};
ScaleBar ScaleBarFor(const MapViewport& view, double maxPx);

// A coarse occupancy map of the screen for names: a box is granted only when it overlaps
// no box granted before. Boxes reaching outside the screen are refused.
class LabelSpace {
 public:
  LabelSpace(int width, int height, int cellPx = 4);
  // left, top, right, bottom in pixels.
  bool TryPlace(double left, double top, double right, double bottom);
  void Reset(int width, int height);

 private:
  int m_cell;
  int m_width = 0, m_height = 0;
  int m_cols = 0, m_rows = 0;
  std::vector<std::uint8_t> m_taken;
};

}  // namespace jobmap
