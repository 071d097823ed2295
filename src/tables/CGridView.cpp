#include "tables/CGridView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>

#include "grid/GridDefs.h"
#include "text/Numbers.h"

CGridView::CGridView(CVelmiraDoc& doc, QWidget* pParent) : QWidget(pParent), m_doc(doc) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_pGrid = new CGridCtrl(this);
  layout->addWidget(m_pGrid);
  setFocusProxy(m_pGrid);
  // A click toggles a check box before the grid tells of the click.
  connect(m_pGrid, &CGridCtrl::CellClick, this, [this](int, int nCol) {
    if (nCol == 0) emit ChecksChanged();
  });
}

CGridView::~CGridView() = default;

int CGridView::GetDataRowCount() const {
  return std::max(0, m_pGrid->GetRowCount() - m_pGrid->GetFixedRowCount());
}

namespace {

GridColumnType ToGridType(ColumnKind kind) {
  switch (kind) {
    case ColumnKind::Number: return GridColumnType::Number;
    case ColumnKind::DateTime: return GridColumnType::DateTime;
    case ColumnKind::Text: break;
  }
  return GridColumnType::Text;
}

}  // namespace

void CGridView::SetUpTable(const char* const* headers, const ColumnKind* kinds, int nColumns,
                           std::vector<int> hiddenColumns) {
  m_hiddenColumns = std::move(hiddenColumns);
  m_pGrid->SetEditable(false);
  m_pGrid->SetTickable(true);
  m_pGrid->SetRowCount(0);
  m_pGrid->SetColumnCount(nColumns);
  m_pGrid->SetRowCount(1);
  m_pGrid->SetFixedRowCount(1);
  for (int c = 0; c < nColumns; ++c) {
    m_pGrid->SetItemText(0, c, QString::fromUtf8(headers[c]));
    // Word-break alone: header texts sit at the top left and wrap when narrowed.
    m_pGrid->SetItemFormat(0, c, DT_WORDBREAK);
    m_pGrid->SetColumnType(c, ToGridType(kinds[c]));
  }
  HideAndAutoSize();
}

void CGridView::HideAndAutoSize() {
  for (int c : m_hiddenColumns) m_pGrid->SetColumnWidth(c, 0);
  m_pGrid->AutoSize();
  m_pGrid->Refresh();
}

void CGridView::SetCheckCell(int nRow, int nCol, std::string_view strCp1254) {
  m_pGrid->SetCellCheck(nRow, nCol);
  m_pGrid->SetItemText8(nRow, nCol, strCp1254);
}

void CGridView::Clear() {
  m_pGrid->DeleteNonFixedRows();
  m_pGrid->Refresh();
}

bool CGridView::Copy() { return m_pGrid->CopySelection(); }

void CGridView::SetAllChecks(bool bChecked) {
  for (int r = m_pGrid->GetFixedRowCount(); r < m_pGrid->GetRowCount(); ++r) {
    m_pGrid->SetCheck(r, 0, bChecked);
  }
  m_pGrid->Refresh();
  emit ChecksChanged();
}

std::vector<int> CGridView::CheckedRows() const {
  std::vector<int> rows;
  for (int r = m_pGrid->GetFixedRowCount(); r < m_pGrid->GetRowCount(); ++r) {
    if (m_pGrid->GetCheck(r, 0)) rows.push_back(r);
  }
  return rows;
}

bool CGridView::ShowPopupAt(QPoint globalPos) {
  if (!m_pPopup) return false;
  const QRect tableRect(m_pGrid->mapToGlobal(QPoint(0, 0)), m_pGrid->size());
  if (!tableRect.contains(globalPos)) return false;
  m_pPopup->popup(globalPos);
  return true;
}

void CGridView::contextMenuEvent(QContextMenuEvent* event) {
  if (ShowPopupAt(event->globalPos())) event->accept();
}

QMenu* CreateSelectionPopup(CGridView* pView) {
  auto* menu = new QMenu(QStringLiteral("Seçim"), pView);
  QObject::connect(menu->addAction(QStringLiteral("Tüm Noktaları Seç")), &QAction::triggered, pView,
                   [pView] { pView->SetAllChecks(true); });
  QObject::connect(menu->addAction(QStringLiteral("Seçimi Bırak")), &QAction::triggered, pView,
                   [pView] { pView->SetAllChecks(false); });
  return menu;
}

std::vector<int> CGridView::SelectedRowKeys(int nColumn) const {
  std::vector<bool> selected(static_cast<size_t>(std::max(0, m_pGrid->GetRowCount())), false);
  for (const CCellRange& block : m_pGrid->Selection().GetBlocks()) {
    for (int row = std::max(block.GetMinRow(), m_pGrid->GetFixedRowCount()); row <= block.GetMaxRow(); ++row) {
      if (row < m_pGrid->GetRowCount()) selected[static_cast<size_t>(row)] = true;
    }
  }
  std::vector<int> keys;
  for (size_t row = 0; row < selected.size(); ++row) {
    if (selected[row]) keys.push_back(text::AtoI(m_pGrid->GetItemText8(static_cast<int>(row), nColumn)));
  }
  return keys;
}

bool CGridView::SelectRowWithKey(int nColumn, int key) {
  for (int row = 1; row < m_pGrid->GetRowCount(); ++row) {
    if (text::AtoI(m_pGrid->GetItemText8(row, nColumn)) != key) continue;
    m_pGrid->SetFocusCell(CCellID(row, 0));
    m_pGrid->SetSelectedRange(CCellRange(row, 0, row, m_pGrid->GetColumnCount() - 1));
    m_pGrid->EnsureVisible(CCellID(row, 0));
    m_pGrid->viewport()->update();
    return true;
  }
  return false;
}
