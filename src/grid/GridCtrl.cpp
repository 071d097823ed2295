#include "grid/GridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "grid/GridDropTarget.h"
#include "grid/InPlaceEdit.h"
#include "grid/TitleTip.h"
#include "text/Cp1254.h"

namespace {

QString Decode(std::string_view s) {
  const std::u16string u = text::Cp1254ToUtf16(s);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string Encode(const QString& s) {
  return text::Utf16ToCp1254(
      std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())));
}

QRgb ToRgb(const QColor& clr) { return clr.isValid() ? (clr.rgb() | 0xFF000000u) : kClrDefault; }

}  // namespace

CGridCtrl::CGridCtrl(QWidget* pParent) : QAbstractScrollArea(pParent) {
  m_crTextColour = palette().color(QPalette::WindowText);
  m_crWindowColour = palette().color(QPalette::Base);
  m_crFixedBkColour = palette().color(QPalette::Button);
  m_crShadowColour = palette().color(QPalette::Dark);
  m_nRowsPerWheelNotch = QApplication::wheelScrollLines() > 0 ? QApplication::wheelScrollLines() : 3;
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::Box);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  m_pTitleTip = std::make_unique<CTitleTip>(this);
  m_pDropTarget = std::make_unique<CGridDropTarget>(*this);
}

CGridCtrl::~CGridCtrl() {
  if (m_pEditor) {
    m_pEditor->disconnect(this);
    delete m_pEditor;
  }
}

bool CGridCtrl::Create(const QRect& rect, QWidget* pParent, int nID) {
  setParent(pParent);
  setGeometry(rect);
  m_nID = nID;
  show();
  return true;
}

bool CGridCtrl::IsValid(int nRow, int nCol) const {
  return nRow >= 0 && nRow < GetRowCount() && nCol >= 0 && nCol < GetColumnCount();
}

std::unique_ptr<CGridCellBase> CGridCtrl::CreateCell(int nRow, int nCol) {
  auto cell = std::make_unique<CGridCell>();
  cell->SetGrid(this);
  unsigned state = 0;
  if (nRow < m_nFixedRows) state |= GVIS_FIXED | GVIS_FIXEDROW;
  if (nCol < m_nFixedCols) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  cell->SetState(state);
  return cell;
}

void CGridCtrl::ResetCellState(int nRow, int nCol) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return;
  unsigned state = cell->GetState() & ~(GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL);
  if (nRow < m_nFixedRows) state |= GVIS_FIXED | GVIS_FIXEDROW;
  if (nCol < m_nFixedCols) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  cell->SetState(state);
}

GridSelectionMode CGridCtrl::SelectionMode() const {
  return {GetRowCount(), GetColumnCount(), m_nFixedRows, m_nFixedCols, m_bListMode,
          m_bListMode && m_bSingleRowSelection};
}

bool CGridCtrl::SetRowCount(int nRows) {
  if (nRows < 0) return false;
  if (nRows == GetRowCount()) return true;
  if (m_pEditor && m_pEditor->Row() >= nRows) m_pEditor->EndEdit(Qt::Key_Escape);
  const int nOld = GetRowCount();
  m_store.SetRowCount(nRows, [this](int r, int c) { return CreateCell(r, c); });
  const int nHeight = m_cellDefault.GetHeight();
  m_geometry.SetRowCount(nRows, nHeight);
  for (int r = nOld; r < nRows && r < m_nFixedRows; ++r) {
    m_geometry.SetRowHeight(r, m_cellFixedRowDef.GetHeight());
  }
  if (m_nFixedRows > nRows) m_nFixedRows = nRows;
  AfterResize();
  return true;
}

// The table lost or gained rows or columns: the selection keeps only cells that exist.
void CGridCtrl::AfterResize() {
  CGridSelection next = m_selection;
  next.Clip(SelectionMode());
  CommitSelection(next);
  ResetScrollBars();
  Refresh();
}

bool CGridCtrl::SetColumnCount(int nCols) {
  if (nCols < 0) return false;
  if (nCols == GetColumnCount()) return true;
  if (m_pEditor && m_pEditor->Col() >= nCols) m_pEditor->EndEdit(Qt::Key_Escape);
  m_store.SetColumnCount(nCols, [this](int r, int c) { return CreateCell(r, c); });
  m_geometry.SetColumnCount(nCols, m_cellDefault.GetWidth());
  m_columnTypes.resize(static_cast<size_t>(nCols), GridColumnType::Bytes);
  if (m_nFixedCols > nCols) m_nFixedCols = nCols;
  if (m_nSortColumn >= nCols) m_nSortColumn = -1;
  AfterResize();
  return true;
}

bool CGridCtrl::SetFixedRowCount(int nFixedRows) {
  if (nFixedRows < 0) return false;
  if (nFixedRows > GetRowCount() && !SetRowCount(nFixedRows)) return false;
  const int nTouched = std::max(m_nFixedRows, nFixedRows);
  m_nFixedRows = nFixedRows;
  for (int r = 0; r < nTouched; ++r) {
    for (int c = 0; c < GetColumnCount(); ++c) ResetCellState(r, c);
  }
  ClearSelection();
  ResetScrollBars();
  Refresh();
  return true;
}

bool CGridCtrl::SetFixedColumnCount(int nFixedCols) {
  if (nFixedCols < 0) return false;
  if (nFixedCols > GetColumnCount() && !SetColumnCount(nFixedCols)) return false;
  m_nFixedCols = nFixedCols;
  for (int r = 0; r < GetRowCount(); ++r) {
    for (int c = 0; c < GetColumnCount(); ++c) ResetCellState(r, c);
  }
  ClearSelection();
  ResetScrollBars();
  Refresh();
  return true;
}

bool CGridCtrl::ReplaceCell(int nRow, int nCol, std::unique_ptr<CGridCellBase> cell) {
  CGridCellBase* old = GetCell(nRow, nCol);
  if (!old) return false;
  cell->SetGrid(this);
  cell->Copy(*old);
  if (m_pEditor && m_pEditor->Row() == nRow && m_pEditor->Col() == nCol) {
    m_pEditor->EndEdit(Qt::Key_Escape);
  }
  m_store.SetCell(nRow, nCol, std::move(cell));
  InvalidateCell(nRow, nCol);
  return true;
}

bool CGridCtrl::GetCheck(int nRow, int nCol) const {
  const auto* cell = dynamic_cast<const CGridCellCheck*>(GetCell(nRow, nCol));
  return cell && cell->GetCheck();
}

bool CGridCtrl::SetCheck(int nRow, int nCol, bool bChecked) {
  auto* cell = dynamic_cast<CGridCellCheck*>(GetCell(nRow, nCol));
  if (!cell) return false;
  cell->SetCheck(bChecked);
  return true;
}

bool CGridCtrl::SetItem(const GV_ITEM& item) {
  CGridCellBase* cell = GetCell(item.row, item.col);
  if (!cell) return false;
  if (item.nMask & GVIF_TEXT) SetCellText8(item.row, item.col, Encode(item.strText));
  if (item.nMask & GVIF_PARAM) cell->SetData(item.lParam);
  if (item.nMask & GVIF_IMAGE) cell->SetImage(item.iImage);
  if (item.nMask & GVIF_STATE) SetItemState(item.row, item.col, item.nState);
  if (item.nMask & GVIF_FORMAT) cell->SetFormat(item.nFormat);
  if (item.nMask & GVIF_BKCLR) cell->SetBackClr(ToRgb(item.crBkClr));
  if (item.nMask & GVIF_FGCLR) cell->SetTextClr(ToRgb(item.crFgClr));
  if (item.nMask & GVIF_MARGIN) cell->SetMargin(item.nMargin);
  InvalidateCell(item.row, item.col);
  return true;
}

bool CGridCtrl::SetCellText8(int nRow, int nCol, std::string_view strCp1254) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  cell->SetText(strCp1254);
  cell->SetState(cell->GetState() | GVIS_MODIFIED);
  InvalidateCell(nRow, nCol);
  return true;
}

bool CGridCtrl::SetItemText(int nRow, int nCol, const QString& str) {
  return SetCellText8(nRow, nCol, Encode(str));
}

bool CGridCtrl::SetItemText8(int nRow, int nCol, std::string_view strCp1254) {
  return SetCellText8(nRow, nCol, strCp1254);
}

QString CGridCtrl::GetItemText(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return cell ? Decode(cell->GetText()) : QString();
}

std::string CGridCtrl::GetItemText8(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return cell ? cell->GetText() : std::string();
}

QString CGridCtrl::TextOf(const CGridCellBase& cell) const { return Decode(cell.GetText()); }

bool CGridCtrl::SetItemFormat(int nRow, int nCol, unsigned nFormat) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  cell->SetFormat(nFormat);
  InvalidateCell(nRow, nCol);
  return true;
}

unsigned CGridCtrl::GetItemFormat(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return cell ? cell->GetFormat() : 0;
}

bool CGridCtrl::SetItemState(int nRow, int nCol, unsigned nState) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  // Selection and focus belong to the selection, not to the cell.
  cell->SetState(nState & ~(GVIS_SELECTED | GVIS_FOCUSED));
  ResetCellState(nRow, nCol);
  InvalidateCell(nRow, nCol);
  return true;
}

unsigned CGridCtrl::GetItemState(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return 0;
  unsigned state = cell->GetState();
  if (m_selection.IsSelected(nRow, nCol)) state |= GVIS_SELECTED;
  if (m_selection.GetFocusCell() == CCellID(nRow, nCol)) state |= GVIS_FOCUSED;
  return state;
}

bool CGridCtrl::SetItemData(int nRow, int nCol, std::intptr_t lParam) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  cell->SetData(lParam);
  return true;
}

std::intptr_t CGridCtrl::GetItemData(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return cell ? cell->GetData() : 0;
}

bool CGridCtrl::SetItemBkColour(int nRow, int nCol, const QColor& clr) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  cell->SetBackClr(ToRgb(clr));
  InvalidateCell(nRow, nCol);
  return true;
}

bool CGridCtrl::SetItemFgColour(int nRow, int nCol, const QColor& clr) {
  CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell) return false;
  cell->SetTextClr(ToRgb(clr));
  InvalidateCell(nRow, nCol);
  return true;
}

QColor CGridCtrl::GetItemBkColour(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  if (!cell || cell->GetBackClr() == kClrDefault) return {};
  return QColor::fromRgb(cell->GetBackClr());
}

bool CGridCtrl::IsCellEditable(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return m_bEditable && cell && !cell->IsReadOnly() && !cell->IsFixed();
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool bFixedRow, bool bFixedCol) {
  if (bFixedRow && bFixedCol) return &m_cellFixedRowColDef;
  if (bFixedRow) return &m_cellFixedRowDef;
  if (bFixedCol) return &m_cellFixedColDef;
  return &m_cellDefault;
}

const CGridDefaultCell* CGridCtrl::GetDefaultCell(bool bFixedRow, bool bFixedCol) const {
  return const_cast<CGridCtrl*>(this)->GetDefaultCell(bFixedRow, bFixedCol);
}

bool CGridCtrl::SetColumnWidth(int nCol, int nWidth) {
  if (nCol < 0 || nCol >= GetColumnCount() || nWidth < 0) return false;
  m_geometry.SetColumnWidth(nCol, nWidth);
  ResetScrollBars();
  Refresh();
  return true;
}

bool CGridCtrl::SetRowHeight(int nRow, int nHeight) {
  if (nRow < 0 || nRow >= GetRowCount() || nHeight < 0) return false;
  m_geometry.SetRowHeight(nRow, nHeight);
  ResetScrollBars();
  Refresh();
  return true;
}

QSize CGridCtrl::CellExtent(int nRow, int nCol) const {
  const CGridCellBase* cell = GetCell(nRow, nCol);
  return cell ? cell->GetCellExtent() : QSize();
}

void CGridCtrl::AutoSize() {
  const int nRows = GetRowCount(), nCols = GetColumnCount();
  for (int r = 0; r < nRows; ++r) {
    if (m_geometry.GetRowHeight(r) > 0) m_geometry.SetRowHeight(r, 1);
  }
  std::vector<int> heights(static_cast<size_t>(nRows), 1);
  for (int c = 0; c < nCols; ++c) {
    if (m_geometry.GetColumnWidth(c) == 0) continue;  // hidden columns stay hidden
    int nWidth = 0;
    for (int r = 0; r < nRows; ++r) {
      if (m_geometry.GetRowHeight(r) == 0) continue;
      const QSize ext = CellExtent(r, c);
      nWidth = std::max(nWidth, ext.width());
      heights[static_cast<size_t>(r)] = std::max(heights[static_cast<size_t>(r)], ext.height());
    }
    m_geometry.SetColumnWidth(c, std::max(nWidth, 1));
  }
  for (int r = 0; r < nRows; ++r) {
    if (m_geometry.GetRowHeight(r) > 0) m_geometry.SetRowHeight(r, heights[static_cast<size_t>(r)]);
  }
  ResetScrollBars();
  Refresh();
}

bool CGridCtrl::AutoSizeColumn(int nCol) {
  if (nCol < 0 || nCol >= GetColumnCount()) return false;
  int nWidth = 0;
  for (int r = 0; r < GetRowCount(); ++r) {
    if (m_geometry.GetRowHeight(r) > 0) nWidth = std::max(nWidth, CellExtent(r, nCol).width());
  }
  return SetColumnWidth(nCol, std::max(nWidth, 1));
}

bool CGridCtrl::AutoSizeRow(int nRow) {
  if (nRow < 0 || nRow >= GetRowCount()) return false;
  int nHeight = 0;
  for (int c = 0; c < GetColumnCount(); ++c) {
    if (m_geometry.GetColumnWidth(c) > 0) nHeight = std::max(nHeight, CellExtent(nRow, c).height());
  }
  return SetRowHeight(nRow, std::max(nHeight, 1));
}

void CGridCtrl::AutoSizeColumns() {
  for (int c = 0; c < GetColumnCount(); ++c) {
    if (m_geometry.GetColumnWidth(c) > 0) AutoSizeColumn(c);
  }
}

void CGridCtrl::DeleteNonFixedRows() {
  ClearSelection();
  m_nSortColumn = -1;
  m_bAscending = true;
  SetRowCount(m_nFixedRows);
  Refresh();  // the header loses its arrow even when there were no rows
}

void CGridCtrl::DeleteAllItems() {
  CGridSelection none;
  CommitSelection(none);
  m_nFixedRows = m_nFixedCols = 0;
  m_nSortColumn = -1;
  SetRowCount(0);
  SetColumnCount(0);
  m_columnTypes.clear();
}

void CGridCtrl::SetListMode(bool bEnableListMode) {
  ClearSelection();
  m_nSortColumn = -1;
  m_bListMode = bEnableListMode;
  m_bFixedRowSelection = false;
  Refresh();
}

void CGridCtrl::SetGridLines(bool bHorz, bool bVert) {
  m_bGridLinesHorz = bHorz;
  m_bGridLinesVert = bVert;
  Refresh();
}

CCellRange CGridCtrl::GetSelectedCellRange() const {
  const CCellRange bounds = m_selection.GetBounds();
  if (!bounds.IsValid()) return {GetRowCount(), GetColumnCount(), -1, -1};
  return bounds;
}

void CGridCtrl::SetFocusCell(CCellID cell) {
  CGridSelection next = m_selection;
  next.SetFocusCell(IsValid(cell) ? cell : CCellID());
  CommitSelection(next);
}

void CGridCtrl::SetSelectedRange(const CCellRange& range) {
  CGridSelection next = m_selection;
  const CCellRange clipped(std::max(range.GetMinRow(), 0), std::max(range.GetMinCol(), 0),
                           std::min(range.GetMaxRow(), GetRowCount() - 1),
                           std::min(range.GetMaxCol(), GetColumnCount() - 1));
  next.SelectRange(clipped);
  CommitSelection(next);
}

void CGridCtrl::SelectAllCells() {
  CGridSelection next = m_selection;
  next.SelectAll(SelectionMode());
  CommitSelection(next);
}

void CGridCtrl::ClearSelection() {
  CGridSelection next;
  CommitSelection(next);
}

void CGridCtrl::CommitSelection(const CGridSelection& next) {
  if (next == m_selection) return;
  const CCellID focus = next.GetFocusCell();
  emit SelectionChanging(focus.row, focus.col);
  const CGridSelection old = m_selection;
  m_selection = next;
  // Only the cells whose look changed: the blocks that were or are selected, and the two
  // focus cells.
  for (const CCellRange& b : old.GetBlocks()) InvalidateRange(b);
  for (const CCellRange& b : next.GetBlocks()) InvalidateRange(b);
  InvalidateCell(old.GetFocusCell().row, old.GetFocusCell().col);
  InvalidateCell(focus.row, focus.col);
  emit SelectionChanged(focus.row, focus.col);
}

bool CGridCtrl::CopySelection() {
  const std::string bytes = CopySelectionText();
  if (bytes.empty()) return false;
  // The clipboard takes the text without the 8-bit terminator.
  QGuiApplication::clipboard()->setText(Decode(std::string_view(bytes).substr(0, bytes.size() - 1)));
  return true;
}

void CGridCtrl::ClearSelectedTexts() {
  if (!m_bEditable) return;
  for (const CCellRange& b : m_selection.GetBlocks()) {
    for (int r = b.GetMinRow(); r <= b.GetMaxRow(); ++r) {
      for (int c = b.GetMinCol(); c <= b.GetMaxCol(); ++c) {
        if (IsCellEditable(r, c) && !GetItemText8(r, c).empty()) SetCellText8(r, c, {});
      }
    }
  }
}

bool CGridCtrl::CutSelection() {
  if (!m_bEditable) return false;
  if (!CopySelection()) return false;
  ClearSelectedTexts();
  return true;
}

bool CGridCtrl::Paste() {
  if (!m_bEditable) return false;
  CCellID target = GetSelectedCellRange().GetTopLeft();
  if (!IsValid(target)) target = GetFocusCell();
  if (!IsValid(target)) {
    const CCellRange vis = GetVisibleNonFixedCellRange();
    target = vis.GetTopLeft();
  }
  const QString str = QGuiApplication::clipboard()->text();
  if (m_pEditor && m_pEditor->Row() == target.row && m_pEditor->Col() == target.col) {
    m_pEditor->insert(str);
    return true;
  }
  if (str.isEmpty()) return false;
  return PasteTextToGrid(target, Encode(str), true);
}

bool CGridCtrl::PasteTextToGrid(CCellID target, std::string_view strCp1254, bool bSelectPasted) {
  if (!IsCellEditable(target.row, target.col)) return false;
  const auto lines = SplitPasteText(strCp1254);
  int nMaxRow = -1, nMaxCol = -1;
  int nRow = target.row;
  for (const auto& fields : lines) {
    nRow = m_geometry.VisibleRowFrom(nRow, 1, m_nFixedRows);
    if (nRow < 0) break;
    int nCol = target.col;
    for (const std::string& field : fields) {
      nCol = m_geometry.VisibleColFrom(nCol, 1, m_nFixedCols);
      if (nCol < 0) break;
      if (IsCellEditable(nRow, nCol)) {
        SetCellText8(nRow, nCol, field);
        nMaxRow = std::max(nMaxRow, nRow);
        nMaxCol = std::max(nMaxCol, nCol);
      }
      ++nCol;
    }
    ++nRow;
  }
  if (nMaxRow < 0) return false;
  if (bSelectPasted) SetSelectedRange({target.row, target.col, nMaxRow, nMaxCol});
  return true;
}

bool CGridCtrl::SetColumnType(int nCol, GridColumnType type) {
  if (nCol < 0 || nCol >= GetColumnCount()) return false;
  m_columnTypes[static_cast<size_t>(nCol)] = type;
  return true;
}

GridColumnType CGridCtrl::GetColumnType(int nCol) const {
  if (nCol < 0 || nCol >= GetColumnCount()) return GridColumnType::Bytes;
  return m_columnTypes[static_cast<size_t>(nCol)];
}

bool CGridCtrl::SortItems(int nCol, bool bAscending) {
  if (nCol < 0 || nCol >= GetColumnCount()) return false;
  if (m_pEditor) m_pEditor->EndEdit(0);
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  CGridSelection none;
  CommitSelection(none);
  m_nSortColumn = nCol;
  m_bAscending = bAscending;
  const std::vector<int> order = SortRowOrder(m_store, nCol, GetColumnType(nCol), bAscending, m_nFixedRows);
  m_store.PermuteRows(m_nFixedRows, order);
  m_geometry.PermuteRows(m_nFixedRows, order);
  QGuiApplication::restoreOverrideCursor();
  Refresh();
  return true;
}

bool CGridCtrl::MoveRow(int nFrom, int nTo) {
  if (nFrom < m_nFixedRows || nTo < m_nFixedRows || nFrom >= GetRowCount() ||
      nTo >= GetRowCount()) {
    return false;
  }
  if (nFrom == nTo) return true;
  if (m_pEditor) m_pEditor->EndEdit(0);
  m_store.MoveRow(nFrom, nTo);
  m_geometry.MoveRow(nFrom, nTo);
  CGridSelection next = m_selection;
  next.SelectRange({});
  next.SetFocusCell({});
  CommitSelection(next);
  Refresh();
  return true;
}

CInPlaceEdit* CGridCtrl::GetInPlaceEdit() const { return m_pEditor.data(); }

CTitleTip* CGridCtrl::GetTitleTip() const { return m_pTitleTip.get(); }

QColor CGridCtrl::GetHighlightColor() const { return palette().color(QPalette::Highlight); }

QColor CGridCtrl::GetHighlightTextColor() const {
  return palette().color(QPalette::HighlightedText);
}
