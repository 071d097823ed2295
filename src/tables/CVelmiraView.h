#pragma once
#include <utility>
// The point matching table: one row per matched pair, the differences that break the
// criteria in red, grouped pairs in yellow, the hidden pair number in column 8.
#include <QColor>

#include "rules/RuleCheck.h"
#include "tables/CGridView.h"
#include "tables/FormWriters.h"

inline const QColor kBreachColour(255, 1, 1);
inline const QColor kGroupColour(255, 255, 1);

class CVelmiraView : public CGridView {
  Q_OBJECT

 public:
  CVelmiraView(CVelmiraDoc& doc, QWidget* pParent = nullptr);

  // Rebuilds the rows from the document's pairs, colouring them by its current criteria.
  void Fill();
  // Colours the session epoch cells below the check's epoch limit and clears the others.
  void ApplyFindings(const std::vector<Finding>& findings);

  // Colours the difference cells again by the document's current criteria (a limit was
  // changed), keeping the rows, their order and their ticks.
  void Recolour();

  // The pair numbers of the ticked rows in the table's current order.
  std::vector<int> CheckedPairNumbers() const;
  // The ticked rows' two observations (point nIndex, smaller first), and the ticks put
  // back on the rows that pair the same two observations, after a new matching.
  std::vector<std::pair<int, int>> CheckedObservationPairs() const;
  void CheckObservationPairs(const std::vector<std::pair<int, int>>& observations);
  // Ticks the pairs whose observations lie in the zone ("33") and unticks the others, so
  // that one zone's form can be written.
  void CheckZone(const std::string& meridian);
  QMenu* GetZoneMenu() const { return m_pZoneMenu; }

 private:
  // The zone of every data row, in table order; empty where a pair has none.
  std::vector<std::string> RowZones() const;
  void FillZoneMenu();

  QMenu* m_pZoneMenu = nullptr;
  bool m_bFindingColours = false;  // some epoch cell shown is red for a finding
};
