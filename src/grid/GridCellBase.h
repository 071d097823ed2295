#pragma once
// The abstract cell of the table control: the state word and the virtual attribute,
// drawing, measuring and click operations that CGridCell and CGridCellCheck implement.
//
// Texts are the program's 8-bit Windows-1254 bytes; they become QString only on the
// screen, in the editor and on the clipboard.
#include <QFont>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "grid/GridDefs.h"

class QPainter;
class CGridCtrl;
class CGridDefaultCell;

class CGridCellBase {
 public:
  virtual ~CGridCellBase() = default;

  // Attribute setters.
  virtual void SetText(std::string_view strCp1254) = 0;
  virtual void SetImage(int nImage) = 0;
  virtual void SetData(std::intptr_t lParam) = 0;
  virtual void SetState(unsigned nState) { m_nState = nState; }
  virtual void SetFormat(unsigned nFormat) = 0;
  virtual void SetTextClr(QRgb clr) = 0;  // kClrDefault: the default cell's
  virtual void SetBackClr(QRgb clr) = 0;
  virtual void SetFont(const QFont* pFont) = 0;  // nullptr: the default cell's
  virtual void SetMargin(int nMargin) = 0;        // -1: the default cell's
  virtual void SetGrid(CGridCtrl* pGrid) = 0;
  virtual void SetCoords(int /*nRow*/, int /*nCol*/) {}
  virtual void SetEditing(bool bEditing) = 0;

  // Attribute getters; colours, format, font and margin resolve defaults.
  virtual const std::string& GetText() const = 0;
  virtual QString GetTipText() const;
  virtual int GetImage() const = 0;
  virtual std::intptr_t GetData() const = 0;
  virtual unsigned GetState() const { return m_nState; }
  virtual unsigned GetFormat() const = 0;
  virtual QRgb GetTextClr() const = 0;  // may be kClrDefault
  virtual QRgb GetBackClr() const = 0;
  virtual const QFont& GetFont() const = 0;
  virtual int GetMargin() const = 0;
  virtual CGridCtrl* GetGrid() const = 0;
  virtual const CGridDefaultCell* GetDefaultCell() const;

  // State tests.
  virtual bool IsDefaultFont() const = 0;
  virtual bool IsEditing() const = 0;
  bool IsFocused() const { return (m_nState & GVIS_FOCUSED) != 0; }
  bool IsFixed() const { return (m_nState & GVIS_FIXED) != 0; }
  bool IsFixedCol() const { return (m_nState & GVIS_FIXEDCOL) != 0; }
  bool IsFixedRow() const { return (m_nState & GVIS_FIXEDROW) != 0; }
  bool IsSelected() const { return (m_nState & GVIS_SELECTED) != 0; }
  bool IsReadOnly() const { return (m_nState & GVIS_READONLY) != 0; }
  bool IsModified() const { return (m_nState & GVIS_MODIFIED) != 0; }
  bool IsDropHighlighted() const { return (m_nState & GVIS_DROPHILITED) != 0; }

  // Takes over every attribute of another cell except the owning control.
  virtual void Copy(const CGridCellBase& other);
  virtual void Reset();

  // nDrawState is the state word with the control's selection and focus bits merged in.
  virtual void Draw(QPainter& painter, const QRect& rect, unsigned nDrawState);
  // The cell less its margins and, in a header row of a sorting control, the sort arrow's room.
  virtual QRect GetTextRect(const QRect& cellRect) const;
  virtual QRect GetTipTextRect(const QRect& cellRect) const { return GetTextRect(cellRect); }
  // Pixels the text needs in this cell's font; explicit line breaks count for word-break
  // cells.
  virtual QSize GetTextExtent(std::string_view strCp1254) const;
  // Text extent plus margins (and a header's arrow room): what auto-size gives the cell.
  virtual QSize GetCellExtent() const;

  // Left click released inside the cell; the point is relative to the cell's top left.
  virtual void OnClick(QPoint /*pointCellRelative*/, const QRect& /*cellRect*/) {}

 protected:
  int HeaderArrowRoom() const;
  unsigned m_nState = 0;
};
