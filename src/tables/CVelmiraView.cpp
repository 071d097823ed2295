#include "tables/CVelmiraView.h"

#include "jobdata/TableTexts.h"
#include "text/Numbers.h"

CVelmiraView::CVelmiraView(CVelmiraDoc& doc, QWidget* pParent) : CGridView(doc, pParent) {
  CGridCtrl* grid = GetGridCtrl();
  grid->EnableDragAndDrop(false);
  grid->SetHeaderSort(true);
  grid->SetSingleRowSelection(true);
  std::vector<int> hidden;
  for (int c = kFirstHiddenPairColumn; c < kPairColumns; ++c) hidden.push_back(c);
  SetUpTable(PairTableHeaders().data(), PairColumnKinds().data(), kPairColumns, hidden);
  SetPopupMenu(CreateSelectionPopup(this));
}

void CVelmiraView::Fill() {
  Clear();
  const CVelmiraDoc& doc = GetDocument();
  const CMatchCriteria criteria = doc.Criteria();
  CGridCtrl* grid = GetGridCtrl();
  grid->SetRowCount(static_cast<int>(doc.EslesenList().size()) + 1);
  int row = 1;
  for (const CEslesenNokta& pair : doc.EslesenList()) {
    const auto texts = PairRowTexts(pair);
    SetCheckCell(row, 0, texts[0]);
    for (int c = 1; c < kPairColumns; ++c) grid->SetItemText8(row, c, texts[c]);
    for (int c : PairFlaggedColumns(pair, criteria)) {
      grid->SetItemBkColour(row, c, c == 0 ? kGroupColour : kBreachColour);
    }
    ++row;
  }
  HideAndAutoSize();
}

std::vector<int> CVelmiraView::CheckedPairNumbers() const {
  std::vector<int> numbers;
  for (int row : CheckedRows()) numbers.push_back(text::AtoI(GetGridCtrl()->GetItemText8(row, kPairNoColumn)));
  return numbers;
}

Result<bool> CVelmiraView::ExportPolygonForm(CFileDialogs& dialogs, const PolygonFormWriter& writer) {
  if (GetDataRowCount() < 1) return false;
  const std::vector<int> numbers = CheckedPairNumbers();
  const auto path = dialogs.ChooseWorkbookPath(window());
  if (!path) return false;
  const Status written = writer(GetDocument(), numbers, *path);
  if (!written) return written;
  return true;
}
