#pragma once
// The "Kontrol" table: one row per finding of the rule check, with the verdict above it.
// A double click on a finding asks for its row in the point or pair table.
#include <QColor>
#include <vector>

#include "rules/RuleCheck.h"
#include "tables/CGridView.h"

class QLabel;

inline const QColor kReadyColour(0, 128, 0);
inline const QColor kNotReadyColour(192, 0, 0);

class CKontrolView : public CGridView {
  Q_OBJECT

 public:
  CKontrolView(CVelmiraDoc& doc, QWidget* pParent = nullptr);

  // Shows the findings in their order and their verdict.
  // limitsChanged: the profile's limits are not the regulation's; the verdict says so.
  void Fill(const std::vector<Finding>& findings, bool limitsChanged = false);
  QLabel* GetVerdictLabel() const { return m_pVerdict; }
  // The finding behind a data row, through the hidden column that survives sorting.
  const Finding* FindingAt(int nRow) const;

 signals:
  void FindingActivated(const Finding& finding);

 private:
  void OnDoubleClick(int nRow, int nCol);

  QLabel* m_pVerdict = nullptr;
  std::vector<Finding> m_findings;
};

// The verdict's text and colour, for the tab and the status bar alike.
QString VerdictText(const Verdict& verdict, bool limitsChanged = false);
QColor VerdictColour(const Verdict& verdict);
