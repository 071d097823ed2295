#include "tables/CGPSNoktaView.h"

#include "jobdata/TableTexts.h"
#include "text/Numbers.h"

CGPSNoktaView::CGPSNoktaView(CVelmiraDoc& doc, QWidget* pParent) : CGridView(doc, pParent) {
  CGridCtrl* grid = GetGridCtrl();
  grid->EnableDragAndDrop(false);
  grid->SetHeaderSort(true);
  grid->SetSingleRowSelection(true);
  SetUpTable(PointTableHeaders().data(), PointColumnKinds().data(), kPointColumns, {kPointIndexColumn, kPointFileNumberColumn});
  SetPopupMenu(CreateSelectionPopup(this));
}

void CGPSNoktaView::Fill(int nFileNumber) {
  Clear();
  const CVelmiraDoc& doc = GetDocument();
  const auto count = std::count_if(doc.NoktaList().begin(), doc.NoktaList().end(),
                                   [&](const CTarvekNokta& p) { return p.nFileNumber == nFileNumber; });
  CGridCtrl* grid = GetGridCtrl();
  grid->SetRowCount(static_cast<int>(count) + 1);
  int row = 1;
  for (const CTarvekNokta& point : doc.NoktaList()) {
    if (point.nFileNumber != nFileNumber) continue;
    const auto texts = PointRowTexts(point);
    SetCheckCell(row, 0, texts[0]);
    for (int c = 1; c < kPointColumns; ++c) grid->SetItemText8(row, c, texts[c]);
    ++row;
  }
  HideAndAutoSize();
}

std::vector<PointKey> CGPSNoktaView::CheckedPointKeys() const {
  std::vector<PointKey> keys;
  const CGridCtrl* grid = GetGridCtrl();
  for (int row : CheckedRows()) {
    keys.push_back({text::AtoI(grid->GetItemText8(row, kPointIndexColumn)),
                    text::AtoI(grid->GetItemText8(row, kPointFileNumberColumn))});
  }
  return keys;
}
