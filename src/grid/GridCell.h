#pragma once
// The ordinary text cell and the default cells that hold each class of cells' defaults.
#include <array>
#include <memory>

#include "grid/GridCellBase.h"

class CGridCell : public CGridCellBase {
 public:
  CGridCell() = default;
  CGridCell(const CGridCell&) = delete;
  CGridCell& operator=(const CGridCell&) = delete;

  void SetText(std::string_view strCp1254) override { m_strText.assign(strCp1254); }
  void SetImage(int nImage) override { m_nImage = nImage; }
  void SetData(std::intptr_t lParam) override { m_lParam = lParam; }
  void SetFormat(unsigned nFormat) override { m_nFormat = nFormat; }
  void SetTextClr(QRgb clr) override { m_crFgClr = clr; }
  void SetBackClr(QRgb clr) override { m_crBkClr = clr; }
  void SetFont(const QFont* pFont) override;
  void SetMargin(int nMargin) override { m_nMargin = nMargin; }
  void SetGrid(CGridCtrl* pGrid) override { m_pGrid = pGrid; }
  void SetEditing(bool bEditing) override { m_bEditing = bEditing; }

  const std::string& GetText() const override { return m_strText; }
  int GetImage() const override { return m_nImage; }
  std::intptr_t GetData() const override { return m_lParam; }
  unsigned GetFormat() const override;
  QRgb GetTextClr() const override { return m_crFgClr; }
  QRgb GetBackClr() const override { return m_crBkClr; }
  const QFont& GetFont() const override;
  int GetMargin() const override;
  CGridCtrl* GetGrid() const override { return m_pGrid; }

  bool IsDefaultFont() const override { return !m_pFont; }
  bool IsEditing() const override { return m_bEditing; }
  void Reset() override;

 private:
  std::string m_strText;
  std::intptr_t m_lParam = 0;
  int m_nImage = -1;
  unsigned m_nFormat = kFormatDefault;
  QRgb m_crBkClr = kClrDefault;
  QRgb m_crFgClr = kClrDefault;
  std::unique_ptr<QFont> m_pFont;
  int m_nMargin = -1;
  bool m_bEditing = false;
  CGridCtrl* m_pGrid = nullptr;
};

// Defaults for ordinary, fixed-row, fixed-column and fixed cells: font, margin, size.
class CGridDefaultCell : public CGridCell {
 public:
  CGridDefaultCell();

  // Sets the font and derives the margin (one blank), the width (" XXXXXXXXXXXX ") and
  // the height (3/2 of the text height).
  void SetFont(const QFont* pFont) override;
  const QFont& GetFont() const override { return m_font; }
  unsigned GetFormat() const override { return m_nDefFormat; }
  void SetFormat(unsigned nFormat) override { m_nDefFormat = nFormat; }
  int GetMargin() const override { return m_nDefMargin; }
  void SetMargin(int nMargin) override { m_nDefMargin = nMargin; }
  bool IsDefaultFont() const override { return true; }

  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  void SetWidth(int nWidth) { m_nWidth = nWidth; }
  void SetHeight(int nHeight) { m_nHeight = nHeight; }

  // Width of a single line of 8-bit text in the default font, summed from a per-byte
  // advance table: auto-sizing a large table measures millions of texts.
  int TextWidth(std::string_view strCp1254) const;
  int LineHeight() const { return m_nLineHeight; }

 private:
  QFont m_font;
  unsigned m_nDefFormat;
  int m_nDefMargin = 3;
  int m_nWidth = 40;
  int m_nHeight = 16;
  int m_nLineHeight = 13;
  std::array<int, 256> m_advance{};
};
