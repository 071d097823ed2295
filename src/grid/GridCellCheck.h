#pragma once
// A text cell with a check box in front of its text.
#include "grid/GridCell.h"

class CGridCellCheck : public CGridCell {
 public:
  bool GetCheck() const { return m_bChecked != 0; }
  // Returns the previous tick.
  bool SetCheck(bool bChecked);

  void Draw(QPainter& painter, const QRect& rect, unsigned nDrawState) override;
  QRect GetTextRect(const QRect& cellRect) const override;
  QSize GetCellExtent() const override;
  // Toggles the tick when the control lets boxes be ticked, the cell is not read-only and the
  // point lies inside the box.
  void OnClick(QPoint pointCellRelative, const QRect& cellRect) override;
  void Reset() override;

  // The box in the coordinates of cellRect.
  QRect GetCheckPlacement(const QRect& cellRect) const;

 private:
  int BoxSide() const;
  int m_bChecked = 0;
};
