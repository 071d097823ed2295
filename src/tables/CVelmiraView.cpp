#include "tables/CVelmiraView.h"

#include <QMenu>
#include <algorithm>
#include <unordered_map>

#include "forms/FormZones.h"
#include "jobdata/JobIndex.h"
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
  QMenu* popup = CreateSelectionPopup(this);
  // The zones are those of the rows shown when the menu opens.
  m_pZoneMenu = popup->addMenu(QStringLiteral("Dilime Göre Seç"));
  connect(m_pZoneMenu, &QMenu::aboutToShow, this, &CVelmiraView::FillZoneMenu);
  SetPopupMenu(popup);
}

std::vector<std::string> CVelmiraView::RowZones() const {
  std::vector<std::string> zones;
  for (int row = 1; row < GetGridCtrl()->GetRowCount(); ++row) {
    const auto zone = PairZone(GetDocument(), text::AtoI(GetGridCtrl()->GetItemText8(row, kPairNoColumn)));
    zones.push_back(zone.value_or(std::string()));
  }
  return zones;
}

void CVelmiraView::FillZoneMenu() {
  m_pZoneMenu->clear();
  std::vector<std::string> seen;
  for (const std::string& zone : RowZones()) {
    if (zone.empty() || std::find(seen.begin(), seen.end(), zone) != seen.end()) continue;
    seen.push_back(zone);
  }
  std::sort(seen.begin(), seen.end());
  for (const std::string& zone : seen) {
    connect(m_pZoneMenu->addAction(QString::fromStdString("TM" + zone)), &QAction::triggered, this,
            [this, zone] { CheckZone(zone); });
  }
  m_pZoneMenu->setEnabled(!seen.empty());
}

void CVelmiraView::CheckZone(const std::string& meridian) {
  const std::vector<std::string> zones = RowZones();
  for (size_t i = 0; i < zones.size(); ++i) {
    GetGridCtrl()->SetCheck(static_cast<int>(i) + 1, 0, zones[i] == meridian);
  }
  GetGridCtrl()->viewport()->update();
  emit ChecksChanged();
}

void CVelmiraView::Fill() {
  Clear();
  m_bFindingColours = false;
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

void CVelmiraView::Recolour() {
  const CVelmiraDoc& doc = GetDocument();
  const CMatchCriteria criteria = doc.Criteria();
  const JobIndex index({}, doc.EslesenList());
  constexpr int kCriteriaColumns[] = {0, 4, 5, 6, 7};  // the group mark and the four limits
  CGridCtrl* grid = GetGridCtrl();
  for (int row = 1; row < grid->GetRowCount(); ++row) {
    const CEslesenNokta* pair = index.Pair(text::AtoI(grid->GetItemText8(row, kPairNoColumn)));
    for (int column : kCriteriaColumns) grid->SetItemBkColour(row, column, QColor());
    if (!pair) continue;
    for (int c : PairFlaggedColumns(*pair, criteria)) {
      grid->SetItemBkColour(row, c, c == 0 ? kGroupColour : kBreachColour);
    }
  }
  grid->viewport()->update();
}

namespace {

std::pair<int, int> Observations(const CGridCtrl* grid, int row) {
  const int a = text::AtoI(grid->GetItemText8(row, kPairIndex1Column));
  const int b = text::AtoI(grid->GetItemText8(row, kPairIndex2Column));
  return {std::min(a, b), std::max(a, b)};
}

}  // namespace

std::vector<std::pair<int, int>> CVelmiraView::CheckedObservationPairs() const {
  std::vector<std::pair<int, int>> observations;
  for (int row : CheckedRows()) observations.push_back(Observations(GetGridCtrl(), row));
  return observations;
}

void CVelmiraView::CheckObservationPairs(const std::vector<std::pair<int, int>>& observations) {
  if (observations.empty()) return;
  CGridCtrl* grid = GetGridCtrl();
  bool changed = false;
  for (int row = 1; row < grid->GetRowCount(); ++row) {
    if (std::find(observations.begin(), observations.end(), Observations(grid, row)) == observations.end()) continue;
    grid->SetCheck(row, 0, true);
    changed = true;
  }
  if (!changed) return;
  grid->viewport()->update();
  emit ChecksChanged();
}

std::vector<int> CVelmiraView::CheckedPairNumbers() const {
  std::vector<int> numbers;
  for (int row : CheckedRows()) numbers.push_back(text::AtoI(GetGridCtrl()->GetItemText8(row, kPairNoColumn)));
  return numbers;
}

void CVelmiraView::ApplyFindings(const std::vector<Finding>& findings) {
  constexpr int kEpochsColumns[] = {2, 3};  // session 1, session 2
  std::unordered_map<int, int> epochLimits;  // nPairNo: the limit its epochs broke
  for (const Finding& f : findings) {
    if (f.target == Finding::Target::Pair && f.rule == "epochs") epochLimits[f.nIndex] = text::AtoI(f.limit);
  }
  if (epochLimits.empty() && !m_bFindingColours) return;
  CGridCtrl* grid = GetGridCtrl();
  bool coloured = false;
  for (int row = 1; row < grid->GetRowCount(); ++row) {
    const auto it = epochLimits.find(text::AtoI(grid->GetItemText8(row, kPairNoColumn)));
    for (int column : kEpochsColumns) {
      const bool below = it != epochLimits.end() && text::AtoI(grid->GetItemText8(row, column)) < it->second;
      if (below || m_bFindingColours) grid->SetItemBkColour(row, column, below ? kBreachColour : QColor());
      coloured = coloured || below;
    }
  }
  m_bFindingColours = coloured;
  grid->viewport()->update();
}
