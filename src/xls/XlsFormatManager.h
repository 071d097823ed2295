#pragma once
// Fonts and cell formats resolved to the FONT and XF indices a workbook's cells use.
//
//   XlsFormatManager formats(book);
//   XlsFont small{.height = 120};
//   XlsCellFormat s(formats);
//   s.SetFontIndex(formats.GetFontIndex(small));
//   s.SetAlignment(0x28);
//   cell.SetXFIndex(s.GetXFIndex());
#include <cstdint>
#include <map>
#include <string>

class XlsWorkbook;

// The FONT record fields ([MS-XLS] 2.4.122).
struct XlsFont {
  std::u16string name = u"Arial";  // at most 255 units; longer names are cut
  std::uint16_t height = 200;      // 1/20 point
  std::uint16_t weight = 400;      // 400 normal, 700 bold
  std::uint16_t options = 0;       // bit 1 italic, bit 3 strikeout, ...
  std::uint16_t colourIndex = 0x7FFF;  // palette index; 0x7FFF automatic
  std::uint16_t escapement = 0;    // 0 none, 1 superscript, 2 subscript
  std::uint8_t underline = 0;
  std::uint8_t family = 0;
  std::uint8_t charSet = 0;
};

class XlsFormatManager;

// The XF record fields a cell format sets ([MS-XLS] 2.4.353). The defaults are those of
// the default style (XF 0). Each setter forgets the resolved index.
class XlsCellFormat {
 public:
  explicit XlsCellFormat(XlsFormatManager& manager) : m_manager(&manager) {}

  void SetFontIndex(std::uint16_t v) { m_fontIndex = v; m_xfIndex = -1; }
  void SetFormatIndex(std::uint16_t v) { m_formatIndex = v; m_xfIndex = -1; }
  // Bits 0..2 horizontal, bit 3 wrap text, bits 4..6 vertical.
  void SetAlignment(std::uint8_t v) { m_alignment = v; m_xfIndex = -1; }
  void SetRotation(std::uint8_t v) { m_rotation = v; m_xfIndex = -1; }
  void SetTextProperties(std::uint8_t v) { m_textProperties = v; m_xfIndex = -1; }
  void SetBorderLines(std::uint32_t v) { m_borderLines = v; m_xfIndex = -1; }
  void SetColourWord1(std::uint32_t v) { m_colourWord1 = v; m_xfIndex = -1; }
  // Pattern colour index in bits 0..6, background index in bits 7..13.
  void SetColourWord2(std::uint16_t v) { m_colourWord2 = v; m_xfIndex = -1; }

  std::uint16_t FontIndex() const { return m_fontIndex; }
  std::uint16_t FormatIndex() const { return m_formatIndex; }
  std::uint8_t Alignment() const { return m_alignment; }
  std::uint8_t Rotation() const { return m_rotation; }
  std::uint8_t TextProperties() const { return m_textProperties; }
  std::uint32_t BorderLines() const { return m_borderLines; }
  std::uint32_t ColourWord1() const { return m_colourWord1; }
  std::uint16_t ColourWord2() const { return m_colourWord2; }

  // The XF index for cells in this format, resolved once and then reused.
  std::uint16_t GetXFIndex();

 private:
  XlsFormatManager* m_manager;
  std::int32_t m_xfIndex = -1;
  std::uint16_t m_fontIndex = 0;
  std::uint16_t m_formatIndex = 0;
  std::uint8_t m_alignment = 0x20;
  std::uint8_t m_rotation = 0;
  std::uint8_t m_textProperties = 0;
  std::uint32_t m_borderLines = 0;
  std::uint32_t m_colourWord1 = 0;
  std::uint16_t m_colourWord2 = 0x20C0;
};

// Finds or appends FONT and XF records in one workbook. Must not outlive it, and is
// invalid after the workbook's New().
class XlsFormatManager {
 public:
  explicit XlsFormatManager(XlsWorkbook& workbook);
  virtual ~XlsFormatManager() = default;

  // The FONT index for an XF: list position p, or p + 1 from the fifth record on (BIFF8
  // has no FONT index 4). Appends a FONT record when none matches.
  std::uint16_t GetFontIndex(const XlsFont& font);
  // The XF index of a matching record (type, protection and used-attribute bits are not
  // compared), appending a cell XF when none matches.
  std::uint16_t GetXFIndex(const XlsCellFormat& format);

  // Number format string of an index ("General" for 0); empty when unknown.
  std::u16string FormatString(std::uint16_t index) const;

 private:
  XlsWorkbook& m_workbook;
  std::uint16_t m_nextCustomFormat = 164;
  std::map<std::uint16_t, std::u16string> m_formats;
  std::map<std::u16string, std::uint16_t> m_formatIndices;
};
