// The workbook model: grid rules, format indices, the record stream it assembles, safe
// saving, and read-back of saved files by xlrd and LibreOffice.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>

#include "XlsTestSupport.h"
#include "text/Cp1254.h"
#include "xls/XlsFormatManager.h"
#include "xls/XlsInternal.h"
#include "xls/XlsWorkbook.h"
#include "support/Portable.h"

using namespace xlstest;

namespace {

std::u16string Digits(std::uint32_t n) {
  std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::string Quoted(std::u16string_view s) { return "\"" + text::Utf16ToUtf8(s) + "\""; }

std::vector<std::uint8_t> StreamOf(XlsWorkbook& book) {
  auto stream = XlsWorkbookAccess::BuildStream(book);
  return {stream.data(), stream.data() + stream.size()};
}

std::vector<RecordRef> OfType(const std::vector<RecordRef>& all, std::uint16_t type) {
  std::vector<RecordRef> out;
  for (const auto& r : all) {
    if (r.type == type) out.push_back(r);
  }
  return out;
}

std::vector<std::string> FileNames(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(XlsWorksheet, GridGrowsToTheCellsAskedFor) {
  struct Step {
    const char* name;
    std::uint32_t row, column;
    bool valid;
    std::uint32_t rows, columns;  // counts afterwards
  } steps[] = {
      {"(0, 11) on an empty sheet", 0, 11, true, 1, 12},
      {"(5, 0) keeps the width", 5, 0, true, 6, 12},
      {"row 65536 is outside", 65536, 0, false, 6, 12},
      {"column 256 is outside", 0, 256, false, 6, 12},
      {"the last cell", 65535, 255, true, 65536, 256},
  };
  XlsWorkbook book;
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  for (const Step& s : steps) {
    XlsCell cell = sheet.Cell(s.row, s.column);
    EXPECT_EQ(s.valid, static_cast<bool>(cell)) << s.name;
    EXPECT_EQ(s.rows, sheet.RowCount()) << s.name;
    EXPECT_EQ(s.columns, sheet.ColumnCount()) << s.name;
  }
  XlsCell none = sheet.Cell(70000, 0);
  EXPECT_FALSE(none.SetText(u"x"));
  EXPECT_EQ(XlsCell::Kind::Undefined, none.GetKind());
}

TEST(XlsCell, ValuesAndLimits) {
  XlsWorkbook book;
  book.New();
  XlsCell cell = book.GetWorksheet(0).Cell(2, 3);
  cell.SetXFIndex(22);
  EXPECT_TRUE(cell.SetText(u"İŞĞı"));
  EXPECT_EQ(u"İŞĞı", cell.GetText());
  EXPECT_TRUE(cell.SetText(std::u16string(XlsCell::kMaxTextLength, u'a')));
  EXPECT_FALSE(cell.SetText(std::u16string(XlsCell::kMaxTextLength + 1, u'b')));
  EXPECT_EQ(XlsCell::kMaxTextLength, cell.GetText().size());  // unchanged
  EXPECT_TRUE(cell.SetText(u""));
  EXPECT_EQ(XlsCell::Kind::Undefined, cell.GetKind());
  EXPECT_EQ(22, cell.GetXFIndex());
  EXPECT_FALSE(cell.SetReal(std::nan("")));
  EXPECT_FALSE(cell.SetReal(HUGE_VAL));
  EXPECT_TRUE(cell.SetReal(2.5));
  EXPECT_EQ(2.5, cell.GetReal());
  EXPECT_TRUE(cell.SetInteger(-7));
  EXPECT_EQ(-7, cell.GetInteger());
  EXPECT_EQ(u"", cell.GetText());
}

TEST(XlsFormatManager, FontIndicesSkipFour) {
  XlsWorkbook book;
  book.New();
  XlsFormatManager formats(book);
  auto font = [](std::uint16_t height) {
    XlsFont f;
    f.height = height;
    return f;
  };
  struct Case {
    const char* name;
    XlsFont font;
    std::uint16_t index;
  } cases[] = {
      {"the default font", font(200), 0}, {"6 pt", font(120), 1},  {"8 pt", font(160), 2},
      {"6 pt again", font(120), 1},       {"third new", font(180), 3}, {"fourth new", font(220), 5},
      {"fifth new", font(240), 6},        {"fourth again", font(220), 5},
  };
  for (const Case& c : cases) EXPECT_EQ(c.index, formats.GetFontIndex(c.font)) << c.name;
  EXPECT_EQ(6u, XlsWorkbookAccess::Globals(book).fonts.size());
  XlsFont bold = font(200);
  bold.weight = 700;
  EXPECT_EQ(7, formats.GetFontIndex(bold));
  XlsFont otherName = font(200);
  otherName.name = u"arial";  // names compare case-sensitively
  EXPECT_EQ(8, formats.GetFontIndex(otherName));
}

TEST(XlsFormatManager, XFIndicesOfTheFormFormats) {
  XlsWorkbook book;
  book.New();
  XlsFormatManager formats(book);
  XlsCellFormat normal(formats);  // the default style's fields
  EXPECT_EQ(0, normal.GetXFIndex());
  std::uint16_t fonts[3];
  std::uint16_t heights[3] = {120, 160, 200};
  for (int i = 0; i < 3; ++i) {
    XlsFont f;
    f.height = heights[i];
    fonts[i] = formats.GetFontIndex(f);
  }
  std::vector<XlsCellFormat> form(3, XlsCellFormat(formats));
  for (int i = 0; i < 3; ++i) {
    form[i].SetFontIndex(fonts[i]);
    form[i].SetAlignment(0x28);
  }
  // A new workbook has XFs 0 to 20; appended ones follow in the order first resolved.
  EXPECT_EQ(21, form[1].GetXFIndex());
  EXPECT_EQ(22, form[0].GetXFIndex());
  EXPECT_EQ(23, form[2].GetXFIndex());
  EXPECT_EQ(21, form[1].GetXFIndex());
  std::size_t count = XlsWorkbookAccess::Globals(book).xfs.size();
  XlsCellFormat again(formats);
  again.SetFontIndex(fonts[1]);
  again.SetAlignment(0x28);
  EXPECT_EQ(21, again.GetXFIndex());
  EXPECT_EQ(count, XlsWorkbookAccess::Globals(book).xfs.size());
  again.SetAlignment(0x20);  // a setter forgets the cached index
  EXPECT_EQ(24, again.GetXFIndex());
  EXPECT_EQ(u"General", formats.FormatString(0));
  EXPECT_EQ(u"@", formats.FormatString(49));
  EXPECT_EQ(u"", formats.FormatString(30));
}

}  // namespace

namespace {

struct Parsed {
  std::vector<std::uint8_t> stream;
  std::vector<RecordRef> records;
};

Parsed Build(XlsWorkbook& book) {
  Parsed p;
  p.stream = StreamOf(book);
  p.records = Records(p.stream);
  return p;
}

TEST(XlsWorkbookStream, GlobalsInOrderAndSheetPositions) {
  XlsWorkbook book;
  book.New();
  book.AddWorksheet().Cell(0, 0).SetText(u"second");
  book.GetWorksheet(0).Cell(0, 0).SetText(u"first");
  Parsed p = Build(book);
  std::vector<std::uint16_t> types;
  for (const auto& r : p.records) types.push_back(r.type);
  std::vector<std::uint16_t> globals = {0x0809, 0x003D, 0x0031};
  globals.insert(globals.end(), 21, 0x00E0);
  globals.insert(globals.end(), 6, 0x0293);
  globals.insert(globals.end(), {0x0085, 0x0085, 0x00FC, 0x000A});
  ASSERT_GE(types.size(), globals.size());
  EXPECT_EQ(globals, std::vector<std::uint16_t>(types.begin(), types.begin() + globals.size()));
  auto bofs = OfType(p.records, 0x0809);
  auto bounds = OfType(p.records, 0x0085);
  ASSERT_EQ(3u, bofs.size());
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(bofs[i + 1].offset, U32(p.stream, bounds[i].offset + 4));
    EXPECT_EQ(0x0010, U16(p.stream, bofs[i + 1].offset + 6));
  }
  auto windows = OfType(p.records, 0x023E);
  ASSERT_EQ(2u, windows.size());
  EXPECT_EQ(0x06B6, U16(p.stream, windows[0].offset + 4));
  EXPECT_EQ(0x04B6, U16(p.stream, windows[1].offset + 4));  // second sheet not selected
  EXPECT_EQ(p.stream.size(), p.records.back().offset + 4);
}

// Rows in blocks of 32, each closed by a DBCELL; INDEX lists the DBCELLs' positions.
TEST(XlsWorkbookStream, RowBlocksIndexAndDbCells) {
  struct Case {
    std::uint32_t rows;
    std::size_t blocks;
  } cases[] = {{1, 1}, {32, 1}, {33, 2}, {65, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    XlsWorkbook book;
    book.New();
    XlsWorksheet& sheet = book.GetWorksheet(0);
    for (std::uint32_t r = 0; r < c.rows; ++r) {
      sheet.Cell(r, 0).SetText(u"t" + std::u16string(r % 5, u'x'));
      if (r % 3 == 0) sheet.Cell(r, 2).SetInteger(static_cast<std::int32_t>(r));
    }
    Parsed p = Build(book);
    auto index = OfType(p.records, 0x020B);
    auto dbcells = OfType(p.records, 0x00D7);
    auto rows = OfType(p.records, 0x0208);
    ASSERT_EQ(1u, index.size());
    ASSERT_EQ(c.blocks, dbcells.size());
    ASSERT_EQ(c.rows, rows.size());
    EXPECT_EQ(16 + 4 * c.blocks, index[0].length);
    EXPECT_EQ(0u, U32(p.stream, index[0].offset + 8));
    EXPECT_EQ(c.rows, U32(p.stream, index[0].offset + 12));
    for (std::size_t b = 0; b < c.blocks; ++b) {
      EXPECT_EQ(dbcells[b].offset, U32(p.stream, index[0].offset + 20 + 4 * b));
      const RecordRef& firstRow = rows[32 * b];
      std::size_t rowsInBlock = std::min<std::size_t>(32, c.rows - 32 * b);
      EXPECT_EQ(dbcells[b].offset - firstRow.offset, U32(p.stream, dbcells[b].offset + 4));
      EXPECT_EQ(4 + 2 * rowsInBlock, dbcells[b].length);
      // First offset: from the end of the first ROW to the first cell; then row to row.
      std::size_t expected = firstRow.offset + 20 + U16(p.stream, dbcells[b].offset + 8);
      for (std::size_t i = 0; i < rowsInBlock; ++i) {
        if (i > 0) expected += U16(p.stream, dbcells[b].offset + 8 + 2 * i);
        std::uint16_t type = U16(p.stream, expected);
        EXPECT_TRUE(type == 0x00FD || type == 0x0201) << "row " << 32 * b + i;
        EXPECT_EQ(32 * b + i, U16(p.stream, expected + 4));  // the cell's row
      }
    }
  }
}

TEST(XlsWorkbookStream, CellRecords) {
  XlsWorkbook book;
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  sheet.Cell(0, 0).SetText(u"same");
  sheet.Cell(0, 1).SetText(u"same");
  sheet.Cell(0, 2).SetText(u"gone");
  sheet.Cell(0, 2).SetXFIndex(21);
  sheet.Cell(0, 2).SetText(u"");  // back to BLANK, format kept
  sheet.Cell(0, 3).SetMergedRows(2);
  sheet.Cell(1, 0).SetInteger(1);
  sheet.Cell(1, 1).SetReal(1.25);
  sheet.Cell(1, 2).SetReal(3.14159);
  sheet.Cell(1, 3).SetInteger(5);
  sheet.Cell(2, 0).SetInteger(2147483647);
  sheet.Cell(2, 1).SetInteger(9);
  // Spans are cut at the sheet's edges instead of wrapping around 16 bits.
  sheet.Cell(2, 250).SetMergedColumns(9);
  book.AddWorksheet().Cell(65535, 0).SetMergedRows(4);
  Parsed p = Build(book);

  auto sst = OfType(p.records, 0x00FC);
  ASSERT_EQ(1u, sst.size());
  EXPECT_EQ(2u, U32(p.stream, sst[0].offset + 4));  // two text cells
  EXPECT_EQ(1u, U32(p.stream, sst[0].offset + 8));  // one unique text; "gone" is not written
  auto dims = OfType(p.records, 0x0200);
  EXPECT_EQ("00 02 0E 00 00 00 00 00 03 00 00 00 00 00 FB 00 00 00",
            Hex({p.stream.begin() + dims[0].offset, p.stream.begin() + dims[0].offset + 18}));

  // Row by row, the records that follow the ROWs of the first block.
  std::vector<std::string> cells;
  for (const auto& r : p.records) {
    if (r.type == 0x0208 || r.type == 0x00D7) continue;
    if (r.type != 0x00FD && r.type != 0x0201 && r.type != 0x027E && r.type != 0x00BD && r.type != 0x0203) continue;
    std::uint16_t row = U16(p.stream, r.offset + 4);
    std::uint16_t column = U16(p.stream, r.offset + 6);
    if (row > 2 || column > 3) continue;
    cells.push_back(Hex({p.stream.begin() + r.offset, p.stream.begin() + r.offset + 4 + r.length}));
  }
  std::vector<std::string> expected = {
      "FD 00 0A 00 00 00 00 00 00 00 00 00 00 00",  // LABELSST "same"
      "FD 00 0A 00 00 00 01 00 00 00 00 00 00 00",
      "01 02 06 00 00 00 02 00 15 00",  // BLANK keeps XF 21
      "01 02 06 00 00 00 03 00 00 00",
      // RK 1 and RK 1.25 (an integer and a real never share a MULRK), NUMBER pi-ish, RK 5
      "7E 02 0A 00 01 00 00 00 00 00 06 00 00 00",
      "7E 02 0A 00 01 00 01 00 00 00 00 00 F4 3F",
      "03 02 0E 00 01 00 02 00 00 00 6E 86 1B F0 F9 21 09 40",
      "7E 02 0A 00 01 00 03 00 00 00 16 00 00 00",
      // 2^31 - 1 has no RK form: NUMBER, then RK 9
      "03 02 0E 00 02 00 00 00 00 00 00 00 C0 FF FF FF DF 41",
      "7E 02 0A 00 02 00 01 00 00 00 26 00 00 00",
  };
  ASSERT_GE(cells.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], cells.at(i)) << i;

  auto merged = OfType(p.records, 0x00E5);
  ASSERT_EQ(2u, merged.size());
  EXPECT_EQ("E5 00 12 00 02 00 00 00 01 00 03 00 03 00 02 00 02 00 FA 00 FF 00",
            Hex({p.stream.begin() + merged[0].offset, p.stream.begin() + merged[0].offset + 22}));
  EXPECT_EQ("E5 00 0A 00 01 00 FF FF FF FF 00 00 00 00",
            Hex({p.stream.begin() + merged[1].offset, p.stream.begin() + merged[1].offset + 14}));
}

// A run of RK numbers becomes one MULRK only while the kind stays the same; a real
// becomes RK only with at most two decimals.
TEST(XlsWorkbookStream, NumberCellsRunByKind) {
  XlsWorkbook book;
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  sheet.Cell(0, 0).SetInteger(7);
  sheet.Cell(0, 1).SetInteger(8);
  sheet.Cell(0, 2).SetReal(0.5);
  sheet.Cell(0, 3).SetReal(0.75);
  sheet.Cell(0, 4).SetReal(0.125);
  sheet.Cell(0, 5).SetReal(2.0);
  Parsed p = Build(book);
  std::vector<std::string> cells;
  for (const auto& r : p.records) {
    if (r.type == 0x027E || r.type == 0x00BD || r.type == 0x0203) {
      cells.push_back(Hex({p.stream.begin() + r.offset, p.stream.begin() + r.offset + 4 + r.length}));
    }
  }
  std::vector<std::string> expected = {
      "BD 00 12 00 00 00 00 00 00 00 1E 00 00 00 00 00 22 00 00 00 01 00",  // 7, 8
      "BD 00 12 00 00 00 02 00 00 00 00 00 E0 3F 00 00 00 00 E8 3F 03 00",  // 0.5, 0.75
      "03 02 0E 00 00 00 04 00 00 00 00 00 00 00 00 00 C0 3F",              // 0.125
      "7E 02 0A 00 00 00 05 00 00 00 0A 00 00 00",                          // 2.0
  };
  EXPECT_EQ(expected, cells);
}

// Equal texts share the entry of their first cell in write order (sheet by sheet, row by
// row), also when their copies lie in different blocks of the text store; replaced texts
// are not written, and saving again gives the same bytes.
TEST(XlsWorkbookStream, SharedStringIndicesFollowWriteOrder) {
  XlsWorkbook book;
  book.New();
  XlsWorksheet& first = book.GetWorksheet(0);
  XlsWorksheet& second = book.AddWorksheet();
  std::vector<std::u16string> texts = {u"b", u"a", u"b", u"", u"1", u"a", u"c"};
  for (int i = 0; i < 40; ++i) texts.push_back(std::u16string(30000, static_cast<char16_t>(u'A' + i % 7)));
  std::vector<std::uint32_t> expected;  // entry per text cell, in write order
  std::vector<std::u16string> entries;
  for (std::uint32_t i = 0; i < texts.size(); ++i) {
    XlsWorksheet& sheet = i < texts.size() / 2 ? first : second;
    std::uint32_t row = i % 2 == 0 ? i : i - 1;  // two texts a row
    ASSERT_TRUE(sheet.Cell(row, i % 2).SetText(u"replaced " + Digits(i)));
    ASSERT_TRUE(sheet.Cell(row, i % 2).SetText(texts[i]));
    EXPECT_EQ(texts[i], sheet.Cell(row, i % 2).GetText());
    if (texts[i].empty()) continue;
    auto at = std::find(entries.begin(), entries.end(), texts[i]);
    expected.push_back(static_cast<std::uint32_t>(at - entries.begin()));
    if (at == entries.end()) entries.push_back(texts[i]);
  }
  std::vector<std::uint8_t> stream = StreamOf(book);
  std::vector<std::uint32_t> indices;
  for (const auto& r : OfType(Records(stream), 0x00FD)) indices.push_back(U32(stream, r.offset + 10));
  EXPECT_EQ(expected, indices);
  auto sst = OfType(Records(stream), 0x00FC);
  ASSERT_EQ(1u, sst.size());
  EXPECT_EQ(expected.size(), U32(stream, sst[0].offset + 4));
  EXPECT_EQ(entries.size(), U32(stream, sst[0].offset + 8));
  EXPECT_EQ(stream, StreamOf(book));
}

TEST(XlsWorkbookStream, EmptySheet) {
  XlsWorkbook book;
  book.New();
  Parsed p = Build(book);
  auto index = OfType(p.records, 0x020B);
  ASSERT_EQ(1u, index.size());
  EXPECT_EQ(16, index[0].length);  // no row block, so no DBCELL to point at
  EXPECT_TRUE(OfType(p.records, 0x00D7).empty());
  EXPECT_TRUE(OfType(p.records, 0x00E5).empty());
  auto sst = OfType(p.records, 0x00FC);
  EXPECT_EQ(8, sst[0].length);
}

}  // namespace

namespace {

void FillRows(XlsWorkbook& book, int rows) {
  book.New();
  for (int r = 0; r < rows; ++r) {
    book.GetWorksheet(0).Cell(static_cast<std::uint32_t>(r), 0).SetText(u"row " + std::u16string(r % 50, u'ş'));
  }
}

TEST(XlsWorkbookSave, ReplacesOnlyWhenComplete) {
  TempDir dir;
  XlsWorkbook book;
  FillRows(book, 10);
  auto target = dir / "form.xls";
  ASSERT_TRUE(book.SaveAs(target));
  EXPECT_EQ(target, book.GetPath());
  auto first = ReadFile(target);
  book.Close();

  struct Case {
    const char* name;
    std::filesystem::path path;
  } failures[] = {{"missing folder", dir / "missing" / "x.xls"},
                  {"a folder of that name", dir.Path()},
                  {"no file name", dir / "sub" / ""}};
  std::filesystem::create_directory(dir / "sub");
  for (const Case& c : failures) EXPECT_FALSE(book.SaveAs(c.path)) << c.name;
  EXPECT_EQ((std::vector<std::string>{"form.xls", "sub"}), FileNames(dir.Path()));

  FillRows(book, 20);
  ASSERT_TRUE(book.SaveAs(target));
  EXPECT_NE(first, ReadFile(target));
  EXPECT_EQ((std::vector<std::string>{"form.xls", "sub"}), FileNames(dir.Path()));
}

// A disk that fills up during the save (a file size limit here) must give false and
// leave the earlier file as it was, with no temporary file left behind.
TEST(XlsWorkbookSave, FailedWriteKeepsTheEarlierFile) {
  VELMIRA_SKIP_ON_WINDOWS("needs fork and a file size limit (setrlimit) to fill the disk");
  TempDir dir;
  auto target = dir / "form.xls";
  XlsWorkbook small;
  FillRows(small, 5);
  ASSERT_TRUE(small.SaveAs(target));
  auto before = ReadFile(target);

#ifndef _WIN32
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    XlsWorkbook big;
    FillRows(big, 20000);
    _exit(big.SaveAs(target) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the save reported success";
  EXPECT_EQ(before, ReadFile(target));
  EXPECT_EQ((std::vector<std::string>{"form.xls"}), FileNames(dir.Path()));
#endif
}

}  // namespace

namespace {

// The detail form's header: two merged header rows in three fonts, with Turkish text.
struct HeaderCell {
  std::uint32_t row, column;
  std::u16string text;
  int font;  // 0 small, 1 medium, 2 large
  std::uint16_t rows, columns;
};

const std::vector<HeaderCell>& FormHeader() {
  static const std::vector<HeaderCell> header = {
      {0, 0, u"NOKTA NO", 1, 2, 1},
      {0, 1, u"OKUMA ZAMANI(UTC)", 1, 2, 1},
      {0, 2, u"EPOK SAYISI", 1, 2, 1},
      {0, 3, u"VERİ TOPLAMA ARALIĞI (sn)", 0, 2, 1},
      {0, 4, u"UYDU SAYISI (GPS/GLO)", 0, 2, 1},
      {0, 5, u"RMS (m)", 2, 2, 1},
      {0, 6, u"PDOP", 2, 2, 1},
      {0, 7, u"TAMSAYI BELİRSİZLİK ÇÖZÜM DURUMU", 0, 2, 1},
      {0, 8, u"Mountpoint (VRS,FKP,MAC) TUSAGA-Aktif Sistemi Yayın Bağlantı Noktası", 0, 2, 1},
      {0, 9, u"KOORDİNAT (ITRF_33_3)", 2, 1, 3},
      {1, 9, u"SAĞA DEĞER (y) (m)", 2, 1, 1},
      {1, 10, u"YUKARI DEĞER (x) (m)", 2, 1, 1},
      {1, 11, u"ELİPSOİT YÜKSEKLİĞİ (h) (m)", 2, 1, 1},
  };
  return header;
}

const std::uint16_t kWidths[12] = {3000, 3437, 1426, 1682, 2450, 1499, 1755, 2011, 2011, 3035, 3035, 3072};

std::vector<std::vector<std::u16string>> FormRows() {
  return {{u"İŞĞı-1", u"12.5.2023 9:7", u"180", u"1", u"9/6", u"0.023", u"1.234", u"Fixed", u"RTK",
           u"512345.678", u"4412345.678", u"123.456"},
          {u"ÇAYIR ŞİŞLİ ğüö", u"1.1.2024 0:0", u"5", u"1", u"10/8", u"0.010", u"2.000", u"Sabit", u"",
           u"400000.000", u"4000000.001", u"-12.000"}};
}

void BuildForm(XlsWorkbook& book) {
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  XlsFormatManager formats(book);
  std::vector<XlsCellFormat> styles;
  for (std::uint16_t height : {120, 160, 200}) {
    XlsFont font;
    font.height = height;
    XlsCellFormat format(formats);
    format.SetFontIndex(formats.GetFontIndex(font));
    format.SetAlignment(0x28);
    styles.push_back(format);
  }
  for (const HeaderCell& h : FormHeader()) {
    XlsCell cell = sheet.Cell(h.row, h.column);
    cell.SetText(h.text);
    cell.SetXFIndex(styles[static_cast<std::size_t>(h.font)].GetXFIndex());
    if (h.rows > 1) cell.SetMergedRows(h.rows);
    if (h.columns > 1) cell.SetMergedColumns(h.columns);
  }
  for (std::uint16_t c = 0; c < 12; ++c) sheet.SetColWidth(c, kWidths[c]);
  auto rows = FormRows();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < 12; ++c) sheet.Cell(static_cast<std::uint32_t>(2 + r), static_cast<std::uint32_t>(c)).SetText(rows[r][c]);
  }
}

std::vector<std::string> ExpectedCells(const std::vector<std::vector<std::u16string>>& grid, std::size_t columns) {
  std::vector<std::string> lines = {"sheet\t0\t\"Sheet1\"\t" + std::to_string(grid.size()) + "\t" + std::to_string(columns)};
  for (std::size_t r = 0; r < grid.size(); ++r) {
    for (std::size_t c = 0; c < grid[r].size(); ++c) {
      if (!grid[r][c].empty()) {
        lines.push_back(std::to_string(r) + "\t" + std::to_string(c) + "\ttext\t" + Quoted(grid[r][c]));
      }
    }
  }
  return lines;
}

std::vector<std::vector<std::u16string>> FormGrid() {
  std::vector<std::vector<std::u16string>> grid(2, std::vector<std::u16string>(12));
  for (const HeaderCell& h : FormHeader()) grid[h.row][h.column] = h.text;
  for (const auto& row : FormRows()) grid.push_back(row);
  return grid;
}

TEST(XlsReadBack, FormHeaderThroughXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook book;
  BuildForm(book);
  ASSERT_TRUE(book.SaveAs(dir / "form.xls"));
  EXPECT_EQ(ExpectedCells(FormGrid(), 12), ReadBack("cells", dir / "form.xls"));

  auto format = ReadBack("format", dir / "form.xls");
  auto has = [&](const std::string& line) { return std::find(format.begin(), format.end(), line) != format.end(); };
  for (int c = 0; c <= 8; ++c) EXPECT_TRUE(has("merged\t0\t1\t" + std::to_string(c) + "\t" + std::to_string(c))) << c;
  EXPECT_TRUE(has("merged\t0\t0\t9\t11"));
  for (int c = 0; c < 12; ++c) EXPECT_TRUE(has("width\t" + std::to_string(c) + "\t" + std::to_string(kWidths[c]))) << c;
  // XFs 21, 22, 23 in the order first used: medium, small, large.
  const char* fonts[] = {"xf=22\tfont=Arial/120/400\twrap=1", "xf=21\tfont=Arial/160/400\twrap=1",
                         "xf=23\tfont=Arial/200/400\twrap=1"};
  for (const HeaderCell& h : FormHeader()) {
    EXPECT_TRUE(has("cell\t" + std::to_string(h.row) + "\t" + std::to_string(h.column) + "\t" + fonts[h.font]))
        << text::Utf16ToUtf8(h.text);
  }
  EXPECT_TRUE(has("cell\t2\t0\txf=0\tfont=Arial/200/400\twrap=0"));
  EXPECT_EQ("valid\t1", ReadBack("ole", dir / "form.xls").at(0));
}

// Many long unique strings: the SST runs over many CONTINUE records and strings split
// across them, 16-bit and up to the longest cell text.
TEST(XlsReadBack, LongUniqueStringsThroughXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  std::mt19937 random(7);
  const char16_t alphabet[] = u"abcçdefgğhıijklmnoöprsştuüvyzABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZ 0123456789.-/";
  std::vector<std::vector<std::u16string>> grid(100, std::vector<std::u16string>(3));
  for (std::size_t r = 0; r < grid.size(); ++r) {
    for (std::size_t c = 0; c < 3; ++c) {
      std::size_t length = 1 + random() % 9000;
      std::u16string s = Digits(static_cast<std::uint32_t>(r)) + u":";
      for (std::size_t i = 0; i < length; ++i) s += alphabet[random() % (std::size(alphabet) - 1)];
      grid[r][c] = s;
    }
  }
  grid[50][1] = std::u16string(XlsCell::kMaxTextLength, u'Ş');
  grid[51][2] = std::u16string(XlsCell::kMaxTextLength, u'z');
  XlsWorkbook book;
  book.New();
  for (std::size_t r = 0; r < grid.size(); ++r) {
    for (std::size_t c = 0; c < 3; ++c) {
      ASSERT_TRUE(book.GetWorksheet(0).Cell(static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(c)).SetText(grid[r][c]));
    }
  }
  ASSERT_TRUE(book.SaveAs(dir / "long.xls"));
  auto continues = OfType(Records(StreamOf(book)), YExcel::kContinueType);
  EXPECT_GT(continues.size(), 100u);
  EXPECT_EQ(ExpectedCells(grid, 3), ReadBack("cells", dir / "long.xls"));
}

TEST(XlsReadBack, FullHeightSheetThroughXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook book;
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  std::vector<std::string> expected = {"sheet\t0\t\"Sheet1\"\t65536\t3"};
  for (std::uint32_t r = 0; r < XlsWorksheet::kMaxRows; ++r) {
    std::u16string label = u"S" + Digits(r % 1000);
    sheet.Cell(r, 0).SetText(label);
    sheet.Cell(r, 1).SetInteger(static_cast<std::int32_t>(r));
    expected.push_back(std::to_string(r) + "\t0\ttext\t" + Quoted(label));
    expected.push_back(std::to_string(r) + "\t1\tnumber\t" + std::to_string(r) + ".0");
    if (r % 7 == 0) {
      sheet.Cell(r, 2).SetReal(r + 0.5);
      expected.push_back(std::to_string(r) + "\t2\tnumber\t" + std::to_string(r) + ".5");
    }
  }
  ASSERT_TRUE(book.SaveAs(dir / "tall.xls"));
  EXPECT_EQ(expected, ReadBack("cells", dir / "tall.xls"));
}

struct NumberCase {
  double value;
  const char* python;  // repr() of what xlrd reads
  const char* shown;   // LibreOffice's CSV text, or null when not compared there
};

const NumberCase kNumbers[] = {
    {1, "1.0", "1"},
    {-1, "-1.0", "-1"},
    {0.5, "0.5", "0.5"},
    {1.25, "1.25", "1.25"},
    {1.23, "1.23", "1.23"},
    {0.1, "0.1", "0.1"},
    {42, "42.0", "42"},
    {123456.789, "123456.789", "123456.789"},
    {536870911, "536870911.0", "536870911"},
    {536870912, "536870912.0", "536870912"},
    {2147483647, "2147483647.0", "2147483647"},
    {-0.25, "-0.25", "-0.25"},
    {3.14159, "3.14159", nullptr},
    {1e-10, "1e-10", nullptr},
    {1e300, "1e+300", nullptr},
};

void BuildNumbers(XlsWorkbook& book) {
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  std::uint32_t c = 0;
  for (const NumberCase& n : kNumbers) {
    if (n.value == std::floor(n.value) && std::abs(n.value) < 2147483648.0) {
      sheet.Cell(0, c).SetInteger(static_cast<std::int32_t>(n.value));
    } else {
      sheet.Cell(0, c).SetReal(n.value);
    }
    sheet.Cell(1, c).SetReal(n.value);
    ++c;
  }
}

TEST(XlsReadBack, NumbersThroughXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook book;
  BuildNumbers(book);
  ASSERT_TRUE(book.SaveAs(dir / "numbers.xls"));
  std::vector<std::string> expected = {"sheet\t0\t\"Sheet1\"\t2\t" + std::to_string(std::size(kNumbers))};
  for (int r = 0; r < 2; ++r) {
    for (std::size_t c = 0; c < std::size(kNumbers); ++c) {
      expected.push_back(std::to_string(r) + "\t" + std::to_string(c) + "\tnumber\t" + kNumbers[c].python);
    }
  }
  EXPECT_EQ(expected, ReadBack("cells", dir / "numbers.xls"));
}

// LibreOffice quotes every text cell; the texts here hold no quote marks.
std::string CsvField(const std::u16string& s) { return s.empty() ? "" : "\"" + text::Utf16ToUtf8(s) + "\""; }

TEST(XlsReadBack, LibreOfficeConvertsToCsv) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook form;
  BuildForm(form);
  ASSERT_TRUE(form.SaveAs(dir / "form.xls"));
  XlsWorkbook numbers;
  BuildNumbers(numbers);
  ASSERT_TRUE(numbers.SaveAs(dir / "numbers.xls"));
  auto csv = ConvertToCsv({dir / "form.xls", dir / "numbers.xls"}, dir.Path());
  ASSERT_EQ(2u, csv.size());

  std::vector<std::string> formLines;
  for (const auto& row : FormGrid()) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) line += (c ? "," : "") + CsvField(row[c]);
    formLines.push_back(line);
  }
  EXPECT_EQ(formLines, csv[0]);

  ASSERT_EQ(2u, csv[1].size());
  std::vector<std::string> fields;
  std::string line = csv[1][0];
  for (std::size_t start = 0, end; start <= line.size(); start = end + 1) {
    end = line.find(',', start);
    if (end == std::string::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
  }
  ASSERT_EQ(std::size(kNumbers), fields.size());
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (kNumbers[c].shown != nullptr) {
      EXPECT_EQ(kNumbers[c].shown, fields[c]) << kNumbers[c].python;
    }
  }
  EXPECT_EQ(csv[1][0], csv[1][1]);
}


// ---- page setup ------------------------------------------------------------------------

XlsPageSetup FormPageSetup() {
  XlsPageSetup setup;
  setup.orientation = XlsPageSetup::Orientation::Landscape;
  setup.fitWidth = 1;
  setup.leftMargin = setup.rightMargin = 0.25;
  setup.centredHorizontally = true;
  setup.titleRows = XlsPageSetup::Rows{0, 1};
  return setup;
}

std::vector<std::uint16_t> Types(const std::vector<RecordRef>& records, std::size_t from, std::size_t to) {
  std::vector<std::uint16_t> types;
  for (std::size_t i = from; i < to; ++i) types.push_back(records[i].type);
  return types;
}

std::size_t IndexOf(const std::vector<RecordRef>& records, std::size_t offset) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].offset == offset) return i;
  }
  return records.size();
}

TEST(XlsPageSetup, RecordsInStreamOrder) {
  XlsWorkbook book;
  book.New();
  book.GetWorksheet(0).Cell(0, 0).SetText(u"plain");
  XlsWorksheet& second = book.AddWorksheet();
  for (std::uint32_t r = 0; r < 40; ++r) second.Cell(r, 0).SetText(u"row");
  second.SetColWidth(0, 3000);
  XlsPageSetup setup = FormPageSetup();
  setup.titleRows = XlsPageSetup::Rows{2, 4};
  ASSERT_TRUE(second.SetPageSetup(setup));
  Parsed p = Build(book);

  // Globals: the link, its one XTI (sheet 1 to 1) and the name right before the SST.
  const std::size_t sst = OfType(p.records, 0x00FC)[0].offset;
  const std::size_t sstAt = IndexOf(p.records, sst);
  EXPECT_EQ((std::vector<std::uint16_t>{0x0085, 0x0085, 0x01AE, 0x0017, 0x0018, 0x00FC}),
            Types(p.records, sstAt - 5, sstAt + 1));
  const RecordRef externSheet = OfType(p.records, 0x0017)[0];
  EXPECT_EQ("01 00 00 00 01 00 01 00", Hex({p.stream.begin() + static_cast<long>(externSheet.offset) + 4,
                                           p.stream.begin() + static_cast<long>(externSheet.offset) + 12}));
  const RecordRef name = OfType(p.records, 0x0018)[0];
  EXPECT_EQ(2, U16(p.stream, name.offset + 4 + 8));   // itab: the second sheet
  EXPECT_EQ(0, U16(p.stream, name.offset + 4 + 17));  // ixti
  EXPECT_EQ(2, U16(p.stream, name.offset + 4 + 19));
  EXPECT_EQ(4, U16(p.stream, name.offset + 4 + 21));

  // Sheets: the first as before, the second with its page setup between INDEX and COLINFO;
  // BOUNDSHEET and INDEX still point at their BOF and DBCELLs.
  auto bofs = OfType(p.records, 0x0809);
  auto bounds = OfType(p.records, 0x0085);
  ASSERT_EQ(3u, bofs.size());
  const std::size_t first = IndexOf(p.records, bofs[1].offset);
  EXPECT_EQ((std::vector<std::uint16_t>{0x0809, 0x020B, 0x0200}), Types(p.records, first, first + 3));
  const std::size_t at = IndexOf(p.records, bofs[2].offset);
  EXPECT_EQ((std::vector<std::uint16_t>{0x0809, 0x020B, 0x0081, 0x0083, 0x0026, 0x0027, 0x0028, 0x0029, 0x00A1,
                                        0x007D, 0x0200}),
            Types(p.records, at, at + 11));
  for (int i = 0; i < 2; ++i) EXPECT_EQ(bofs[i + 1].offset, U32(p.stream, bounds[i].offset + 4));
  const RecordRef index = p.records[at + 1];
  auto dbcells = OfType(p.records, 0x00D7);
  ASSERT_EQ(3u, dbcells.size());  // one for the first sheet, two for the 40 rows
  EXPECT_EQ(dbcells[1].offset, U32(p.stream, index.offset + 20));
  EXPECT_EQ(dbcells[2].offset, U32(p.stream, index.offset + 24));
}

// The page setup's flags follow what it asks for: fit-to-page only when a direction is
// fitted, portrait unless landscape, the name only for title rows.
TEST(XlsPageSetup, FlagsFollowTheSetup) {
  struct Case {
    const char* name;
    XlsPageSetup::Orientation orientation;
    std::uint16_t fitWidth, fitHeight;
    bool titles;
    std::uint16_t wsBool, setupFlags;
    std::size_t names;
  } cases[] = {
      {"landscape, one page wide", XlsPageSetup::Orientation::Landscape, 1, 0, true, 0x05C1, 0x0000, 1},
      {"portrait at 100 %", XlsPageSetup::Orientation::Portrait, 0, 0, true, 0x04C1, 0x0002, 1},
      {"two pages tall", XlsPageSetup::Orientation::Portrait, 0, 2, false, 0x05C1, 0x0002, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XlsWorkbook book;
    book.New();
    book.GetWorksheet(0).Cell(3, 3).SetText(u"x");
    XlsPageSetup setup;
    setup.orientation = c.orientation;
    setup.fitWidth = c.fitWidth;
    setup.fitHeight = c.fitHeight;
    if (c.titles) setup.titleRows = XlsPageSetup::Rows{0, 0};
    ASSERT_TRUE(book.GetWorksheet(0).SetPageSetup(setup));
    Parsed p = Build(book);
    Parsed again = Build(book);  // saving twice must not add a second name
    EXPECT_EQ(p.stream, again.stream);
    EXPECT_EQ(c.wsBool, U16(p.stream, OfType(p.records, 0x0081).at(0).offset + 4));
    const std::size_t setupAt = OfType(p.records, 0x00A1).at(0).offset + 4;
    EXPECT_EQ(c.fitWidth, U16(p.stream, setupAt + 6));
    EXPECT_EQ(c.fitHeight, U16(p.stream, setupAt + 8));
    EXPECT_EQ(c.setupFlags, U16(p.stream, setupAt + 10));
    EXPECT_EQ(c.names, OfType(p.records, 0x0018).size());
    EXPECT_EQ(c.names, OfType(p.records, 0x01AE).size());
    EXPECT_EQ(c.names, OfType(p.records, 0x0017).size());
  }
}

TEST(XlsPageSetup, RefusesImpossibleValues) {
  struct Case {
    const char* name;
    void (*spoil)(XlsPageSetup&);
  } cases[] = {
      {"negative margin", [](XlsPageSetup& s) { s.leftMargin = -0.1; }},
      {"NaN margin", [](XlsPageSetup& s) { s.topMargin = std::nan(""); }},
      {"infinite footer", [](XlsPageSetup& s) { s.footerMargin = HUGE_VAL; }},
      {"margin of 100 in", [](XlsPageSetup& s) { s.bottomMargin = 100.0; }},
      {"title rows backwards", [](XlsPageSetup& s) { s.titleRows = XlsPageSetup::Rows{3, 2}; }},
  };
  for (const Case& c : cases) {
    XlsWorkbook book;
    book.New();
    XlsWorksheet& sheet = book.GetWorksheet(0);
    ASSERT_TRUE(sheet.SetPageSetup(FormPageSetup()));
    XlsPageSetup bad = FormPageSetup();
    c.spoil(bad);
    EXPECT_FALSE(sheet.SetPageSetup(bad)) << c.name;
    EXPECT_EQ(0.25, sheet.GetPageSetup()->leftMargin) << c.name;  // the earlier setup stays
    ASSERT_TRUE(sheet.GetPageSetup()->titleRows) << c.name;
    EXPECT_EQ(1, sheet.GetPageSetup()->titleRows->last) << c.name;
  }
}

// Cells, formats, merges and widths are the same bytes with a page setup as without: it
// only adds records (positions that count them aside).
TEST(XlsPageSetup, OnlyAddsRecords) {
  XlsWorkbook plain;
  BuildForm(plain);
  XlsWorkbook printed;
  BuildForm(printed);
  ASSERT_TRUE(printed.GetWorksheet(0).SetPageSetup(FormPageSetup()));
  const std::vector<std::uint16_t> added = {0x01AE, 0x0017, 0x0018, 0x0081, 0x0083,
                                            0x0026, 0x0027, 0x0028, 0x0029, 0x00A1};
  auto content = [&](XlsWorkbook& book) {
    Parsed p = Build(book);
    std::vector<std::string> records;
    for (const RecordRef& r : p.records) {
      if (std::find(added.begin(), added.end(), r.type) != added.end()) continue;
      std::size_t skip = 0;  // stream positions lead these two
      if (r.type == 0x0085) skip = 4;
      if (r.type == 0x020B) skip = r.length - 16;
      std::size_t begin = r.offset + 4 + (r.type == 0x0085 ? skip : 0);
      std::size_t end = r.offset + 4 + r.length - (r.type == 0x020B ? skip : 0);
      records.push_back(std::to_string(r.type) + ":" +
                        Hex({p.stream.begin() + static_cast<long>(begin), p.stream.begin() + static_cast<long>(end)}));
    }
    return records;
  };
  const auto expected = content(plain);
  EXPECT_EQ(expected, content(printed));
  EXPECT_EQ(Records(StreamOf(plain)).size() + added.size(), Records(StreamOf(printed)).size());
}

// xlrd finds the built-in name on its sheet, over the rows asked for and every column.
TEST(XlsReadBack, PrintTitlesThroughXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook book;
  BuildForm(book);
  ASSERT_TRUE(book.GetWorksheet(0).SetPageSetup(FormPageSetup()));
  XlsWorksheet& second = book.AddWorksheet();
  second.Cell(9, 2).SetText(u"ikinci");
  XlsPageSetup setup;
  setup.titleRows = XlsPageSetup::Rows{3, 5};
  ASSERT_TRUE(second.SetPageSetup(setup));
  book.AddWorksheet().Cell(0, 0).SetText(u"no titles");
  ASSERT_TRUE(book.SaveAs(dir / "titles.xls"));
  EXPECT_EQ((std::vector<std::string>{
                "name\tPrint_Titles\tbuiltin=1\tscope=0\tSheet1!$A$1:$IV$2\t0:1:0:2:0:256",
                "name\tPrint_Titles\tbuiltin=1\tscope=1\tSheet2!$A$4:$IV$6\t1:2:3:6:0:256",
            }),
            ReadBack("names", dir / "titles.xls"));
  const std::vector<std::string> cells = ReadBack("cells", dir / "titles.xls");
  const std::vector<std::string> form = ExpectedCells(FormGrid(), 12);
  ASSERT_GE(cells.size(), form.size());
  EXPECT_EQ(form, std::vector<std::string>(cells.begin(), cells.begin() + static_cast<long>(form.size())));
}

// LibreOffice turns the records into its page style: A4 across, the margins, one page
// wide with no limit down, centred, the title rows repeated; a sheet without a setup
// keeps LibreOffice's own defaults.
TEST(XlsReadBack, LibreOfficeReadsThePageSetup) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  XlsWorkbook book;
  BuildForm(book);
  ASSERT_TRUE(book.GetWorksheet(0).SetPageSetup(FormPageSetup()));
  XlsWorksheet& portrait = book.AddWorksheet();
  portrait.Cell(0, 0).SetText(u"dikey");
  XlsPageSetup setup;
  setup.paperSize = 8;  // A3
  setup.fitWidth = 2;
  setup.fitHeight = 3;
  setup.topMargin = 1.0;
  setup.titleRows = XlsPageSetup::Rows{0, 0};
  ASSERT_TRUE(portrait.SetPageSetup(setup));
  book.AddWorksheet().Cell(0, 0).SetText(u"varsayılan");
  ASSERT_TRUE(book.SaveAs(dir / "print.xls"));
  const auto ods = ConvertToOds({dir / "print.xls"}, dir.Path());
  const std::vector<std::string> lines = ReadBack("print", ods.at(0));
  ASSERT_EQ(6u, lines.size()) << lines.at(0);
  EXPECT_EQ("page\tSheet1\tpage-width=11.6929in\tpage-height=8.2681in\tprint-orientation=landscape\t"
            "margin-left=0.25in\tmargin-right=0.25in\tmargin-top=0.75in\tmargin-bottom=0.75in\t"
            "scale-to-X=1\tscale-to-Y=-\ttable-centering=horizontal",
            lines[0]);
  EXPECT_EQ("header-rows\tSheet1\t2", lines[1]);
  EXPECT_EQ("page\tSheet2\tpage-width=11.6929in\tpage-height=16.5354in\tprint-orientation=portrait\t"
            "margin-left=0.7in\tmargin-right=0.7in\tmargin-top=1in\tmargin-bottom=0.75in\t"
            "scale-to-X=2\tscale-to-Y=3\ttable-centering=-",
            lines[2]);
  EXPECT_EQ("header-rows\tSheet2\t1", lines[3]);
  EXPECT_EQ("header-rows\tSheet3\t0", lines[5]);
}

}  // namespace
