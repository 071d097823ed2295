#include "tables/CTSJView.h"

#include <QMenu>

#include "text/Numbers.h"

namespace {
constexpr const char* kHeaders[] = {"TSJ Dosyası", "Bulunduğu Dizin", "nFileNumber"};
constexpr ColumnKind kKinds[] = {ColumnKind::Text, ColumnKind::Text, ColumnKind::Number};
}

CTSJView::CTSJView(CVelmiraDoc& doc, QWidget* pParent) : CGridView(doc, pParent) {
  CGridCtrl* grid = GetGridCtrl();
  grid->SetListMode(true);
  grid->SetSingleRowSelection(true);
  grid->EnableDragAndDrop(true);
  grid->EnableCopyKeys(false);  // the window's copy command is greyed for this table
  grid->SetHeaderSort(false);
  SetUpTable(kHeaders, kKinds, 3, {kFileNumberColumn});
  connect(grid, &CGridCtrl::CellClick, this, &CTSJView::OnCellClick);

  auto* menu = new QMenu(QStringLiteral("TSJ Dosyaları"), this);
  connect(menu->addAction(QStringLiteral("İşaretli Dosyayı Kaldır")), &QAction::triggered, this,
          &CTSJView::RemoveCheckedFiles);
  SetPopupMenu(menu);
}

void CTSJView::Rebuild() {
  Clear();
  const CVelmiraDoc& doc = GetDocument();
  CGridCtrl* grid = GetGridCtrl();
  grid->SetRowCount(static_cast<int>(doc.TsjList().size()) + 1);
  int row = 1;
  for (const tsjdosya& file : doc.TsjList()) {
    SetCheckCell(row, 0, file.strFileName);
    grid->SetItemText8(row, 1, file.strPath);
    grid->SetItemText8(row, kFileNumberColumn, text::FormatInt(file.nFileNumber));
    ++row;
  }
  HideAndAutoSize();
}

// The file is found through the selection, as the table selects whole rows.
void CTSJView::OnCellClick(int nRow, int nCol) {
  const CGridCtrl* grid = GetGridCtrl();
  if (!grid->IsValid(nRow, nCol)) return;
  const int selectedRow = grid->GetSelectedCellRange().GetMinRow();
  GetDocument().ShowFilePoints(text::AtoI(grid->GetItemText8(selectedRow, kFileNumberColumn)));
}

void CTSJView::RemoveCheckedFiles() {
  CVelmiraDoc& doc = GetDocument();
  for (int row : CheckedRows()) {
    const int nFileNumber = text::AtoI(GetGridCtrl()->GetItemText8(row, kFileNumberColumn));
    doc.RemoveFilePoints(nFileNumber);
    doc.RemoveTsjFile(nFileNumber);
  }
  Rebuild();
}
