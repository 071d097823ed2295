#pragma once
// The GPS point observation table: the fixed points of one job file, 20 columns, the
// hidden keys nIndex and nFileNumber in columns 18 and 19, a check box per row for
// the detail form.
#include "rules/RuleCheck.h"
#include "tables/CGridView.h"
#include "tables/FormWriters.h"

class CGPSNoktaView : public CGridView {
  Q_OBJECT

 public:
  CGPSNoktaView(CVelmiraDoc& doc, QWidget* pParent = nullptr);

  // Lists the points of the job file, in the document's order; none for an unknown number.
  void Fill(int nFileNumber);
  // Colours the cells whose rule the check found broken (epochs, zone) and clears the
  // others, on the rows shown.
  void ApplyFindings(const std::vector<Finding>& findings);

  // The keys of the ticked rows in the table's current order.
  std::vector<PointKey> CheckedPointKeys() const;

 private:
  bool m_bFindingColours = false;  // some cell of the rows shown is red for a finding
};
