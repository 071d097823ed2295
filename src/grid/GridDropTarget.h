#pragma once
// What the table does with a drag over it: highlights the cell under the pointer and, on a
// drop, moves the dragged row (a drag from the same table in row-drag mode) or pastes the
// dropped text at that cell. A table whose drag-and-drop flag is off takes no drops.
#include <QPoint>

#include "grid/CellID.h"

class CGridCtrl;
class QMimeData;

class CGridDropTarget {
 public:
  explicit CGridDropTarget(CGridCtrl& grid) : m_grid(grid) {}

  // Whether the drop would be taken at point (viewport coordinates).
  bool OnDragOver(const QMimeData* pData, QPoint point, bool bFromSelf);
  void OnDragLeave();
  // False when the drop was refused.
  bool OnDrop(const QMimeData* pData, QPoint point, bool bFromSelf, CCellID dragSource);

 private:
  void Highlight(CCellID cell);

  CGridCtrl& m_grid;
  CCellID m_highlighted;
};
