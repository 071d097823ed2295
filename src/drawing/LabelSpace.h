#pragma once
// A coarse occupancy map of a picture for names: a box is granted only when it overlaps no
// box granted before, so names never cover each other or the corners' furniture.
#include <cstdint>
#include <vector>

namespace drawing {

class LabelSpace {
 public:
  // Sizes below one pixel count as one; cells are cellPx square (at least 1).
  LabelSpace(int width, int height, int cellPx = 4);
  // left, top, right, bottom in pixels. Boxes reaching outside the picture, or given by
  // values that are not numbers, are refused.
  bool TryPlace(double left, double top, double right, double bottom);
  void Reset(int width, int height);

 private:
  int m_cell;
  int m_width = 0, m_height = 0;
  int m_cols = 0, m_rows = 0;
  std::vector<std::uint8_t> m_taken;
};

}  // namespace drawing
