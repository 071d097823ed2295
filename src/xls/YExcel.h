#pragma once
// BIFF8 records ([MS-XLS]) and the two kinds of substream the writer assembles.
//
// The "Workbook" stream, in order:
//   globals    BOF, WINDOW1, FONT*, FORMAT* (index 164 and up), XF*, STYLE*, BOUNDSHEET*,
//              [SUPBOOK EXTERNSHEET LBL*] (print titles only),
//              SST (with its CONTINUE records), EOF
//   per sheet  BOF, INDEX,
//              [WSBOOL HCENTER LEFTMARGIN RIGHTMARGIN TOPMARGIN BOTTOMMARGIN SETUP] (page setup only),
//              COLINFO*, DIMENSIONS,
//              row blocks of up to 32 rows: ROW*, cell records (BLANK, LABELSST, RK, MULRK,
//              NUMBER) row by row, DBCELL
//              WINDOW2, MERGEDCELLS* (1027 ranges each), EOF
//
// Each record is a small struct with its fields, DataSize() and WriteData(). The stream is
// written twice by the same code: once into a counting Stream to learn every position
// (sheet BOFs, DBCELLs), then into the buffer, so sizes and positions cannot disagree.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Memory for the writer's large tables. On Linux it asks for transparent huge pages,
// mapped at once: the string table and the stream buffer are touched at random or all at
// once, and 4 KiB page faults and TLB misses dominate their cost.
#include "platform/BigMemory.h"

template <class T>
struct BigAllocator {
  using value_type = T;
  BigAllocator() = default;
  template <class U>
  BigAllocator(const BigAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocateBig(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) { FreeBig(p, n * sizeof(T)); }
  friend bool operator==(const BigAllocator&, const BigAllocator&) { return true; }
};

namespace YExcel {

// [MS-XLS] 2.1.4: at most 8224 data bytes per record; the rest goes to CONTINUE records.
constexpr std::uint32_t kMaxRecordData = 8224;
constexpr std::uint16_t kContinueType = 0x003C;

// Either counts bytes (no buffer) or writes them into a buffer sized by a counting pass.
class Stream {
 public:
  Stream() = default;
  explicit Stream(std::uint8_t* buffer) : m_data(buffer) {}
  bool Counting() const { return m_data == nullptr; }
  std::size_t Position() const { return m_pos; }
  void Skip(std::size_t n) { m_pos += n; }
  void U8(std::uint8_t v) {
    if (m_data != nullptr) m_data[m_pos] = v;
    ++m_pos;
  }
  void U16(std::uint16_t v) {
    if (m_data != nullptr) {
      m_data[m_pos] = static_cast<std::uint8_t>(v);
      m_data[m_pos + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    m_pos += 2;
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void F64(double v);
  void Bytes(const std::uint8_t* p, std::size_t n);
  // UTF-16 units as two bytes each, or as their low byte when compressed.
  void Chars(std::u16string_view s, bool compressed);
  void PatchU16(std::size_t pos, std::uint16_t v) {
    if (m_data == nullptr) return;
    m_data[pos] = static_cast<std::uint8_t>(v);
    m_data[pos + 1] = static_cast<std::uint8_t>(v >> 8);
  }

 private:
  std::uint8_t* m_data = nullptr;
  std::size_t m_pos = 0;
};

// Stream bytes a record of dataSize bytes occupies, CONTINUE headers included.
std::size_t RecordSize(std::size_t dataSize);

// [MS-XLS] 2.1.4: type, length, data; data past 8224 bytes (or past each continue
// position, when given) goes into CONTINUE records.
void WriteRecordData(Stream& out, std::uint16_t type, std::span<const std::uint8_t> data,
                     std::span<const std::uint32_t> continuePositions = {});

// A string as BIFF8 stores it: compressed strings keep only the low byte of each unit
// (so every unit must be below 0x100), the others two bytes per unit.
struct XLString {
  std::u16string_view text;
  bool compressed = false;
  std::size_t CharBytes() const { return compressed ? text.size() : 2 * text.size(); }
};
// Compressed exactly when every unit fits in one byte.
XLString MakeXLString(std::u16string_view text);

template <class R>
void WriteRecord(Stream& out, const R& record) {
  std::size_t n = record.DataSize();
  if (out.Counting()) {
    out.Skip(RecordSize(n));
    return;
  }
  if (n <= kMaxRecordData) {
    out.U16(R::kType);
    out.U16(static_cast<std::uint16_t>(n));
    record.WriteData(out);
    return;
  }
  std::vector<std::uint8_t> data(n);
  Stream scratch(data.data());
  record.WriteData(scratch);
  WriteRecordData(out, R::kType, data);
}

// [MS-XLS] 2.4.21
struct BOF {
  static constexpr std::uint16_t kType = 0x0809;
  static constexpr std::uint16_t kGlobals = 0x0005;
  static constexpr std::uint16_t kWorksheet = 0x0010;
  std::uint16_t version = 0x0600;
  std::uint16_t substreamType = kGlobals;
  std::uint16_t build = 0x19A0;
  std::uint16_t year = 0x07CD;
  std::uint32_t historyFlags = 0x0000C0C9;
  std::uint32_t lowestVersion = 0x00000306;
  std::size_t DataSize() const { return 16; }
  void WriteData(Stream& out) const;
};

// [MS-XLS] 2.4.103
struct YEOF {
  static constexpr std::uint16_t kType = 0x000A;
  std::size_t DataSize() const { return 0; }
  void WriteData(Stream&) const {}
};

// The globals substream's record set.
struct Workbook {
  // [MS-XLS] 2.4.345
  struct Window1 {
    static constexpr std::uint16_t kType = 0x003D;
    std::uint16_t x = 0x0078;
    std::uint16_t y = 0x0078;
    std::uint16_t width = 0x3B1F;
    std::uint16_t height = 0x2454;
    std::uint16_t options = 0x0038;
    std::uint16_t activeSheet = 0;
    std::uint16_t firstVisibleTab = 0;
    std::uint16_t selectedSheets = 1;
    std::uint16_t tabBarWidth = 0x0258;
    std::size_t DataSize() const { return 18; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.122; the name is a ShortXLUnicodeString, always 16-bit here.
  struct Font {
    static constexpr std::uint16_t kType = 0x0031;
    std::uint16_t height = 200;  // 1/20 point
    std::uint16_t options = 0;
    std::uint16_t colourIndex = 0x7FFF;
    std::uint16_t weight = 400;
    std::uint16_t escapement = 0;
    std::uint8_t underline = 0;
    std::uint8_t family = 0;
    std::uint8_t charSet = 0;
    std::u16string name = u"Arial";  // at most 255 units
    std::size_t DataSize() const { return 16 + 2 * name.size(); }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.126; only custom formats (index 164 and up) are written.
  struct Format {
    static constexpr std::uint16_t kType = 0x041E;
    std::uint16_t index = 0;
    std::u16string format;
    std::size_t DataSize() const { return 5 + 2 * format.size(); }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.353
  struct XF {
    static constexpr std::uint16_t kType = 0x00E0;
    std::uint16_t fontIndex = 0;
    std::uint16_t formatIndex = 0;
    std::uint16_t typeAndProtection = 0xFFF5;  // style XF, locked, no parent
    std::uint8_t alignment = 0x20;             // bottom
    std::uint8_t rotation = 0;
    std::uint8_t textProperties = 0;
    std::uint8_t usedAttributes = 0;
    std::uint32_t borderLines = 0;
    std::uint32_t colourWord1 = 0;
    std::uint16_t colourWord2 = 0x20C0;  // pattern colour 64, background 65
    std::size_t DataSize() const { return 20; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.269, built-in style only.
  struct Style {
    static constexpr std::uint16_t kType = 0x0293;
    std::uint16_t xfIndex = 0x8000;  // built-in, XF 0
    std::uint8_t builtInId = 0;      // Normal
    std::uint8_t outlineLevel = 0xFF;
    std::size_t DataSize() const { return 4; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.28; the name is a ShortXLUnicodeString, compressed when it can be.
  struct BoundSheet {
    static constexpr std::uint16_t kType = 0x0085;
    std::uint32_t position = 0;  // stream position of the sheet's BOF
    std::uint8_t visibility = 0;
    std::uint8_t sheetType = 0;
    std::u16string name = u"Sheet1";
    std::size_t DataSize() const { return 8 + MakeXLString(name).CharBytes(); }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.265. The strings are views; whoever fills the table keeps their text
  // alive until it is written.
  struct SharedStringTable {
    static constexpr std::uint16_t kType = 0x00FC;
    std::uint32_t totalCount = 0;  // text cells referring to the table
    std::vector<XLString, BigAllocator<XLString>> strings;
    std::size_t RecordSize() const;
  };

  // [MS-XLS] 2.4.271, the self-referencing kind: the link that 3-D references to this
  // workbook's own sheets go through.
  struct SupBook {
    static constexpr std::uint16_t kType = 0x01AE;
    static constexpr std::uint16_t kSelf = 0x0401;
    std::uint16_t sheetCount = 1;  // ignored by readers for a self reference
    std::uint16_t cch = kSelf;
    std::size_t DataSize() const { return 4; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.106; each XTI names a range of sheets through one SUPBOOK.
  struct ExternSheet {
    static constexpr std::uint16_t kType = 0x0017;
    struct XTI {
      std::uint16_t supBook = 0;
      std::uint16_t firstSheet = 0;
      std::uint16_t lastSheet = 0;
    };
    std::vector<XTI> refs;
    std::size_t DataSize() const { return 2 + 6 * refs.size(); }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.150, a built-in name whose formula is one PtgArea3d (2.5.198.28), which
  // is all Print_Titles needs for a band of rows.
  struct Lbl {
    static constexpr std::uint16_t kType = 0x0018;
    static constexpr std::uint16_t kBuiltIn = 0x0020;  // fBuiltin
    static constexpr std::uint8_t kPrintTitles = 0x07;
    std::uint16_t options = kBuiltIn;
    std::uint8_t builtInName = kPrintTitles;
    std::uint16_t sheet = 0;  // itab: the sheet's index + 1; 0 would make it global
    std::uint16_t externSheet = 0;  // ixti, an index into EXTERNSHEET's XTIs
    std::uint16_t firstRow = 0, lastRow = 0;
    std::uint16_t firstColumn = 0, lastColumn = 0xFF;  // absolute references
    std::size_t DataSize() const { return 16 + 11; }
    void WriteData(Stream& out) const;
  };

  BOF bof;
  Window1 window1;
  std::vector<Font> fonts;
  std::vector<XF> xfs;
  std::vector<Style> styles;
  std::vector<Format> formats;
  std::vector<BoundSheet> boundSheets;
  // Only when a sheet has print titles; the names refer to their sheets through them.
  std::optional<SupBook> supBook;
  std::optional<ExternSheet> externSheet;
  std::vector<Lbl> names;
  SharedStringTable sst;
};

// SST and its CONTINUE records; a string's header never splits, and every continuation
// of a string's characters starts with its option byte ([MS-XLS] 2.4.265, 2.5.293).
void WriteSharedStringTable(Stream& out, const Workbook::SharedStringTable& sst);
// The globals substream in stream order.
void WriteWorkbook(Stream& out, const Workbook& globals);

inline BOF WorksheetBOF() {
  BOF bof;
  bof.substreamType = BOF::kWorksheet;
  return bof;
}

// One sheet's record set. The cell records are not kept: the sheet's rows are asked for
// them block by block while writing, which keeps memory to the size of the output.
struct Worksheet {
  // [MS-XLS] 2.4.144
  struct Index {
    static constexpr std::uint16_t kType = 0x020B;
    std::uint32_t firstRow = 0;
    std::uint32_t lastRowPlusOne = 0;
    std::vector<std::uint32_t> dbCellPositions;
    std::size_t DataSize() const { return 16 + 4 * dbCellPositions.size(); }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.351
  struct WsBool {
    static constexpr std::uint16_t kType = 0x0081;
    static constexpr std::uint16_t kFitToPage = 0x0100;
    // Automatic page breaks shown, outline summaries below and right, outline symbols.
    std::uint16_t options = 0x04C1;
    std::size_t DataSize() const { return 2; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.135
  struct HCenter {
    static constexpr std::uint16_t kType = 0x0083;
    std::uint16_t centred = 0;
    std::size_t DataSize() const { return 2; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.151 LeftMargin, 2.4.219 RightMargin, 2.4.328 TopMargin and 2.4.25
  // BottomMargin: one Xnum each, in inches.
  template <std::uint16_t Type>
  struct Margin {
    static constexpr std::uint16_t kType = Type;
    double inches = 0.0;
    std::size_t DataSize() const { return 8; }
    void WriteData(Stream& out) const { out.F64(inches); }
  };
  using LeftMargin = Margin<0x0026>;
  using RightMargin = Margin<0x0027>;
  using TopMargin = Margin<0x0028>;
  using BottomMargin = Margin<0x0029>;

  // [MS-XLS] 2.4.257. fNoPls stays 0 so that readers take the paper size and the
  // orientation from here.
  struct Setup {
    static constexpr std::uint16_t kType = 0x00A1;
    static constexpr std::uint16_t kPortrait = 0x0002;  // fPortrait
    static constexpr std::uint16_t kA4 = 9;
    std::uint16_t paperSize = kA4;
    std::uint16_t scale = 100;  // percent, when not fitted to pages
    std::uint16_t pageStart = 1;
    std::uint16_t fitWidth = 1;   // pages across; 0 as many as needed
    std::uint16_t fitHeight = 1;  // pages down; 0 as many as needed
    std::uint16_t options = kPortrait;
    std::uint16_t resolution = 600;  // dpi
    std::uint16_t verticalResolution = 600;
    double headerMargin = 0.5;  // inches
    double footerMargin = 0.5;
    std::uint16_t copies = 1;
    std::size_t DataSize() const { return 34; }
    void WriteData(Stream& out) const;
  };

  // The records of a sheet's page setup, written together between INDEX and COLINFO.
  struct PageSetup {
    WsBool wsBool;
    HCenter hCenter;
    LeftMargin leftMargin;
    RightMargin rightMargin;
    TopMargin topMargin;
    BottomMargin bottomMargin;
    Setup setup;
  };

  // [MS-XLS] 2.4.53
  struct ColInfo {
    static constexpr std::uint16_t kType = 0x007D;
    std::uint16_t firstColumn = 0;
    std::uint16_t lastColumn = 255;
    std::uint16_t width = 0x0A00;  // 1/256 of a character width
    std::uint16_t xfIndex = 0;
    std::uint16_t options = 0;
    std::size_t DataSize() const { return 12; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.90
  struct Dimensions {
    static constexpr std::uint16_t kType = 0x0200;
    std::uint32_t firstRow = 0;
    std::uint32_t lastRowPlusOne = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t lastColumnPlusOne = 0;
    std::size_t DataSize() const { return 14; }
    void WriteData(Stream& out) const;
  };

  struct CellTable {
    struct RowBlock {
      static constexpr std::uint32_t kRows = 32;

      // [MS-XLS] 2.4.221
      struct Row {
        static constexpr std::uint16_t kType = 0x0208;
        std::uint16_t row = 0;
        std::uint16_t firstColumn = 0;
        std::uint16_t lastColumnPlusOne = 0;
        std::uint16_t height = 0x00FF;
        std::uint32_t options = 0x00000100;
        std::size_t DataSize() const { return 16; }
        void WriteData(Stream& out) const;
      };

      struct CellBlock {
        // [MS-XLS] 2.4.20
        struct Blank {
          static constexpr std::uint16_t kType = 0x0201;
          std::uint16_t row = 0, column = 0, xfIndex = 0;
          std::size_t DataSize() const { return 6; }
          void WriteData(Stream& out) const;
        };
        // [MS-XLS] 2.4.149
        struct LabelSST {
          static constexpr std::uint16_t kType = 0x00FD;
          std::uint16_t row = 0, column = 0, xfIndex = 0;
          std::uint32_t sstIndex = 0;
          std::size_t DataSize() const { return 10; }
          void WriteData(Stream& out) const;
        };
        // [MS-XLS] 2.4.220
        struct RK {
          static constexpr std::uint16_t kType = 0x027E;
          std::uint16_t row = 0, column = 0, xfIndex = 0;
          std::uint32_t rk = 0;
          std::size_t DataSize() const { return 10; }
          void WriteData(Stream& out) const;
        };
        // [MS-XLS] 2.4.175
        struct MulRK {
          static constexpr std::uint16_t kType = 0x00BD;
          struct Cell {
            std::uint16_t xfIndex = 0;
            std::uint32_t rk = 0;
          };
          std::uint16_t row = 0, firstColumn = 0;
          std::vector<Cell> cells;  // two or more
          std::size_t DataSize() const { return 6 + 6 * cells.size(); }
          void WriteData(Stream& out) const;
        };
        // [MS-XLS] 2.4.180
        struct Number {
          static constexpr std::uint16_t kType = 0x0203;
          std::uint16_t row = 0, column = 0, xfIndex = 0;
          double value = 0.0;
          std::size_t DataSize() const { return 14; }
          void WriteData(Stream& out) const;
        };
        using Record = std::variant<Blank, LabelSST, RK, MulRK, Number>;
      };

      // [MS-XLS] 2.4.78
      struct DBCell {
        static constexpr std::uint16_t kType = 0x00D7;
        std::uint32_t firstRowOffset = 0;  // back from this record to the block's first ROW
        std::vector<std::uint16_t> cellOffsets;
        std::size_t DataSize() const { return 4 + 2 * cellOffsets.size(); }
        void WriteData(Stream& out) const;
      };
    };

    // Hands out one row's cell records, in column order.
    class Source {
     public:
      virtual ~Source() = default;
      virtual void RowCells(std::uint32_t row,
                            std::vector<RowBlock::CellBlock::Record>& out) const = 0;
    };

    std::uint32_t rowCount = 0;
    std::uint16_t columnCount = 0;
    const Source* source = nullptr;
  };

  // [MS-XLS] 2.4.346
  struct Window2 {
    static constexpr std::uint16_t kType = 0x023E;
    static constexpr std::uint16_t kSelected = 0x0200;
    std::uint16_t options = 0x06B6;
    std::uint16_t firstRow = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t gridColour = 64;
    std::uint16_t pageBreakZoom = 0;
    std::uint16_t normalZoom = 0;
    std::size_t DataSize() const { return 18; }
    void WriteData(Stream& out) const;
  };

  // [MS-XLS] 2.4.168, one Ref8 per range.
  struct MergedCells {
    static constexpr std::uint16_t kType = 0x00E5;
    static constexpr std::size_t kMaxRanges = 1027;
    struct MergedCell {
      std::uint16_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    };
    std::vector<MergedCell> ranges;
  };

  BOF bof = WorksheetBOF();
  Index index;
  std::optional<PageSetup> pageSetup;  // none: the readers' defaults
  std::vector<ColInfo> colInfos;
  Dimensions dimensions;
  CellTable cellTable;
  Window2 window2;
  MergedCells mergedCells;
};

using Row = Worksheet::CellTable::RowBlock::Row;
using DBCell = Worksheet::CellTable::RowBlock::DBCell;
using CellRecord = Worksheet::CellTable::RowBlock::CellBlock::Record;
using Blank = Worksheet::CellTable::RowBlock::CellBlock::Blank;
using LabelSST = Worksheet::CellTable::RowBlock::CellBlock::LabelSST;
using RK = Worksheet::CellTable::RowBlock::CellBlock::RK;
using MulRK = Worksheet::CellTable::RowBlock::CellBlock::MulRK;
using Number = Worksheet::CellTable::RowBlock::CellBlock::Number;

std::size_t CellRecordSize(const CellRecord& record);
void WriteCellRecord(Stream& out, const CellRecord& record);
// [MS-XLS] 2.1.7.20.6: WsBool closes the sheet's GLOBALS, the rest is PAGESETUP.
void WritePageSetup(Stream& out, const Worksheet::PageSetup& setup);
// MERGEDCELLS records of up to 1027 ranges each; nothing for no ranges.
void WriteMergedCells(Stream& out, const Worksheet::MergedCells& merged);
// Row blocks; fills dbCellPositions with each block's DBCELL stream position.
void WriteCellTable(Stream& out, const Worksheet::CellTable& table,
                    std::vector<std::uint32_t>& dbCellPositions);
// One sheet's substream in stream order; dbCellPositions as above.
void WriteWorksheet(Stream& out, const Worksheet& sheet,
                    std::vector<std::uint32_t>& dbCellPositions);

// [MS-XLS] 2.5.217: the RK form of a value, when one represents it exactly.
bool EncodeRK(double value, std::uint32_t& rk);
bool EncodeRK(std::int32_t value, std::uint32_t& rk);

}  // namespace YExcel
