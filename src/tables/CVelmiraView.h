#pragma once
// The point matching table: one row per matched pair, the differences that break the
// criteria in red, grouped pairs in yellow, the hidden pair number in column 8.
#include <QColor>

#include "tables/CGridView.h"
#include "tables/FileDialogs.h"
#include "tables/FormWriters.h"

inline const QColor kBreachColour(255, 1, 1);
inline const QColor kGroupColour(255, 255, 1);

class CVelmiraView : public CGridView {
  Q_OBJECT

 public:
  CVelmiraView(CVelmiraDoc& doc, QWidget* pParent = nullptr);

  // Rebuilds the rows from the document's pairs, colouring them by its current criteria.
  void Fill();
  // The pair numbers of the ticked rows in the table's current order.
  std::vector<int> CheckedPairNumbers() const;
  // "Poligon->Excel": as the detail export, for the polygon form of the ticked pairs.
  Result<bool> ExportPolygonForm(CFileDialogs& dialogs, const PolygonFormWriter& writer);
};
