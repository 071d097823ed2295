#include "xls/YExcel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace YExcel {

void Stream::F64(double v) {
  auto bits = std::bit_cast<std::uint64_t>(v);
  U32(static_cast<std::uint32_t>(bits));
  U32(static_cast<std::uint32_t>(bits >> 32));
}

void Stream::Bytes(const std::uint8_t* p, std::size_t n) {
  if (m_data != nullptr && n > 0) std::memcpy(m_data + m_pos, p, n);
  m_pos += n;
}

void Stream::Chars(std::u16string_view s, bool compressed) {
  if (m_data == nullptr) {
    m_pos += compressed ? s.size() : 2 * s.size();
    return;
  }
  std::uint8_t* p = m_data + m_pos;
  if (compressed) {
    for (char16_t c : s) *p++ = static_cast<std::uint8_t>(c);
  } else {
    for (char16_t c : s) {
      *p++ = static_cast<std::uint8_t>(c);
      *p++ = static_cast<std::uint8_t>(c >> 8);
    }
  }
  m_pos = static_cast<std::size_t>(p - m_data);
}

std::size_t RecordSize(std::size_t dataSize) {
  std::size_t continues = dataSize > kMaxRecordData ? (dataSize - 1) / kMaxRecordData : 0;
  return dataSize + 4 + 4 * continues;
}

void WriteRecordData(Stream& out, std::uint16_t type, std::span<const std::uint8_t> data,
                     std::span<const std::uint32_t> continuePositions) {
  std::vector<std::size_t> cuts;
  if (continuePositions.empty()) {
    for (std::size_t at = kMaxRecordData; at < data.size(); at += kMaxRecordData) cuts.push_back(at);
  } else {
    cuts.assign(continuePositions.begin(), continuePositions.end());
  }
  cuts.push_back(data.size());
  std::size_t begin = 0;
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    out.U16(i == 0 ? type : kContinueType);
    out.U16(static_cast<std::uint16_t>(cuts[i] - begin));
    out.Bytes(data.data() + begin, cuts[i] - begin);
    begin = cuts[i];
  }
}

XLString MakeXLString(std::u16string_view text) {
  bool narrow = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
  return XLString{text, narrow};
}

void BOF::WriteData(Stream& out) const {
  out.U16(version);
  out.U16(substreamType);
  out.U16(build);
  out.U16(year);
  out.U32(historyFlags);
  out.U32(lowestVersion);
}

void Workbook::Window1::WriteData(Stream& out) const {
  for (std::uint16_t v : {x, y, width, height, options, activeSheet, firstVisibleTab,
                          selectedSheets, tabBarWidth}) {
    out.U16(v);
  }
}

void Workbook::Font::WriteData(Stream& out) const {
  out.U16(height);
  out.U16(options);
  out.U16(colourIndex);
  out.U16(weight);
  out.U16(escapement);
  out.U8(underline);
  out.U8(family);
  out.U8(charSet);
  out.U8(0);
  out.U8(static_cast<std::uint8_t>(name.size()));
  out.U8(1);
  out.Chars(name, false);
}

void Workbook::Format::WriteData(Stream& out) const {
  out.U16(index);
  out.U16(static_cast<std::uint16_t>(format.size()));
  out.U8(1);
  out.Chars(format, false);
}

void Workbook::XF::WriteData(Stream& out) const {
  out.U16(fontIndex);
  out.U16(formatIndex);
  out.U16(typeAndProtection);
  out.U8(alignment);
  out.U8(rotation);
  out.U8(textProperties);
  out.U8(usedAttributes);
  out.U32(borderLines);
  out.U32(colourWord1);
  out.U16(colourWord2);
}

void Workbook::Style::WriteData(Stream& out) const {
  out.U16(xfIndex);
  out.U8(builtInId);
  out.U8(outlineLevel);
}

void Workbook::BoundSheet::WriteData(Stream& out) const {
  XLString s = MakeXLString(name);
  out.U32(position);
  out.U8(visibility);
  out.U8(sheetType);
  out.U8(static_cast<std::uint8_t>(name.size()));
  out.U8(s.compressed ? 0 : 1);
  out.Chars(name, s.compressed);
}

void Workbook::SupBook::WriteData(Stream& out) const {
  out.U16(sheetCount);
  out.U16(cch);
}

void Workbook::ExternSheet::WriteData(Stream& out) const {
  out.U16(static_cast<std::uint16_t>(refs.size()));
  for (const XTI& xti : refs) {
    out.U16(xti.supBook);
    out.U16(xti.firstSheet);
    out.U16(xti.lastSheet);
  }
}

void Workbook::Lbl::WriteData(Stream& out) const {
  constexpr std::uint8_t kPtgArea3d = 0x3B;  // reference class, [MS-XLS] 2.5.198.28
  constexpr std::uint16_t kFormulaBytes = 11;
  out.U16(options);
  out.U8(0);  // chKey
  out.U8(1);  // cch: a built-in name is one character
  out.U16(kFormulaBytes);
  out.U16(0);
  out.U16(sheet);
  out.U32(0);
  out.U8(0);  // XLUnicodeStringNoCch, 8-bit
  out.U8(builtInName);
  out.U8(kPtgArea3d);
  out.U16(externSheet);
  out.U16(firstRow);
  out.U16(lastRow);
  out.U16(firstColumn);  // no relative bits: $A
  out.U16(lastColumn);
}

std::size_t Workbook::SharedStringTable::RecordSize() const {
  Stream counter;
  WriteSharedStringTable(counter, *this);
  return counter.Position();
}

void WriteSharedStringTable(Stream& out, const Workbook::SharedStringTable& sst) {
  std::size_t recordStart = 0;
  std::size_t limit = 0;  // stream position where the current record's data must end
  auto begin = [&](std::uint16_t type) {
    recordStart = out.Position();
    out.U16(type);
    out.U16(0);
    limit = out.Position() + kMaxRecordData;
  };
  auto end = [&] {
    out.PatchU16(recordStart + 2, static_cast<std::uint16_t>(out.Position() - recordStart - 4));
  };
  begin(Workbook::SharedStringTable::kType);
  out.U32(sst.totalCount);
  out.U32(static_cast<std::uint32_t>(sst.strings.size()));
  for (const XLString& s : sst.strings) {
    const std::size_t unit = s.compressed ? 1 : 2;
    const std::uint8_t option = s.compressed ? 0 : 1;
    // With fewer than 12 bytes left the whole string moves on; otherwise its header and
    // first characters stay here.
    if (out.Position() + 3 + s.CharBytes() > limit && limit - out.Position() < 12) {
      end();
      begin(kContinueType);
    }
    out.U16(static_cast<std::uint16_t>(s.text.size()));
    out.U8(option);
    std::size_t done = 0;
    while (done < s.text.size()) {
      std::size_t room = (limit - out.Position()) / unit;
      if (room == 0) {
        end();
        begin(kContinueType);
        out.U8(option);
        continue;
      }
      std::size_t n = std::min(room, s.text.size() - done);
      out.Chars(s.text.substr(done, n), s.compressed);
      done += n;
    }
  }
  end();
}

void WriteWorkbook(Stream& out, const Workbook& globals) {
  WriteRecord(out, globals.bof);
  WriteRecord(out, globals.window1);
  for (const auto& font : globals.fonts) WriteRecord(out, font);
  for (const auto& format : globals.formats) {
    if (format.index >= 164) WriteRecord(out, format);  // lower ones are built in
  }
  for (const auto& xf : globals.xfs) WriteRecord(out, xf);
  for (const auto& style : globals.styles) WriteRecord(out, style);
  for (const auto& sheet : globals.boundSheets) WriteRecord(out, sheet);
  if (globals.supBook) WriteRecord(out, *globals.supBook);
  if (globals.externSheet) WriteRecord(out, *globals.externSheet);
  for (const auto& name : globals.names) WriteRecord(out, name);
  WriteSharedStringTable(out, globals.sst);
  WriteRecord(out, YEOF{});
}

void Worksheet::Index::WriteData(Stream& out) const {
  out.U32(0);
  out.U32(firstRow);
  out.U32(lastRowPlusOne);
  out.U32(0);
  for (std::uint32_t p : dbCellPositions) out.U32(p);
}

void Worksheet::WsBool::WriteData(Stream& out) const { out.U16(options); }

void Worksheet::HCenter::WriteData(Stream& out) const { out.U16(centred); }

void Worksheet::Setup::WriteData(Stream& out) const {
  for (std::uint16_t v : {paperSize, scale, pageStart, fitWidth, fitHeight, options, resolution,
                          verticalResolution}) {
    out.U16(v);
  }
  out.F64(headerMargin);
  out.F64(footerMargin);
  out.U16(copies);
}

void WritePageSetup(Stream& out, const Worksheet::PageSetup& setup) {
  WriteRecord(out, setup.wsBool);
  WriteRecord(out, setup.hCenter);
  WriteRecord(out, setup.leftMargin);
  WriteRecord(out, setup.rightMargin);
  WriteRecord(out, setup.topMargin);
  WriteRecord(out, setup.bottomMargin);
  WriteRecord(out, setup.setup);
}

void Worksheet::ColInfo::WriteData(Stream& out) const {
  out.U16(firstColumn);
  out.U16(lastColumn);
  out.U16(width);
  out.U16(xfIndex);
  out.U16(options);
  out.U16(0);
}

void Worksheet::Dimensions::WriteData(Stream& out) const {
  out.U32(firstRow);
  out.U32(lastRowPlusOne);
  out.U16(firstColumn);
  out.U16(lastColumnPlusOne);
  out.U16(0);
}

void Row::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(firstColumn);
  out.U16(lastColumnPlusOne);
  out.U16(height);
  out.U16(0);
  out.U16(0);
  out.U32(options);
}

void Blank::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(column);
  out.U16(xfIndex);
}

void LabelSST::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(column);
  out.U16(xfIndex);
  out.U32(sstIndex);
}

void RK::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(column);
  out.U16(xfIndex);
  out.U32(rk);
}

void MulRK::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(firstColumn);
  for (const Cell& c : cells) {
    out.U16(c.xfIndex);
    out.U32(c.rk);
  }
  out.U16(static_cast<std::uint16_t>(firstColumn + cells.size() - 1));
}

void Number::WriteData(Stream& out) const {
  out.U16(row);
  out.U16(column);
  out.U16(xfIndex);
  out.F64(value);
}

void DBCell::WriteData(Stream& out) const {
  out.U32(firstRowOffset);
  for (std::uint16_t o : cellOffsets) out.U16(o);
}

void Worksheet::Window2::WriteData(Stream& out) const {
  out.U16(options);
  out.U16(firstRow);
  out.U16(firstColumn);
  out.U16(gridColour);
  out.U16(0);
  out.U16(pageBreakZoom);
  out.U16(normalZoom);
  out.U32(0);
}

std::size_t CellRecordSize(const CellRecord& record) {
  return std::visit([](const auto& r) { return RecordSize(r.DataSize()); }, record);
}

void WriteCellRecord(Stream& out, const CellRecord& record) {
  std::visit([&out](const auto& r) { WriteRecord(out, r); }, record);
}

void WriteMergedCells(Stream& out, const Worksheet::MergedCells& merged) {
  const auto& ranges = merged.ranges;
  for (std::size_t first = 0; first < ranges.size(); first += Worksheet::MergedCells::kMaxRanges) {
    std::size_t count = std::min(Worksheet::MergedCells::kMaxRanges, ranges.size() - first);
    out.U16(Worksheet::MergedCells::kType);
    out.U16(static_cast<std::uint16_t>(2 + 8 * count));
    out.U16(static_cast<std::uint16_t>(count));
    for (std::size_t i = first; i < first + count; ++i) {
      out.U16(ranges[i].firstRow);
      out.U16(ranges[i].lastRow);
      out.U16(ranges[i].firstColumn);
      out.U16(ranges[i].lastColumn);
    }
  }
}

// [MS-XLS] 2.1.7.20.5 CELLTABLE: blocks of up to 32 rows, each closed by a DBCELL that
// points back at its first ROW and at each row's first cell record.
void WriteCellTable(Stream& out, const Worksheet::CellTable& table,
                    std::vector<std::uint32_t>& dbCellPositions) {
  dbCellPositions.clear();
  std::vector<CellRecord> cells;
  constexpr std::uint32_t kBlockRows = Worksheet::CellTable::RowBlock::kRows;
  for (std::uint32_t first = 0; first < table.rowCount; first += kBlockRows) {
    std::uint32_t last = std::min(table.rowCount, first + kBlockRows);
    std::size_t blockStart = out.Position();
    for (std::uint32_t r = first; r < last; ++r) {
      Row row;
      row.row = static_cast<std::uint16_t>(r);
      row.lastColumnPlusOne = table.columnCount;
      WriteRecord(out, row);
    }
    DBCell dbCell;
    dbCell.cellOffsets.push_back(static_cast<std::uint16_t>(20 * (last - first - 1)));
    for (std::uint32_t r = first; r < last; ++r) {
      std::size_t rowStart = out.Position();
      cells.clear();
      if (table.source != nullptr) table.source->RowCells(r, cells);
      for (const CellRecord& cell : cells) WriteCellRecord(out, cell);
      if (r + 1 < last) {
        dbCell.cellOffsets.push_back(static_cast<std::uint16_t>(out.Position() - rowStart));
      }
    }
    dbCell.firstRowOffset = static_cast<std::uint32_t>(out.Position() - blockStart);
    dbCellPositions.push_back(static_cast<std::uint32_t>(out.Position()));
    WriteRecord(out, dbCell);
  }
}

void WriteWorksheet(Stream& out, const Worksheet& sheet,
                    std::vector<std::uint32_t>& dbCellPositions) {
  WriteRecord(out, sheet.bof);
  WriteRecord(out, sheet.index);
  if (sheet.pageSetup) WritePageSetup(out, *sheet.pageSetup);
  for (const auto& colInfo : sheet.colInfos) WriteRecord(out, colInfo);
  WriteRecord(out, sheet.dimensions);
  WriteCellTable(out, sheet.cellTable, dbCellPositions);
  WriteRecord(out, sheet.window2);
  WriteMergedCells(out, sheet.mergedCells);
  WriteRecord(out, YEOF{});
}

namespace {

// The RK number of [MS-XLS] 2.5.217 decodes to exactly this value.
double DecodeRK(std::uint32_t rk) {
  double v;
  if (rk & 2) {
    v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    v = std::bit_cast<double>(std::uint64_t{rk & 0xFFFFFFFCu} << 32);
  }
  return (rk & 1) ? v / 100.0 : v;
}

bool TryRK(double scaled, bool x100, double original, std::uint32_t& rk) {
  std::uint32_t flag = x100 ? 1 : 0;
  if (scaled >= -536870912.0 && scaled <= 536870911.0 && scaled == std::floor(scaled)) {
    auto n = static_cast<std::int32_t>(scaled);
    std::uint32_t candidate = (static_cast<std::uint32_t>(n) << 2) | 2 | flag;
    if (DecodeRK(candidate) == original) {
      rk = candidate;
      return true;
    }
  }
  auto bits = std::bit_cast<std::uint64_t>(scaled);
  if ((bits & 0x3FFFFFFFFull) == 0) {
    std::uint32_t candidate = static_cast<std::uint32_t>(bits >> 32) | flag;
    if (DecodeRK(candidate) == original) {
      rk = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

bool EncodeRK(double value, std::uint32_t& rk) {
  if (!std::isfinite(value)) return false;
  if (TryRK(value, false, value, rk)) return true;
  double scaled = value * 100.0;
  return std::isfinite(scaled) && TryRK(scaled, true, value, rk);
}

bool EncodeRK(std::int32_t value, std::uint32_t& rk) {
  return EncodeRK(static_cast<double>(value), rk);
}

}  // namespace YExcel
