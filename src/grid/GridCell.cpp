#include "grid/GridCell.h"

#include <QApplication>
#include <QFontMetrics>

#include "text/Cp1254.h"

void CGridCell::SetFont(const QFont* pFont) {
  m_pFont = pFont ? std::make_unique<QFont>(*pFont) : nullptr;
}

unsigned CGridCell::GetFormat() const {
  if (m_nFormat != kFormatDefault) return m_nFormat;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFormat() : (DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

const QFont& CGridCell::GetFont() const {
  if (m_pFont) return *m_pFont;
  return GetDefaultCell()->GetFont();
}

int CGridCell::GetMargin() const {
  if (m_nMargin >= 0) return m_nMargin;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetMargin() : 3;
}

void CGridCell::Reset() {
  CGridCellBase::Reset();
  m_strText.clear();
  m_lParam = 0;
  m_nImage = -1;
  m_nFormat = kFormatDefault;
  m_crBkClr = m_crFgClr = kClrDefault;
  m_pFont.reset();
  m_nMargin = -1;
  m_bEditing = false;
}

CGridDefaultCell::CGridDefaultCell()
    : m_nDefFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS) {
  // Without an application there is no font database; keep the fixed fallbacks.
  if (qApp) {
    const QFont font = QApplication::font();
    SetFont(&font);
  }
}

void CGridDefaultCell::SetFont(const QFont* pFont) {
  if (!pFont) return;
  m_font = *pFont;
  const QFontMetrics fm(m_font);
  for (int b = 0; b < 256; ++b) {
    const char ch = static_cast<char>(b);
    const std::u16string u = text::Cp1254ToUtf16(std::string_view(&ch, 1));
    m_advance[static_cast<size_t>(b)] = fm.horizontalAdvance(QChar(u[0]));
  }
  m_nLineHeight = fm.height();
  m_nDefMargin = fm.horizontalAdvance(QLatin1Char(' '));
  m_nWidth = fm.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX "));
  m_nHeight = m_nLineHeight * 3 / 2;
}

int CGridDefaultCell::TextWidth(std::string_view strCp1254) const {
  int n = 0;
  for (const char ch : strCp1254) n += m_advance[static_cast<unsigned char>(ch)];
  return n;
}
