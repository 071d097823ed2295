// One record, one expected byte string, each worked out by hand from the record's
// layout in [MS-XLS]; then the splitting rules for long records and the SST.
#include <gtest/gtest.h>

#include <functional>

#include "XlsTestSupport.h"
#include "xls/XlsInternal.h"

using namespace xlstest;
using namespace YExcel;

namespace {

template <class R>
std::string Bytes(const R& record) {
  Stream counter;
  WriteRecord(counter, record);
  std::vector<std::uint8_t> out(counter.Position());
  Stream s(out.data());
  WriteRecord(s, record);
  EXPECT_EQ(out.size(), s.Position());
  return Hex(out);
}

std::vector<std::uint8_t> Serialise(const std::function<void(Stream&)>& write) {
  Stream counter;
  write(counter);
  std::vector<std::uint8_t> out(counter.Position());
  Stream s(out.data());
  write(s);
  EXPECT_EQ(out.size(), s.Position()) << "counting and writing disagree";
  return out;
}

TEST(Records, ByteStrings) {
  Workbook::BoundSheet sheet;
  sheet.position = 0x1234;
  Worksheet::ColInfo col;
  col.firstColumn = col.lastColumn = 3;
  col.width = 1682;
  Worksheet::Dimensions dims;
  dims.lastRowPlusOne = 3;
  dims.lastColumnPlusOne = 12;
  Row row;
  row.row = 5;
  row.lastColumnPlusOne = 12;
  MulRK mulrk;
  mulrk.row = 4;
  mulrk.firstColumn = 1;
  mulrk.cells = {{0, 6}, {0, 10}};
  DBCell dbcell;
  dbcell.firstRowOffset = 44;
  dbcell.cellOffsets = {20, 28};
  Worksheet::Index index;
  index.lastRowPlusOne = 33;
  index.dbCellPositions = {0x100, 0x200};
  Workbook::Format format;
  format.index = 164;
  format.format = u"0.000";

  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"BOF globals", Bytes(BOF{}), "09 08 10 00 00 06 05 00 A0 19 CD 07 C9 C0 00 00 06 03 00 00"},
      {"BOF worksheet", Bytes(WorksheetBOF()), "09 08 10 00 00 06 10 00 A0 19 CD 07 C9 C0 00 00 06 03 00 00"},
      {"EOF", Bytes(YEOF{}), "0A 00 00 00"},
      {"WINDOW1", Bytes(Workbook::Window1{}),
       "3D 00 12 00 78 00 78 00 1F 3B 54 24 38 00 00 00 00 00 01 00 58 02"},
      {"FONT Arial 10 pt", Bytes(Workbook::Font{}),
       "31 00 1A 00 C8 00 00 00 FF 7F 90 01 00 00 00 00 00 00 05 01 41 00 72 00 69 00 61 00 6C 00"},
      {"FORMAT", Bytes(format), "1E 04 0F 00 A4 00 05 00 01 30 00 2E 00 30 00 30 00 30 00"},
      {"XF default style", Bytes(Workbook::XF{}),
       "E0 00 14 00 00 00 00 00 F5 FF 20 00 00 00 00 00 00 00 00 00 00 00 C0 20"},
      {"STYLE Normal", Bytes(Workbook::Style{}), "93 02 04 00 00 80 00 FF"},
      {"BOUNDSHEET Sheet1", Bytes(sheet), "85 00 0E 00 34 12 00 00 00 00 06 00 53 68 65 65 74 31"},
      {"INDEX", Bytes(index),
       "0B 02 18 00 00 00 00 00 00 00 00 00 21 00 00 00 00 00 00 00 00 01 00 00 00 02 00 00"},
      {"COLINFO", Bytes(col), "7D 00 0C 00 03 00 03 00 92 06 00 00 00 00 00 00"},
      {"DIMENSIONS", Bytes(dims), "00 02 0E 00 00 00 00 00 03 00 00 00 00 00 0C 00 00 00"},
      {"ROW", Bytes(row), "08 02 10 00 05 00 00 00 0C 00 FF 00 00 00 00 00 00 01 00 00"},
      {"BLANK", Bytes(Blank{1, 3, 0}), "01 02 06 00 01 00 03 00 00 00"},
      {"LABELSST", Bytes(LabelSST{2, 3, 21, 7}), "FD 00 0A 00 02 00 03 00 15 00 07 00 00 00"},
      {"RK", Bytes(RK{0, 1, 0, 6}), "7E 02 0A 00 00 00 01 00 00 00 06 00 00 00"},
      {"MULRK", Bytes(mulrk), "BD 00 12 00 04 00 01 00 00 00 06 00 00 00 00 00 0A 00 00 00 02 00"},
      {"NUMBER 0.1", Bytes(Number{0, 0, 0, 0.1}),
       "03 02 0E 00 00 00 00 00 00 00 9A 99 99 99 99 99 B9 3F"},
      {"DBCELL", Bytes(dbcell), "D7 00 08 00 2C 00 00 00 14 00 1C 00"},
      {"WINDOW2", Bytes(Worksheet::Window2{}),
       "3E 02 12 00 B6 06 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.bytes) << c.name;
  EXPECT_EQ(30u, RecordSize(Workbook::Font{}.DataSize()));
  EXPECT_EQ(18u, RecordSize(sheet.DataSize()));
}

// The page setup the forms print with: A4 landscape, one page wide, narrow margins, the
// first two rows of the only sheet repeated; and a second sheet's titles for the indices.
TEST(Records, PageSetupByteStrings) {
  Worksheet::WsBool fitted;
  fitted.options |= Worksheet::WsBool::kFitToPage;
  Worksheet::HCenter centred;
  centred.centred = 1;
  Worksheet::LeftMargin left;
  left.inches = 0.25;
  Worksheet::RightMargin right;
  right.inches = 0.25;
  Worksheet::TopMargin top;
  top.inches = 0.75;
  Worksheet::BottomMargin bottom;
  bottom.inches = 0.75;
  Worksheet::Setup setup;
  setup.fitWidth = 1;
  setup.fitHeight = 0;
  setup.options = 0;  // landscape
  setup.headerMargin = setup.footerMargin = 0.3;
  Workbook::ExternSheet externSheet;
  externSheet.refs = {{0, 0, 0}};
  Workbook::ExternSheet twoSheets;
  twoSheets.refs = {{0, 0, 0}, {0, 1, 1}};
  Workbook::Lbl titles;
  titles.sheet = 1;
  titles.lastRow = 1;
  Workbook::Lbl secondSheet;
  secondSheet.sheet = 2;
  secondSheet.externSheet = 1;
  secondSheet.firstRow = 2;
  secondSheet.lastRow = 4;

  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"WSBOOL default", Bytes(Worksheet::WsBool{}), "81 00 02 00 C1 04"},
      {"WSBOOL fit to page", Bytes(fitted), "81 00 02 00 C1 05"},
      {"HCENTER", Bytes(centred), "83 00 02 00 01 00"},
      {"LEFTMARGIN 0.25 in", Bytes(left), "26 00 08 00 00 00 00 00 00 00 D0 3F"},
      {"RIGHTMARGIN 0.25 in", Bytes(right), "27 00 08 00 00 00 00 00 00 00 D0 3F"},
      {"TOPMARGIN 0.75 in", Bytes(top), "28 00 08 00 00 00 00 00 00 00 E8 3F"},
      {"BOTTOMMARGIN 0.75 in", Bytes(bottom), "29 00 08 00 00 00 00 00 00 00 E8 3F"},
      // Paper 9 (A4), scale 100, first page 1, 1 page wide, any number tall, flags 0
      // (landscape, paper settings valid), 600 x 600 dpi, header and footer 0.3 in, 1 copy.
      {"SETUP A4 landscape", Bytes(setup),
       "A1 00 22 00 09 00 64 00 01 00 01 00 00 00 00 00 58 02 58 02 "
       "33 33 33 33 33 33 D3 3F 33 33 33 33 33 33 D3 3F 01 00"},
      {"SUPBOOK self", Bytes(Workbook::SupBook{}), "AE 01 04 00 01 00 01 04"},
      {"EXTERNSHEET one sheet", Bytes(externSheet), "17 00 08 00 01 00 00 00 00 00 00 00"},
      {"EXTERNSHEET two sheets", Bytes(twoSheets), "17 00 0E 00 02 00 00 00 00 00 00 00 00 00 01 00 01 00"},
      // fBuiltin, no key, 1 character, 11 formula bytes, itab 1, name 0x07 (8-bit), then
      // PtgArea3d: ixti 0, rows 0-1, columns 0-255, all absolute: Sheet1!$1:$2.
      {"LBL Print_Titles", Bytes(titles),
       "18 00 1B 00 20 00 00 01 0B 00 00 00 01 00 00 00 00 00 00 07 3B 00 00 00 00 01 00 00 00 FF 00"},
      {"LBL Print_Titles, second sheet", Bytes(secondSheet),
       "18 00 1B 00 20 00 00 01 0B 00 00 00 02 00 00 00 00 00 00 07 3B 01 00 02 00 04 00 00 00 FF 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.bytes) << c.name;
}

TEST(Records, RKForms) {
  struct Case {
    double value;
    bool encodable;
    std::uint32_t rk;
  } cases[] = {
      {1, true, 0x00000006},           {-1, true, 0xFFFFFFFE},
      {0.5, true, 0x3FE00000},         {-0.25, true, 0xBFD00000},
      {1.23, true, (123 << 2) | 3},    {0.1, true, (10 << 2) | 3},
      {536870911, true, 0x7FFFFFFE},   {536870912, true, 0x41C00000},
      {2147483647, false, 0},          {3.14159, false, 0},
      {1e-10, false, 0},               {123456.789, false, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t rk = 0;
    EXPECT_EQ(c.encodable, EncodeRK(c.value, rk)) << c.value;
    if (c.encodable) {
      EXPECT_EQ(c.rk, rk) << c.value;
    }
  }
  // Integers past 30 bits used to be shifted into garbage; they now fall back to NUMBER.
  std::uint32_t rk = 0;
  EXPECT_FALSE(EncodeRK(std::int32_t{-2147483647}, rk));
  EXPECT_TRUE(EncodeRK(std::int32_t{-536870912}, rk));
  EXPECT_EQ(0x80000002u, rk);
}

TEST(Records, ContinueSplitting) {
  struct Case {
    const char* name;
    std::size_t size;
    std::vector<std::uint16_t> lengths;  // of the record and its CONTINUE records
  } cases[] = {{"empty", 0, {0}},
               {"exactly 8224", 8224, {8224}},
               {"8225", 8225, {8224, 1}},
               {"three records", 2 * 8224 + 5, {8224, 8224, 5}}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> data(c.size, 0xAB);
    auto out = Serialise([&](Stream& s) { WriteRecordData(s, 0x1234, data); });
    auto records = Records(out);
    ASSERT_EQ(c.lengths.size(), records.size()) << c.name;
    EXPECT_EQ(RecordSize(c.size), out.size()) << c.name;
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(i == 0 ? 0x1234 : kContinueType, records[i].type) << c.name;
      EXPECT_EQ(c.lengths[i], records[i].length) << c.name;
    }
  }
}

TEST(Records, MergedCellsAt1027Ranges) {
  struct Case {
    std::size_t ranges;
    std::vector<std::uint16_t> counts;
  } cases[] = {{0, {}}, {1, {1}}, {1027, {1027}}, {1028, {1027, 1}}, {2055, {1027, 1027, 1}}};
  for (const Case& c : cases) {
    Worksheet::MergedCells merged;
    for (std::size_t i = 0; i < c.ranges; ++i) {
      auto r = static_cast<std::uint16_t>(2 * i);
      merged.ranges.push_back({r, static_cast<std::uint16_t>(r + 1), 3, 3});
    }
    auto out = Serialise([&](Stream& s) { WriteMergedCells(s, merged); });
    auto records = Records(out);
    ASSERT_EQ(c.counts.size(), records.size()) << c.ranges;
    EXPECT_EQ(8 * c.ranges + 6 * records.size(), out.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(Worksheet::MergedCells::kType, records[i].type);
      EXPECT_EQ(c.counts[i], U16(out, records[i].offset + 4));
      EXPECT_EQ(2 + 8 * c.counts[i], records[i].length);
    }
  }
  Worksheet::MergedCells one;
  one.ranges.push_back({0, 1, 3, 3});
  EXPECT_EQ("E5 00 0A 00 01 00 00 00 01 00 03 00 03 00", Hex(Serialise([&](Stream& s) { WriteMergedCells(s, one); })));
}

// The SST split rules: a string that does not fit moves whole to a CONTINUE when fewer
// than 12 bytes are left, otherwise its header and first characters stay; each piece of
// a split string starts with its option byte.
TEST(Records, SstSplitting) {
  std::u16string filler11(8224 - 8 - 3 - 11, u'f');  // leaves 11 bytes in the SST record
  std::u16string filler12(8224 - 8 - 3 - 12, u'f');  // leaves 12
  std::u16string twenty(20, u'x');
  struct Case {
    const char* name;
    const std::u16string* filler;
    bool compressed;
    std::vector<std::uint16_t> lengths;
    std::vector<std::uint8_t> continueStart;  // first bytes of the first CONTINUE
  } cases[] = {
      {"8-bit, 11 left: moves whole", &filler11, true, {8213, 23}, {20, 0, 0}},
      {"8-bit, 12 left: header and 9 chars stay", &filler12, true, {8224, 12}, {0, 'x'}},
      {"16-bit, 11 left: moves whole", &filler11, false, {8213, 43}, {20, 0, 1}},
      {"16-bit, 12 left: header and 4 chars stay", &filler12, false, {8223, 33}, {1, 'x', 0}},
  };
  for (const Case& c : cases) {
    Workbook::SharedStringTable sst;
    sst.totalCount = 5;
    sst.strings = {{*c.filler, true}, {twenty, c.compressed}};
    auto out = Serialise([&](Stream& s) { WriteSharedStringTable(s, sst); });
    auto records = Records(out);
    ASSERT_EQ(c.lengths.size(), records.size()) << c.name;
    EXPECT_EQ(sst.RecordSize(), out.size());
    EXPECT_EQ(Workbook::SharedStringTable::kType, records[0].type);
    EXPECT_EQ(5u, U32(out, 4));
    EXPECT_EQ(2u, U32(out, 8));
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(c.lengths[i], records[i].length) << c.name << " record " << i;
    }
    EXPECT_EQ(kContinueType, records[1].type);
    for (std::size_t i = 0; i < c.continueStart.size(); ++i) {
      EXPECT_EQ(c.continueStart[i], out[records[1].offset + 4 + i]) << c.name << " byte " << i;
    }
  }
}

TEST(Records, SstLongStringAcrossSeveralContinues) {
  std::u16string longText;
  for (int i = 0; i < 10000; ++i) longText += static_cast<char16_t>(u'Ğ' + i % 7);
  Workbook::SharedStringTable sst;
  sst.totalCount = 1;
  sst.strings = {{longText, false}};
  auto out = Serialise([&](Stream& s) { WriteSharedStringTable(s, sst); });
  auto records = Records(out);
  // 4106 characters after the counts and header, 4111 per continuation (option byte plus
  // 8222 bytes), the rest 1783.
  ASSERT_EQ(3u, records.size());
  EXPECT_EQ(8223, records[0].length);
  EXPECT_EQ(8223, records[1].length);
  EXPECT_EQ(1 + 2 * 1783, records[2].length);
  EXPECT_EQ(1, out[records[1].offset + 4]);
  EXPECT_EQ(1, out[records[2].offset + 4]);
  // Reassemble the characters and compare.
  std::u16string joined;
  auto take = [&](std::size_t from, std::size_t to) {
    for (std::size_t p = from; p < to; p += 2) joined += static_cast<char16_t>(U16(out, p));
  };
  take(4 + 8 + 3, 4 + records[0].length);
  take(records[1].offset + 5, records[1].offset + 4 + records[1].length);
  take(records[2].offset + 5, records[2].offset + 4 + records[2].length);
  EXPECT_EQ(longText, joined);
}

TEST(Records, EmptySst) {
  Workbook::SharedStringTable sst;
  EXPECT_EQ("FC 00 08 00 00 00 00 00 00 00 00 00", Hex(Serialise([&](Stream& s) { WriteSharedStringTable(s, sst); })));
  EXPECT_EQ(12u, sst.RecordSize());
}

TEST(Records, BuiltInFormatsAreNotWritten) {
  Workbook globals;
  Workbook::Format builtIn;
  builtIn.index = 163;
  builtIn.format = u"0.0";
  Workbook::Format custom;
  custom.index = 164;
  custom.format = u"0.0";
  globals.formats = {builtIn, custom};
  auto out = Serialise([&](Stream& s) { WriteWorkbook(s, globals); });
  int formats = 0;
  for (const auto& r : Records(out)) formats += r.type == Workbook::Format::kType;
  EXPECT_EQ(1, formats);
}

}  // namespace
