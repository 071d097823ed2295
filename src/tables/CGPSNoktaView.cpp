#include "tables/CGPSNoktaView.h"

#include <unordered_map>

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
  m_bFindingColours = false;
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

namespace {

constexpr int kEpochsColumn = 8;
constexpr int kLongitudeColumn = 16;
const QColor kFindingColour(255, 1, 1);  // the pair table's red

}  // namespace

void CGPSNoktaView::ApplyFindings(const std::vector<Finding>& findings) {
  std::unordered_map<int, std::pair<bool, bool>> flagged;  // nIndex: epochs, zone
  for (const Finding& f : findings) {
    if (f.target != Finding::Target::Point) continue;
    if (f.rule == "epochs") flagged[f.nIndex].first = true;
    if (f.rule == "zone") flagged[f.nIndex].second = true;
  }
  // Freshly listed rows have no colour to clear: a clean job costs no walk at all.
  if (flagged.empty() && !m_bFindingColours) return;
  CGridCtrl* grid = GetGridCtrl();
  bool coloured = false;
  for (int row = 1; row < grid->GetRowCount(); ++row) {
    const auto it = flagged.find(text::AtoI(grid->GetItemText8(row, kPointIndexColumn)));
    const bool epochs = it != flagged.end() && it->second.first;
    const bool zone = it != flagged.end() && it->second.second;
    if (epochs || m_bFindingColours) grid->SetItemBkColour(row, kEpochsColumn, epochs ? kFindingColour : QColor());
    if (zone || m_bFindingColours) grid->SetItemBkColour(row, kLongitudeColumn, zone ? kFindingColour : QColor());
    coloured = coloured || epochs || zone;
  }
  m_bFindingColours = coloured;
  grid->viewport()->update();
}
