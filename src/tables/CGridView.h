#pragma once
// The common part of the three table views: a table control that fills the view, the
// document it shows, the check boxes of column 0, the hidden key columns and the popup.
#include <QWidget>
#include <vector>

#include "grid/GridCtrl.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/TableTexts.h"

class QMenu;

class CGridView : public QWidget {
  Q_OBJECT

 public:
  CGridView(CVelmiraDoc& doc, QWidget* pParent);
  ~CGridView() override;

  CVelmiraDoc& GetDocument() const { return m_doc; }

 signals:
  // A check box was ticked or unticked by a click, a menu command or a whole-table change.
  void ChecksChanged();

 public:
  CGridCtrl* GetGridCtrl() const { return m_pGrid; }
  // The data rows (the header row excluded).
  int GetDataRowCount() const;

  // Deletes every data row and repaints.
  void Clear();
  // The table's selected cells to the clipboard; false when nothing is selected.
  bool Copy();
  // Ticks or unticks the check box of every data row.
  void SetAllChecks(bool bChecked);
  // The data rows whose check box is ticked, in the table's current order.
  std::vector<int> CheckedRows() const;

  // Selects the first data row whose column holds the number key and scrolls to it;
  // false when no row does.
  bool SelectRowWithKey(int nColumn, int key);
  // The number keys in nColumn of the data rows with a selected cell, top to bottom.
  std::vector<int> SelectedRowKeys(int nColumn) const;

  // Shows the view's popup menu at a global position when it lies inside the table;
  // false (and no menu) otherwise.
  bool ShowPopupAt(QPoint globalPos);
  QMenu* GetPopupMenu() const { return m_pPopup; }

 protected:
  // Header row 0 with word-breaking texts (UTF-8), how each column sorts and the columns
  // that stay hidden. The cells are read-only, their check boxes tickable: the tables show
  // the document, and the exports read the document, not the cells.
  void SetUpTable(const char* const* headers, const ColumnKind* kinds, int nColumns,
                  std::vector<int> hiddenColumns);
  // Hides the key columns again and sizes every other row and column to its content.
  void HideAndAutoSize();
  // Makes cell (row, col) a check cell, unticked, showing text.
  void SetCheckCell(int nRow, int nCol, std::string_view strCp1254);
  void SetPopupMenu(QMenu* pMenu) { m_pPopup = pMenu; }

  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  CVelmiraDoc& m_doc;
  CGridCtrl* m_pGrid = nullptr;
  QMenu* m_pPopup = nullptr;
  std::vector<int> m_hiddenColumns;
};

// The "Seçim" popup of the point and pair tables: tick all, untick all.
QMenu* CreateSelectionPopup(CGridView* pView);
