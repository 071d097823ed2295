#pragma once
// An editable Excel 97-2003 workbook: sheets of cells with texts, numbers, formats and
// merged ranges, saved as a BIFF8 "Workbook" stream in a compound file.
//
//   XlsWorkbook book;
//   book.New();
//   XlsWorksheet& sheet = book.GetWorksheet(0);
//   sheet.Cell(0, 0).SetText(u"NOKTA NO");
//   sheet.SetColWidth(0, 3000);
//   bool saved = book.SaveAs("form.xls");
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace YExcel {
struct Workbook;
}
class XlsStringPool;
class XlsWorksheet;

// A handle on one cell of a sheet; copies refer to the same cell. A null handle (from
// XlsWorksheet::Cell outside the sheet's limits) ignores setters and reads as empty.
// Handles stay valid while their workbook lives and is not reset by New().
class XlsCell {
 public:
  enum class Kind : std::uint8_t { Undefined = 0, Integer = 1, Real = 2, Text = 4 };

  // Longest text a cell holds (Excel's limit; [MS-XLS] allows at most 32767 characters
  // in a cell string).
  static constexpr std::size_t kMaxTextLength = 32767;

  XlsCell() = default;
  explicit operator bool() const { return m_sheet != nullptr; }

  // An empty text makes the cell undefined (it is saved as BLANK, keeping its format).
  // False, and the cell unchanged, for a text longer than kMaxTextLength, a null handle,
  // or a workbook already holding 4 Gi units of text.
  bool SetText(std::u16string_view text);
  bool SetInteger(std::int32_t value);
  // False, and the cell unchanged, for NaN or infinity.
  bool SetReal(double value);
  // Back to undefined; format and spans are kept.
  void Clear();

  // XF index as returned by XlsFormatManager::GetXFIndex / XlsCellFormat::GetXFIndex.
  void SetXFIndex(std::uint16_t xfIndex);
  // Rows downwards and columns to the right the cell spans, its own included; 0 counts
  // as 1. A span reaching past the sheet's last row or column is cut there on saving.
  void SetMergedRows(std::uint16_t rows);
  void SetMergedColumns(std::uint16_t columns);

  Kind GetKind() const;
  std::u16string_view GetText() const;  // empty unless Kind::Text
  std::int32_t GetInteger() const;
  double GetReal() const;
  std::uint16_t GetXFIndex() const;
  std::uint16_t GetMergedRows() const;
  std::uint16_t GetMergedColumns() const;

 private:
  friend class XlsWorksheet;
  friend struct XlsWorkbookAccess;
  struct Data {
    union {
      double real = 0.0;
      std::int32_t integer;
      std::uint32_t text;  // reference into the workbook's string pool
    };
    std::uint16_t xfIndex = 0;
    std::uint16_t mergedRows = 1;
    std::uint16_t mergedColumns = 1;
    Kind kind = Kind::Undefined;
  };
  XlsCell(XlsWorksheet* sheet, std::uint32_t row, std::uint16_t column)
      : m_sheet(sheet), m_row(row), m_column(column) {}
  Data* Find() const;  // null while the cell was never written
  Data& Get();

  XlsWorksheet* m_sheet = nullptr;
  std::uint32_t m_row = 0;
  std::uint16_t m_column = 0;
};

// How a sheet prints. A sheet without one prints as the reader's defaults have it.
struct XlsPageSetup {
  enum class Orientation : std::uint8_t { Portrait, Landscape };
  // Rows counted from 0, both included.
  struct Rows {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
  };

  Orientation orientation = Orientation::Portrait;
  std::uint16_t paperSize = 9;  // [MS-XLS] Setup paper codes: 9 is A4, 1 US Letter
  // Pages across and down the printout is shrunk to; 0 leaves that direction free. Both
  // 0 prints at 100 %.
  std::uint16_t fitWidth = 0;
  std::uint16_t fitHeight = 0;
  // Inches.
  double leftMargin = 0.7;
  double rightMargin = 0.7;
  double topMargin = 0.75;
  double bottomMargin = 0.75;
  double headerMargin = 0.3;
  double footerMargin = 0.3;
  bool centredHorizontally = false;
  // Repeated at the top of every printed page.
  std::optional<Rows> titleRows;
};

class XlsWorksheet {
 public:
  static constexpr std::uint32_t kMaxRows = 65536;
  static constexpr std::uint32_t kMaxColumns = 256;

  XlsWorksheet(const XlsWorksheet&) = delete;
  XlsWorksheet& operator=(const XlsWorksheet&) = delete;
  virtual ~XlsWorksheet();

  // The cell at (row, column), counted from 0; grows the sheet to include it. A null
  // handle, and no growth, for row >= 65536 or column >= 256.
  XlsCell Cell(std::uint32_t row, std::uint32_t column);
  // Rows and columns the sheet spans; every cell inside is saved, undefined ones as BLANK.
  std::uint32_t RowCount() const { return m_rowCount; }
  std::uint32_t ColumnCount() const { return m_columnCount; }

  // Width of one column in 1/256 of a character width. False for column >= 256.
  // Setting a column twice adds a second entry; the later one wins in readers.
  bool SetColWidth(std::uint16_t column, std::uint16_t width);

  // False, and the sheet's page setup unchanged, for a margin that is negative, not
  // finite or 100 inches or more, or title rows whose first row comes after the last.
  bool SetPageSetup(const XlsPageSetup& setup);
  const std::optional<XlsPageSetup>& GetPageSetup() const { return m_pageSetup; }

 private:
  friend class XlsCell;
  friend class XlsWorkbook;
  friend struct XlsWorkbookAccess;
  struct ColWidth {
    std::uint16_t column;
    std::uint16_t width;
  };
  XlsWorksheet(XlsStringPool& pool, std::uint32_t index);

  XlsStringPool& m_pool;
  std::uint32_t m_index;
  std::uint32_t m_rowCount = 0;
  std::uint32_t m_columnCount = 0;
  // Rows are stored as far as they were written; cells past a row's end are undefined.
  std::vector<std::vector<XlsCell::Data>> m_rows;
  std::vector<ColWidth> m_colWidths;
  std::optional<XlsPageSetup> m_pageSetup;
};

class XlsWorkbook {
 public:
  XlsWorkbook();
  XlsWorkbook(const XlsWorkbook&) = delete;
  XlsWorkbook& operator=(const XlsWorkbook&) = delete;
  virtual ~XlsWorkbook();

  // Resets to one empty sheet "Sheet1" with the default font, formats and styles.
  void New();
  // Appends an empty sheet named "Sheet<n>". Returns it.
  XlsWorksheet& AddWorksheet();
  std::size_t WorksheetCount() const { return m_sheets.size(); }
  // index must be below WorksheetCount().
  XlsWorksheet& GetWorksheet(std::size_t index) { return *m_sheets[index]; }

  // Writes the workbook to path. The file is written beside the target under a
  // temporary name and renamed over it only once complete and flushed to disk, so a
  // failed save leaves any earlier file of that name untouched. A symbolic link is
  // followed to the file it names; a replaced file keeps its permission bits; an
  // existing read-only file is refused. The cause of a failure (folder missing or not
  // writable, disk full, read-only target, no sheet) comes with it.
  Status Save(const std::filesystem::path& path);
  // Save, for callers that need only whether it worked.
  bool SaveAs(const std::filesystem::path& path);
  // Kept for callers that close after saving; SaveAs leaves nothing open.
  void Close();
  const std::filesystem::path& GetPath() const { return m_path; }

 private:
  friend class XlsFormatManager;
  friend struct XlsWorkbookAccess;

  std::filesystem::path m_path;
  std::unique_ptr<YExcel::Workbook> m_globals;
  std::unique_ptr<XlsStringPool> m_pool;
  std::vector<std::unique_ptr<XlsWorksheet>> m_sheets;
};
