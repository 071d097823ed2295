#include "drawing/LabelSpace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace drawing {

LabelSpace::LabelSpace(int width, int height, int cellPx) : m_cell(std::max(cellPx, 1)) { Reset(width, height); }

void LabelSpace::Reset(int width, int height) {
  m_width = std::max(width, 1);
  m_height = std::max(height, 1);
  m_cols = m_width / m_cell + 1;
  m_rows = m_height / m_cell + 1;
  m_taken.assign(static_cast<std::size_t>(m_cols) * static_cast<std::size_t>(m_rows), 0);
}

bool LabelSpace::TryPlace(double left, double top, double right, double bottom) {
  if (!(left >= 0 && top >= 0 && right >= left && bottom >= top && right <= m_width && bottom <= m_height)) return false;
  const double c0 = std::floor(left / m_cell), r0 = std::floor(top / m_cell);
  const double c1 = std::floor(right / m_cell), r1 = std::floor(bottom / m_cell);
  const int col0 = static_cast<int>(c0), row0 = static_cast<int>(r0);
  const int col1 = static_cast<int>(c1), row1 = static_cast<int>(r1);
  for (int r = row0; r <= row1; ++r) {
    for (int c = col0; c <= col1; ++c) {
      if (m_taken[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(c)]) return false;
    }
  }
  for (int r = row0; r <= row1; ++r) {
    for (int c = col0; c <= col1; ++c) {
      m_taken[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(c)] = 1;
    }
  }
  return true;
}

}  // namespace drawing
