#include "tables/CKontrolView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "text/Numbers.h"

namespace {

constexpr int kColumns = kFindingColumns + 1;
constexpr int kFindingIndexColumn = kFindingColumns;  // hidden: the finding's position

std::array<const char*, kColumns> Headers() {
  std::array<const char*, kColumns> headers{};
  for (int c = 0; c < kFindingColumns; ++c) headers[static_cast<size_t>(c)] = FindingTableHeaders()[static_cast<size_t>(c)];
  headers[kFindingIndexColumn] = "nFinding";
  return headers;
}

// The row key sorts as text ("N:1000/1"); values and limits are numbers where they can be.
std::array<ColumnKind, kColumns> Kinds() {
  std::array<ColumnKind, kColumns> kinds;
  kinds.fill(ColumnKind::Text);
  kinds[kFindingIndexColumn] = ColumnKind::Number;
  return kinds;
}

}  // namespace

QString VerdictText(const Verdict& verdict, bool limitsChanged) {
  return QString::fromStdString(verdict.Text() + (limitsChanged ? " (değiştirildi)" : ""));
}

QColor VerdictColour(const Verdict& verdict) { return verdict.Ready() ? kReadyColour : kNotReadyColour; }

CKontrolView::CKontrolView(CVelmiraDoc& doc, QWidget* pParent) : CGridView(doc, pParent) {
  m_pVerdict = new QLabel(this);
  m_pVerdict->setObjectName(QStringLiteral("verdict"));
  m_pVerdict->setMargin(4);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_pVerdict);
  CGridCtrl* grid = GetGridCtrl();
  grid->EnableDragAndDrop(false);
  grid->SetHeaderSort(true);
  grid->SetSingleRowSelection(true);
  static const auto headers = Headers();
  static const auto kinds = Kinds();
  SetUpTable(headers.data(), kinds.data(), kColumns, {kFindingIndexColumn});
  connect(grid, &CGridCtrl::CellDoubleClick, this, &CKontrolView::OnDoubleClick);
  Fill({});
}

void CKontrolView::Fill(const std::vector<Finding>& findings, bool limitsChanged) {
  Clear();
  m_findings = findings;
  CGridCtrl* grid = GetGridCtrl();
  grid->SetRowCount(static_cast<int>(findings.size()) + 1);
  for (size_t i = 0; i < findings.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const auto texts = FindingRowTexts(findings[i]);
    for (int c = 0; c < kFindingColumns; ++c) grid->SetItemText8(row, c, texts[static_cast<size_t>(c)]);
    grid->SetItemText8(row, kFindingIndexColumn, text::FormatInt(static_cast<std::int64_t>(i)));
    if (findings[i].level == Finding::Level::Error) grid->SetItemBkColour(row, 5, QColor(255, 1, 1));
  }
  HideAndAutoSize();
  if (GetDocument().TsjList().empty()) {
    m_pVerdict->setText(QStringLiteral("Kontrol edilecek nokta yok."));
    m_pVerdict->setStyleSheet(QString());
    return;
  }
  const Verdict verdict = Summarize(findings);
  m_pVerdict->setText(VerdictText(verdict, limitsChanged));
  m_pVerdict->setStyleSheet(QStringLiteral("QLabel#verdict { color: white; background: %1; font-weight: bold; }")
                                .arg(VerdictColour(verdict).name()));
}

const Finding* CKontrolView::FindingAt(int nRow) const {
  const CGridCtrl* grid = GetGridCtrl();
  if (nRow < 1 || nRow >= grid->GetRowCount()) return nullptr;
  const int index = text::AtoI(grid->GetItemText8(nRow, kFindingIndexColumn));
  return index >= 0 && static_cast<size_t>(index) < m_findings.size() ? &m_findings[static_cast<size_t>(index)] : nullptr;
}

void CKontrolView::OnDoubleClick(int nRow, int) {
  if (const Finding* finding = FindingAt(nRow)) emit FindingActivated(*finding);
}
