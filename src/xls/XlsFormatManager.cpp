#include "xls/XlsFormatManager.h"

#include "xls/XlsInternal.h"

namespace {

// Built-in number formats ([MS-XLS] 2.4.126, indices 0 to 49 less 23 to 36).
const std::pair<std::uint16_t, const char16_t*> kBuiltInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {5, u"\"$\"#,##0_);(\"$\"#,##0)"},
    {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
    {7, u"\"$\"#,##0.00_);(\"$\"#,##0.00)"},
    {8, u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ??"},
    {14, u"M/D/YY"},
    {15, u"D-MMM-YY"},
    {16, u"D-MMM"},
    {17, u"MMM-YY"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"M/D/YY h:mm"},
    {37, u"_(#,##0_);(#,##0)"},
    {38, u"_(#,##0_);[Red](#,##0)"},
    {39, u"_(#,##0.00_);(#,##0.00)"},
    {40, u"_(#,##0.00_);[Red](#,##0.00)"},
    {41, u"_(\"$\"* #,##0_);_(\"$\"* (#,##0);_(\"$\"* \"-\"_);_(@_)"},
    {42, u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
    {43, u"_(\"$\"* #,##0.00_);_(\"$\"* (#,##0.00);_(\"$\"* \"-\"??_);_(@_)"},
    {44, u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mm:ss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

// A cell XF's protection word and used-attribute bits ([MS-XLS] 2.4.353).
constexpr std::uint16_t kCellXFTypeAndProtection = 0x0078;
constexpr std::uint8_t kCellXFUsedAttributes = 0;

// BIFF8 has no FONT index 4: the fifth record is font 5.
std::uint16_t FontIndexOfPosition(std::size_t position) {
  return static_cast<std::uint16_t>(position < 4 ? position : position + 1);
}

}  // namespace

XlsFormatManager::XlsFormatManager(XlsWorkbook& workbook) : m_workbook(workbook) {
  for (const auto& [index, format] : kBuiltInFormats) m_formats[index] = format;
  for (const auto& record : XlsWorkbookAccess::Globals(workbook).formats) {
    m_formats[record.index] = record.format;
    if (record.index >= m_nextCustomFormat) {
      m_nextCustomFormat = static_cast<std::uint16_t>(record.index + 1);
    }
  }
  for (const auto& [index, format] : m_formats) m_formatIndices[format] = index;
}

std::u16string XlsFormatManager::FormatString(std::uint16_t index) const {
  auto it = m_formats.find(index);
  return it == m_formats.end() ? std::u16string() : it->second;
}

std::uint16_t XlsFormatManager::GetFontIndex(const XlsFont& font) {
  auto& fonts = XlsWorkbookAccess::Globals(m_workbook).fonts;
  std::u16string name = font.name.substr(0, 255);
  for (std::size_t p = 0; p < fonts.size(); ++p) {
    const auto& f = fonts[p];
    if (f.name == name && f.height == font.height && f.weight == font.weight &&
        f.options == font.options && f.colourIndex == font.colourIndex &&
        f.escapement == font.escapement && f.underline == font.underline &&
        f.family == font.family && f.charSet == font.charSet) {
      return FontIndexOfPosition(p);
    }
  }
  YExcel::Workbook::Font record;
  record.name = name;
  record.height = font.height;
  record.weight = font.weight;
  record.options = font.options;
  record.colourIndex = font.colourIndex;
  record.escapement = font.escapement;
  record.underline = font.underline;
  record.family = font.family;
  record.charSet = font.charSet;
  fonts.push_back(record);
  return FontIndexOfPosition(fonts.size() - 1);
}

std::uint16_t XlsFormatManager::GetXFIndex(const XlsCellFormat& format) {
  auto& xfs = XlsWorkbookAccess::Globals(m_workbook).xfs;
  for (std::size_t p = 0; p < xfs.size(); ++p) {
    const auto& x = xfs[p];
    if (x.fontIndex == format.FontIndex() && x.formatIndex == format.FormatIndex() &&
        x.alignment == format.Alignment() && x.rotation == format.Rotation() &&
        x.textProperties == format.TextProperties() && x.borderLines == format.BorderLines() &&
        x.colourWord1 == format.ColourWord1() && x.colourWord2 == format.ColourWord2()) {
      return static_cast<std::uint16_t>(p);
    }
  }
  YExcel::Workbook::XF record;
  record.fontIndex = format.FontIndex();
  record.formatIndex = format.FormatIndex();
  record.typeAndProtection = kCellXFTypeAndProtection;
  record.alignment = format.Alignment();
  record.rotation = format.Rotation();
  record.textProperties = format.TextProperties();
  record.usedAttributes = kCellXFUsedAttributes;
  record.borderLines = format.BorderLines();
  record.colourWord1 = format.ColourWord1();
  record.colourWord2 = format.ColourWord2();
  xfs.push_back(record);
  return static_cast<std::uint16_t>(xfs.size() - 1);
}

std::uint16_t XlsCellFormat::GetXFIndex() {
  if (m_xfIndex < 0) m_xfIndex = m_manager->GetXFIndex(*this);
  return static_cast<std::uint16_t>(m_xfIndex);
}
