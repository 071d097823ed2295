#pragma once
// CGridCtrl: the table control of the three tables. A scroll area whose viewport paints the
// visible cells of a grid with fixed header rows (and columns), check-box cells, hidden
// (zero-size) rows and columns, mouse and keyboard selection, header-click sorting,
// in-place editing, clipboard copy/cut/paste, auto-size, divider resizing, title tips and
// row drag and drop.
//
// The state lives in plain classes that know nothing of widgets: CGridCellStore (cells),
// CGridGeometry (sizes, positions, hit testing), CGridSelection (focus, anchor, selected
// blocks) and the free functions of GridText.h and GridSort.h. This class keeps them in
// step, turns events into a few selection moves, and paints.
//
// Texts: the *8 functions take and give the 8-bit Windows-1254 bytes the program keeps;
// the QString ones convert at the boundary.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QPointer>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "grid/CellID.h"
#include "grid/GridCell.h"
#include "grid/GridCellCheck.h"
#include "grid/GridCellStore.h"
#include "grid/GridGeometry.h"
#include "grid/GridSelection.h"
#include "grid/GridSort.h"
#include "grid/GridText.h"

class CInPlaceEdit;
class CTitleTip;
class CGridDropTarget;

// SetItem's argument: nMask says which of the other fields are written.
struct GV_ITEM {
  int row = -1;
  int col = -1;
  unsigned nMask = 0;
  unsigned nState = 0;
  unsigned nFormat = 0;
  int iImage = -1;
  QColor crBkClr;
  QColor crFgClr;
  std::intptr_t lParam = 0;
  int nMargin = -1;
  QString strText;
};

class CGridCtrl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kControlId = 100;
  static constexpr int kResizeCaptureRange = 3;  // pixels either side of a divider
  static constexpr int kDragSelectTimerMs = 25;

  explicit CGridCtrl(QWidget* pParent = nullptr);
  ~CGridCtrl() override;

  // Places the control in pParent at rect and shows it; the sizes take the defaults.
  bool Create(const QRect& rect, QWidget* pParent, int nID = kControlId);
  int GetDlgCtrlID() const { return m_nID; }

  // Counts. Rows and columns are added at the end with default sizes and removed from the
  // end. Negative counts, and fixed counts above the count, are refused (false).
  bool SetRowCount(int nRows);
  bool SetColumnCount(int nCols);
  bool SetFixedRowCount(int nFixedRows);
  bool SetFixedColumnCount(int nFixedCols);
  int GetRowCount() const { return m_store.GetRowCount(); }
  int GetColumnCount() const { return m_store.GetColumnCount(); }
  int GetFixedRowCount() const { return m_nFixedRows; }
  int GetFixedColumnCount() const { return m_nFixedCols; }
  bool IsValid(int nRow, int nCol) const;
  bool IsValid(CCellID cell) const { return IsValid(cell.row, cell.col); }

  // Cells. GetCell gives nullptr out of range.
  CGridCellBase* GetCell(int nRow, int nCol) const { return m_store.GetCell(nRow, nCol); }
  // Replaces the cell by a new T that takes over the old cell's attributes; false out of
  // range. Only cell classes are accepted.
  template <class T>
  bool SetCellType(int nRow, int nCol) {
    static_assert(std::is_base_of_v<CGridCellBase, T>, "not a cell class");
    return ReplaceCell(nRow, nCol, std::make_unique<T>());
  }
  bool SetCellCheck(int nRow, int nCol) { return SetCellType<CGridCellCheck>(nRow, nCol); }
  // The tick of a check cell; false for other cells and out of range.
  bool GetCheck(int nRow, int nCol) const;
  bool SetCheck(int nRow, int nCol, bool bChecked);  // false when no check cell

  bool SetItem(const GV_ITEM& item);
  // Stores the text and marks the cell modified; false out of range.
  bool SetItemText(int nRow, int nCol, const QString& str);
  bool SetItemText8(int nRow, int nCol, std::string_view strCp1254);
  // The empty text out of range.
  QString GetItemText(int nRow, int nCol) const;
  std::string GetItemText8(int nRow, int nCol) const;
  bool SetItemFormat(int nRow, int nCol, unsigned nFormat);
  unsigned GetItemFormat(int nRow, int nCol) const;
  // The cell's own state word with the control's selection and focus bits merged in.
  bool SetItemState(int nRow, int nCol, unsigned nState);
  unsigned GetItemState(int nRow, int nCol) const;
  bool SetItemData(int nRow, int nCol, std::intptr_t lParam);
  std::intptr_t GetItemData(int nRow, int nCol) const;
  // An invalid QColor puts back the default colour.
  bool SetItemBkColour(int nRow, int nCol, const QColor& clr = QColor());
  bool SetItemFgColour(int nRow, int nCol, const QColor& clr = QColor());
  QColor GetItemBkColour(int nRow, int nCol) const;  // invalid when default
  bool IsCellEditable(int nRow, int nCol) const;

  CGridDefaultCell* GetDefaultCell(bool bFixedRow, bool bFixedCol);
  const CGridDefaultCell* GetDefaultCell(bool bFixedRow, bool bFixedCol) const;

  // Sizes in pixels; width 0 hides a column, height 0 a row.
  bool SetColumnWidth(int nCol, int nWidth);
  bool SetRowHeight(int nRow, int nHeight);
  int GetColumnWidth(int nCol) const { return m_geometry.GetColumnWidth(nCol); }
  int GetRowHeight(int nRow) const { return m_geometry.GetRowHeight(nRow); }
  const CGridGeometry& Geometry() const { return m_geometry; }

  // Every visible row and column to its content; hidden ones stay hidden.
  void AutoSize();
  void AutoSizeColumns();
  bool AutoSizeColumn(int nCol);
  bool AutoSizeRow(int nRow);

  // Clears the selection and the sort column (the rows that come next are in their own
  // order) and removes every row below the header.
  void DeleteNonFixedRows();
  void DeleteAllItems();

  // Behaviour flags.
  // Whether texts may be changed: in-place edits, Delete, cut, paste and text drops.
  void SetEditable(bool b = true) { m_bEditable = b; }
  bool IsEditable() const { return m_bEditable; }
  // Whether a click on a check box toggles it although the control is not editable: a
  // table whose texts are read-only can still be ticked. Read-only cells never toggle.
  void SetTickable(bool b = true) { m_bTickable = b; }
  bool CanTick() const { return m_bEditable || m_bTickable; }
  // Clears the selection and the sort column; row selection through a fixed column goes off.
  void SetListMode(bool bEnableListMode = true);
  bool GetListMode() const { return m_bListMode; }
  void SetSingleRowSelection(bool b = true) { m_bSingleRowSelection = b; }
  bool GetSingleRowSelection() const { return m_bSingleRowSelection; }
  void SetHeaderSort(bool b = true) { m_bSortOnClick = b; }
  bool GetHeaderSort() const { return m_bSortOnClick; }
  void EnableDragAndDrop(bool b = true) { m_bAllowDragAndDrop = b; }
  // Whether Ctrl+C and Ctrl+Insert copy; a table whose window has no copy command
  // turns them off, as the command's own keys would do nothing there.
  void EnableCopyKeys(bool b = true) { m_bCopyKeys = b; }
  bool GetDragAndDrop() const { return m_bAllowDragAndDrop; }
  void EnableTitleTips(bool b = true) { m_bTitleTips = b; }
  void SetGridLines(bool bHorz, bool bVert);
  void SetRowResize(bool b = true) { m_bAllowRowResize = b; }
  void SetColumnResize(bool b = true) { m_bAllowColumnResize = b; }
  void EnableHiddenColUnhide(bool b = true) { m_bHiddenColUnhide = b; }
  void EnableHiddenRowUnhide(bool b = true) { m_bHiddenRowUnhide = b; }
  void EnableColumnHide(bool b = true) { m_bAllowColHide = b; }
  void EnableRowHide(bool b = true) { m_bAllowRowHide = b; }
  void SetFixedColumnSelection(bool b = true) { m_bFixedColumnSelection = b; }
  void SetFixedRowSelection(bool b = true) { m_bFixedRowSelection = b; }
  void SetTabMoves(bool b = true) { m_bTabMoves = b; }
  void SetTrackFocusCell(bool b = true) { m_bTrackFocusCell = b; }
  void SetDragRowMode(bool b = true) { m_bDragRowMode = b; }
  void SetMouseWheelScrollLines(int n) { m_nRowsPerWheelNotch = n; }

  // Selection.
  // The smallest range covering all selected cells; (row count, column count, -1, -1)
  // when nothing is selected.
  CCellRange GetSelectedCellRange() const;
  bool IsCellSelected(int nRow, int nCol) const { return m_selection.IsSelected(nRow, nCol); }
  CCellID GetFocusCell() const { return m_selection.GetFocusCell(); }
  void SetFocusCell(CCellID cell);
  void SetSelectedRange(const CCellRange& range);
  void SelectAllCells();
  void ClearSelection();
  const CGridSelection& Selection() const { return m_selection; }

  // Clipboard. Copy gives false and leaves the clipboard alone when nothing is selected.
  bool CopySelection();
  bool CutSelection();
  bool Paste();
  // The copy text as 8-bit bytes, terminating zero included; empty when nothing to copy.
  std::string CopySelectionText() const { return BuildCopyText(m_store, m_geometry, m_selection); }
  // Pastes 8-bit text at target under the paste rules; false when nothing was written.
  bool PasteTextToGrid(CCellID target, std::string_view strCp1254, bool bSelectPasted = true);
  // Clears the text of every selected editable cell.
  void ClearSelectedTexts();

  // How a header click compares the texts of a column; Bytes unless set. False out of range.
  bool SetColumnType(int nCol, GridColumnType type);
  GridColumnType GetColumnType(int nCol) const;
  // Sorting: rows below the header by column nCol, compared as its type says.
  bool SortItems(int nCol, bool bAscending);
  int GetSortColumn() const { return m_nSortColumn; }
  bool GetSortAscending() const { return m_bAscending; }
  // The room a header cell keeps at its right for the sort arrow, in pixels: 0 when header
  // clicks do not sort. The arrow of the sort column is drawn there, in viewport
  // coordinates; a null rectangle when nCol is not the sort column or is hidden.
  int GetSortArrowRoom() const;
  QRect GetSortArrowRect(int nCol) const;

  // Moves a whole row, cells and height, in the row order; false out of range or fixed.
  bool MoveRow(int nFrom, int nTo);

  // Geometry in viewport coordinates. GetCellFromPt includes fixed cells; (-1,-1) outside.
  CCellID GetCellFromPt(QPoint point) const;
  QRect GetCellRect(int nRow, int nCol) const;  // null when the row or column is hidden
  // The scrolled rows and columns on screen (first and last), fixed ones excluded.
  CCellRange GetVisibleNonFixedCellRange() const;
  void EnsureVisible(CCellID cell);

  // Opens an in-place edit (F2 / double click: nChar 0); false when editing is not allowed.
  bool EditCell(int nRow, int nCol, int nKey = 0, const QString& strTyped = QString());
  CInPlaceEdit* GetInPlaceEdit() const;
  CTitleTip* GetTitleTip() const;
  void Refresh() { viewport()->update(); }

  QColor GetGridLineColor() const { return m_crGridLineColour; }
  QColor GetTextColor() const { return m_crTextColour; }
  QColor GetBkColor() const { return m_crWindowColour; }
  QColor GetFixedBkColor() const { return m_crFixedBkColour; }
  QColor GetHighlightColor() const;
  QColor GetHighlightTextColor() const;

 signals:
  // Every notification carries the row and column it concerns.
  void CellClick(int nRow, int nCol);  // left button released; the cell where it went down
  void CellDoubleClick(int nRow, int nCol);
  void CellRightClick(int nRow, int nCol);
  void SelectionChanging(int nRow, int nCol);
  void SelectionChanged(int nRow, int nCol);
  // A receiver may set *pbAllow to false (direct connection) to keep the edit from opening
  // or to restore the text the cell had.
  void BeginEdit(int nRow, int nCol, bool* pbAllow);
  void EndEdit(int nRow, int nCol, bool* pbAllow);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  friend class CGridDropTarget;
  enum class MouseMode { Nothing, SelectCells, SelectColumns, SelectRows, SizingColumn, SizingRow,
                         PrepareDrag };

  bool ReplaceCell(int nRow, int nCol, std::unique_ptr<CGridCellBase> cell);
  std::unique_ptr<CGridCellBase> CreateCell(int nRow, int nCol);
  void ResetCellState(int nRow, int nCol);
  void ResetScrollBars();
  GridSelectionMode SelectionMode() const;
  // Makes next the selection: notifies and repaints the cells whose look changed, only
  // when it differs from the current one.
  void CommitSelection(const CGridSelection& next);
  void AfterResize();
  void InvalidateRange(const CCellRange& range);
  void InvalidateCell(int nRow, int nCol);
  int ScrollY() const;
  int ScrollX() const;
  int RowY(int nRow) const;
  int ColX(int nCol) const;
  QString TextOf(const CGridCellBase& cell) const;
  QSize CellExtent(int nRow, int nCol) const;
  bool SetCellText8(int nRow, int nCol, std::string_view strCp1254);

  // Input moves.
  void OnFixedRowClick(CCellID cell);
  void OnFixedColumnClick(CCellID cell);
  // The column (row) whose divider is under the point and may be dragged; -1 when none.
  int ColumnDividerAt(QPoint point) const;
  int RowDividerAt(QPoint point) const;
  CCellID NextCellForKey(int nKey, Qt::KeyboardModifiers mods) const;
  void MoveFocusTo(CCellID cell, bool bShift);
  bool HandleTab(bool bBack);
  void OnEndInPlaceEdit(int nRow, int nCol, const QString& strText, int nLastKey);
  void UpdateTitleTip(QPoint point);
  void StartDrag();

  void PaintCells(QPainter& painter, const QRect& clip);
  QRect SortArrowRectIn(const QRect& cellRect) const;

  CGridCellStore m_store;
  CGridGeometry m_geometry;
  CGridSelection m_selection;
  int m_nFixedRows = 0;
  int m_nFixedCols = 0;
  int m_nID = kControlId;

  CGridDefaultCell m_cellDefault;
  CGridDefaultCell m_cellFixedRowDef;
  CGridDefaultCell m_cellFixedColDef;
  CGridDefaultCell m_cellFixedRowColDef;

  bool m_bEditable = true;
  bool m_bTickable = false;
  bool m_bListMode = false;
  bool m_bSingleRowSelection = false;
  bool m_bAllowDragAndDrop = false;
  bool m_bCopyKeys = true;
  bool m_bSortOnClick = false;
  bool m_bTitleTips = true;
  bool m_bGridLinesHorz = true;
  bool m_bGridLinesVert = true;
  bool m_bAllowRowResize = true;
  bool m_bAllowColumnResize = true;
  bool m_bAllowColHide = true;
  bool m_bAllowRowHide = true;
  bool m_bHiddenColUnhide = true;
  bool m_bHiddenRowUnhide = true;
  bool m_bFixedColumnSelection = true;
  bool m_bFixedRowSelection = true;
  bool m_bTabMoves = true;
  bool m_bTrackFocusCell = true;
  bool m_bDragRowMode = true;

  int m_nSortColumn = -1;
  std::vector<GridColumnType> m_columnTypes;
  bool m_bAscending = true;
  int m_nRowsPerWheelNotch = 3;

  QColor m_crTextColour;
  QColor m_crWindowColour;
  QColor m_crFixedBkColour;
  QColor m_crShadowColour;
  QColor m_crGridLineColour{192, 192, 192};

  MouseMode m_mouseMode = MouseMode::Nothing;
  CCellID m_leftClickDownCell;
  QPoint m_leftClickDownPoint;
  QPoint m_lastMousePoint;
  int m_nSizingIndex = -1;
  int m_nSizingOrigin = 0;
  QBasicTimer m_dragSelectTimer;
  CCellID m_dragRowSource;

  QPointer<CInPlaceEdit> m_pEditor;
  std::unique_ptr<CTitleTip> m_pTitleTip;
  std::unique_ptr<CGridDropTarget> m_pDropTarget;
  bool m_bDropTargetRegistered = false;
};
