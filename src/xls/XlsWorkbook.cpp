#include "xls/XlsWorkbook.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <system_error>

#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "platform/SaveTarget.h"
#include "xls/XlsInternal.h"

// ---- string pool -----------------------------------------------------------------------

std::uint32_t XlsStringPool::Add(std::u16string_view text) {
  static_assert(XlsCell::kMaxTextLength + kHeaderUnits <= kChunkUnits);
  std::size_t units = kHeaderUnits + text.size();
  if (units > kChunkUnits - m_chunkUsed) {
    if (m_chunks.size() == kMaxChunks) return 0;
    m_chunks.emplace_back(kChunkUnits);
    m_chunkUsed = m_chunks.size() == 1 ? 1 : 0;  // reference 0 means none
  }
  auto ref = static_cast<std::uint32_t>(((m_chunks.size() - 1) << kChunkShift) | m_chunkUsed);
  char16_t* at = m_chunks.back().data() + m_chunkUsed;
  at[0] = static_cast<char16_t>(text.size());
  std::copy(text.begin(), text.end(), at + kHeaderUnits);
  m_chunkUsed += units;
  return ref;
}

void XlsStringPool::Clear() {
  m_chunks.clear();
  m_chunkUsed = kChunkUnits;
}

// ---- cells -----------------------------------------------------------------------------

XlsCell::Data* XlsCell::Find() const {
  if (m_sheet == nullptr || m_row >= m_sheet->m_rows.size()) return nullptr;
  auto& row = m_sheet->m_rows[m_row];
  return m_column < row.size() ? &row[m_column] : nullptr;
}

XlsCell::Data& XlsCell::Get() {
  if (m_row >= m_sheet->m_rows.size()) m_sheet->m_rows.resize(m_row + 1);
  auto& row = m_sheet->m_rows[m_row];
  if (m_column >= row.size()) {
    // Rows are usually filled left to right to the sheet's width: one allocation each.
    if (row.capacity() == 0) row.reserve(std::max<std::size_t>(m_column + 1, m_sheet->m_columnCount));
    row.resize(m_column + 1);
  }
  return row[m_column];
}

bool XlsCell::SetText(std::u16string_view text) {
  if (m_sheet == nullptr || text.size() > kMaxTextLength) return false;
  if (text.empty()) {
    Get().kind = Kind::Undefined;
    return true;
  }
  std::uint32_t ref = m_sheet->m_pool.Add(text);
  if (ref == 0) return false;
  Data& d = Get();
  d.text = ref;
  d.kind = Kind::Text;
  return true;
}

bool XlsCell::SetInteger(std::int32_t value) {
  if (m_sheet == nullptr) return false;
  Data& d = Get();
  d.integer = value;
  d.kind = Kind::Integer;
  return true;
}

bool XlsCell::SetReal(double value) {
  if (m_sheet == nullptr || !std::isfinite(value)) return false;
  Data& d = Get();
  d.real = value;
  d.kind = Kind::Real;
  return true;
}

void XlsCell::Clear() {
  if (Data* d = Find()) d->kind = Kind::Undefined;
}

void XlsCell::SetXFIndex(std::uint16_t xfIndex) {
  if (m_sheet != nullptr) Get().xfIndex = xfIndex;
}

void XlsCell::SetMergedRows(std::uint16_t rows) {
  if (m_sheet != nullptr) Get().mergedRows = rows == 0 ? 1 : rows;
}

void XlsCell::SetMergedColumns(std::uint16_t columns) {
  if (m_sheet != nullptr) Get().mergedColumns = columns == 0 ? 1 : columns;
}

XlsCell::Kind XlsCell::GetKind() const {
  const Data* d = Find();
  return d ? d->kind : Kind::Undefined;
}

std::u16string_view XlsCell::GetText() const {
  const Data* d = Find();
  return d && d->kind == Kind::Text ? m_sheet->m_pool.Get(d->text) : std::u16string_view();
}

std::int32_t XlsCell::GetInteger() const {
  const Data* d = Find();
  return d && d->kind == Kind::Integer ? d->integer : 0;
}

double XlsCell::GetReal() const {
  const Data* d = Find();
  return d && d->kind == Kind::Real ? d->real : 0.0;
}

std::uint16_t XlsCell::GetXFIndex() const {
  const Data* d = Find();
  return d ? d->xfIndex : 0;
}

std::uint16_t XlsCell::GetMergedRows() const {
  const Data* d = Find();
  return d ? d->mergedRows : 1;
}

std::uint16_t XlsCell::GetMergedColumns() const {
  const Data* d = Find();
  return d ? d->mergedColumns : 1;
}

// ---- sheets ----------------------------------------------------------------------------

XlsWorksheet::XlsWorksheet(XlsStringPool& pool, std::uint32_t index) : m_pool(pool), m_index(index) {}

XlsWorksheet::~XlsWorksheet() = default;

XlsCell XlsWorksheet::Cell(std::uint32_t row, std::uint32_t column) {
  if (row >= kMaxRows || column >= kMaxColumns) return XlsCell();
  if (column >= m_columnCount) m_columnCount = column + 1;
  if (row >= m_rowCount) m_rowCount = row + 1;
  return XlsCell(this, row, static_cast<std::uint16_t>(column));
}

bool XlsWorksheet::SetColWidth(std::uint16_t column, std::uint16_t width) {
  if (column >= kMaxColumns) return false;
  m_colWidths.push_back({column, width});
  return true;
}

bool XlsWorksheet::SetPageSetup(const XlsPageSetup& setup) {
  constexpr double kMaxMarginInches = 100.0;  // a sheet of paper's margin, not a typo's
  for (double inches : {setup.leftMargin, setup.rightMargin, setup.topMargin, setup.bottomMargin,
                        setup.headerMargin, setup.footerMargin}) {
    if (!std::isfinite(inches) || inches < 0.0 || inches >= kMaxMarginInches) return false;
  }
  if (setup.titleRows && setup.titleRows->first > setup.titleRows->last) return false;
  m_pageSetup = setup;
  return true;
}

// ---- workbook --------------------------------------------------------------------------

XlsWorkbook::XlsWorkbook()
    : m_globals(std::make_unique<YExcel::Workbook>()), m_pool(std::make_unique<XlsStringPool>()) {}

XlsWorkbook::~XlsWorkbook() = default;

void XlsWorkbook::New() {
  m_sheets.clear();
  m_pool->Clear();
  m_globals = std::make_unique<YExcel::Workbook>();
  m_globals->fonts.resize(1);
  m_globals->xfs.resize(21);
  m_globals->styles.resize(6);
  AddWorksheet();
}

XlsWorksheet& XlsWorkbook::AddWorksheet() {
  if (m_sheets.empty() && m_globals->fonts.empty()) {
    New();
    return *m_sheets.back();
  }
  auto index = static_cast<std::uint32_t>(m_sheets.size());
  m_sheets.push_back(std::unique_ptr<XlsWorksheet>(new XlsWorksheet(*m_pool, index)));
  YExcel::Workbook::BoundSheet bound;
  std::string digits = std::to_string(index + 1);
  bound.name = u"Sheet" + std::u16string(digits.begin(), digits.end());
  m_globals->boundSheets.push_back(bound);
  return *m_sheets.back();
}

void XlsWorkbook::Close() {}

namespace {

using CellData = XlsWorkbookAccess::CellData;

// Turns one sheet's stored cells into cell records as the writer asks for each row.
class SheetCells : public YExcel::Worksheet::CellTable::Source {
 public:
  SheetCells(const std::vector<std::vector<CellData>>& rows, std::uint32_t columns,
             const XlsStringPool& pool)
      : m_rows(rows), m_columns(columns), m_pool(pool) {}

  void RowCells(std::uint32_t r, std::vector<YExcel::CellRecord>& out) const override {
    static const std::vector<CellData> kNoCells;
    const auto& row = r < m_rows.size() ? m_rows[r] : kNoCells;
    const CellData kUndefined;
    auto row16 = static_cast<std::uint16_t>(r);
    std::uint32_t c = 0;
    while (c < m_columns) {
      const CellData& d = c < row.size() ? row[c] : kUndefined;
      auto col16 = static_cast<std::uint16_t>(c);
      std::uint32_t rk = 0;
      switch (d.kind) {
        case XlsCell::Kind::Undefined:
          out.push_back(YExcel::Blank{row16, col16, d.xfIndex});
          ++c;
          break;
        case XlsCell::Kind::Text:
          out.push_back(YExcel::LabelSST{row16, col16, d.xfIndex, m_pool.Mark(d.text)});
          ++c;
          break;
        case XlsCell::Kind::Integer:
        case XlsCell::Kind::Real:
          if (!ToRK(d, rk)) {
            out.push_back(YExcel::Number{row16, col16, d.xfIndex, Value(d)});
            ++c;
            break;
          }
          {
            // Adjacent numbers of one kind that all have an RK form share one MULRK.
            YExcel::MulRK run;
            run.row = row16;
            run.firstColumn = col16;
            run.cells.push_back({d.xfIndex, rk});
            for (++c; c < row.size() && c < m_columns; ++c) {
              const CellData& next = row[c];
              if (next.kind != d.kind) break;
              if (!ToRK(next, rk)) break;
              run.cells.push_back({next.xfIndex, rk});
            }
            if (run.cells.size() == 1) {
              out.push_back(YExcel::RK{row16, col16, run.cells[0].xfIndex, run.cells[0].rk});
            } else {
              out.push_back(std::move(run));
            }
          }
          break;
      }
    }
  }

 private:
  static double Value(const CellData& d) {
    return d.kind == XlsCell::Kind::Integer ? static_cast<double>(d.integer) : d.real;
  }
  // Reals become RK only when they have at most two decimals, as the whole parts of
  // value x 100 and value x 10000 tell; 0.125 stays a NUMBER although RK could hold it.
  static bool ToRK(const CellData& d, std::uint32_t& rk) {
    if (d.kind == XlsCell::Kind::Integer) return YExcel::EncodeRK(d.integer, rk);
    double hundredths = std::trunc(d.real * 100.0);
    if (hundredths * 100.0 != std::trunc(d.real * 10000.0)) return false;
    return YExcel::EncodeRK(d.real, rk);
  }

  const std::vector<std::vector<CellData>>& m_rows;
  std::uint32_t m_columns;
  const XlsStringPool& m_pool;  // marked with each text's shared-string index
};

// Hash of a text's units, eight bytes at a time.
std::uint32_t HashText(std::u16string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t n = 2 * text.size();
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  std::uint64_t w = 0;
  std::memcpy(&w, p, n);
  h = (h ^ w) * 0x94D049BB133111EBull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  return static_cast<std::uint32_t>(h >> 32);
}

// Gives every text cell its shared-string index: equal texts share one entry, entries
// in the order the cells are written. The table is far larger than the caches, so the
// slot of the text eight cells ahead is fetched while this one is looked up.
void ShareStrings(XlsStringPool& pool, std::span<const std::uint32_t> refs,
                  YExcel::Workbook::SharedStringTable& sst) {
  struct Slot {
    std::uint32_t ref;  // the first cell's text; 0 is empty
    std::uint32_t hash;
  };
  const std::size_t count = refs.size();
  const std::uint64_t slots = std::max<std::uint64_t>(1024, count + count / 2);
  BigArray<Slot> table(slots);
  auto home = [slots](std::uint32_t hash) { return static_cast<std::size_t>((hash * slots) >> 32); };
  constexpr std::size_t kAhead = 8;
  std::uint32_t hashes[2 * kAhead];
  auto fetch = [&](std::size_t k) {
    std::uint32_t h = HashText(pool.Get(refs[k]));
    hashes[k % (2 * kAhead)] = h;
    __builtin_prefetch(&table[home(h)], 1);
  };
  for (std::size_t k = 0; k < std::min(count, kAhead); ++k) fetch(k);
  sst.totalCount = static_cast<std::uint32_t>(count);
  for (std::size_t k = 0; k < count; ++k) {
    if (k + kAhead < count) fetch(k + kAhead);
    std::uint32_t ref = refs[k];
    std::uint32_t hash = hashes[k % (2 * kAhead)];
    std::u16string_view text = pool.Get(ref);
    for (std::size_t i = home(hash);; i = i + 1 == slots ? 0 : i + 1) {
      Slot& slot = table[i];
      if (slot.ref == 0) {
        slot = {ref, hash};
        pool.SetMark(ref, static_cast<std::uint32_t>(sst.strings.size()));
        sst.strings.push_back({text, false});
        break;
      }
      if (slot.hash == hash && (slot.ref == ref || pool.Get(slot.ref) == text)) {
        pool.SetMark(ref, pool.Mark(slot.ref));
        break;
      }
    }
  }
}

}  // namespace

namespace {

YExcel::Worksheet::PageSetup PageSetupRecords(const XlsPageSetup& setup) {
  YExcel::Worksheet::PageSetup records;
  const bool fitted = setup.fitWidth != 0 || setup.fitHeight != 0;
  if (fitted) records.wsBool.options |= YExcel::Worksheet::WsBool::kFitToPage;
  records.hCenter.centred = setup.centredHorizontally ? 1 : 0;
  records.leftMargin.inches = setup.leftMargin;
  records.rightMargin.inches = setup.rightMargin;
  records.topMargin.inches = setup.topMargin;
  records.bottomMargin.inches = setup.bottomMargin;
  YExcel::Worksheet::Setup& page = records.setup;
  page.paperSize = setup.paperSize;
  page.fitWidth = setup.fitWidth;
  page.fitHeight = setup.fitHeight;
  if (setup.orientation == XlsPageSetup::Orientation::Landscape) {
    page.options = static_cast<std::uint16_t>(page.options & ~YExcel::Worksheet::Setup::kPortrait);
  }
  page.headerMargin = setup.headerMargin;
  page.footerMargin = setup.footerMargin;
  return records;
}

// Print titles are names in the globals that point at their sheet through a link to this
// workbook itself: one XTI and one Print_Titles name per sheet that has them.
void PrintTitles(YExcel::Workbook& globals, const std::vector<std::unique_ptr<XlsWorksheet>>& sheets) {
  globals.supBook.reset();
  globals.externSheet.reset();
  globals.names.clear();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const auto& setup = sheets[i]->GetPageSetup();
    if (!setup || !setup->titleRows) continue;
    if (!globals.externSheet) globals.externSheet.emplace();
    auto sheet = static_cast<std::uint16_t>(i);
    YExcel::Workbook::Lbl name;
    name.sheet = static_cast<std::uint16_t>(sheet + 1);
    name.externSheet = static_cast<std::uint16_t>(globals.externSheet->refs.size());
    name.firstRow = setup->titleRows->first;
    name.lastRow = setup->titleRows->last;
    globals.externSheet->refs.push_back({0, sheet, sheet});
    globals.names.push_back(name);
  }
  if (globals.externSheet) {
    globals.supBook.emplace();
    globals.supBook->sheetCount = static_cast<std::uint16_t>(sheets.size());
  }
}

}  // namespace

BigArray<std::uint8_t> XlsWorkbookAccess::BuildStream(XlsWorkbook& book) {
  YExcel::Workbook& globals = *book.m_globals;
  XlsStringPool& pool = *book.m_pool;

  // Shared strings in the order cells are written; equal texts share one entry.
  std::size_t cells = 0;
  for (const auto& sheet : book.m_sheets) {
    for (const auto& row : sheet->m_rows) cells += std::min<std::size_t>(row.size(), sheet->m_columnCount);
  }
  BigArray<std::uint32_t> refs(cells);
  std::size_t texts = 0;
  for (const auto& sheet : book.m_sheets) {
    for (const auto& row : sheet->m_rows) {
      for (std::size_t c = 0; c < row.size() && c < sheet->m_columnCount; ++c) {
        if (row[c].kind == XlsCell::Kind::Text) refs[texts++] = row[c].text;
      }
    }
  }
  globals.sst = {};
  globals.sst.strings.reserve(texts);
  ShareStrings(pool, {refs.data(), texts}, globals.sst);
  refs = {};

  std::vector<YExcel::Worksheet> sheets(book.m_sheets.size());
  std::vector<SheetCells> sources;
  sources.reserve(book.m_sheets.size());
  for (std::size_t i = 0; i < book.m_sheets.size(); ++i) {
    const XlsWorksheet& model = *book.m_sheets[i];
    YExcel::Worksheet& ws = sheets[i];
    std::uint32_t rows = model.m_rowCount;
    std::uint32_t columns = model.m_columnCount;
    ws.index.firstRow = 0;
    ws.index.lastRowPlusOne = rows;
    ws.index.dbCellPositions.assign((rows + 31) / 32, 0);
    if (model.m_pageSetup) ws.pageSetup = PageSetupRecords(*model.m_pageSetup);
    for (const auto& w : model.m_colWidths) {
      YExcel::Worksheet::ColInfo info;
      info.firstColumn = info.lastColumn = w.column;
      info.width = w.width;
      ws.colInfos.push_back(info);
    }
    ws.dimensions.firstRow = 0;
    ws.dimensions.lastRowPlusOne = rows;
    ws.dimensions.firstColumn = 0;
    ws.dimensions.lastColumnPlusOne = static_cast<std::uint16_t>(columns);
    if (i > 0) ws.window2.options &= static_cast<std::uint16_t>(~YExcel::Worksheet::Window2::kSelected);
    sources.emplace_back(model.m_rows, columns, pool);
    ws.cellTable.rowCount = rows;
    ws.cellTable.columnCount = static_cast<std::uint16_t>(columns);
    ws.cellTable.source = &sources.back();
    for (std::uint32_t r = 0; r < model.m_rows.size(); ++r) {
      const auto& row = model.m_rows[r];
      for (std::uint32_t c = 0; c < row.size(); ++c) {
        if (row[c].mergedRows <= 1 && row[c].mergedColumns <= 1) continue;
        // Spans are cut at the sheet's edge instead of wrapping around 16 bits.
        std::uint32_t lastRow = std::min(r + row[c].mergedRows - 1, XlsWorksheet::kMaxRows - 1);
        std::uint32_t lastColumn = std::min(c + row[c].mergedColumns - 1, XlsWorksheet::kMaxColumns - 1);
        ws.mergedCells.ranges.push_back({static_cast<std::uint16_t>(r), static_cast<std::uint16_t>(lastRow),
                                         static_cast<std::uint16_t>(c), static_cast<std::uint16_t>(lastColumn)});
      }
    }
  }

  PrintTitles(globals, book.m_sheets);

  // Measure first: every sheet's BOF and DBCELL positions, then write with them in place.
  YExcel::Stream counter;
  WriteWorkbook(counter, globals);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    globals.boundSheets[i].position = static_cast<std::uint32_t>(counter.Position());
    WriteWorksheet(counter, sheets[i], sheets[i].index.dbCellPositions);
  }
  BigArray<std::uint8_t> stream(counter.Position());
  YExcel::Stream out(stream.data());
  WriteWorkbook(out, globals);
  std::vector<std::uint32_t> written;
  for (auto& sheet : sheets) {
    WriteWorksheet(out, sheet, written);
  }
  globals.sst = {};  // its views point into the pool
  return stream;
}

namespace {

// A new, empty file beside target that no one else has opened.
bool ReserveTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    temporary = target;
    temporary.replace_filename(std::filesystem::path(".").concat(target.filename().native()).concat(suffix));
    std::FILE* f = CreateNewFile(temporary, FileAccess::Shared);
    if (f != nullptr) {
      std::fclose(f);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

Status WriteCompoundFile(const std::filesystem::path& path, std::span<const std::uint8_t> stream) {
  CompoundFile file;
  bool ok = file.Create(path) && file.MakeFile(u"Workbook") == CompoundFile::kOk &&
            file.WriteFile(u"Workbook", stream) == CompoundFile::kOk && file.Sync();
  ok = file.Close() && ok;
  if (ok) return {};
  if (file.LastErrno() != 0) return Status::SystemFailure({file.LastErrno(), std::generic_category()});
  return Status::Failure("Dosyaya yazılamadı.");
}

}  // namespace

bool XlsWorkbook::SaveAs(const std::filesystem::path& path) { return Save(path).ok(); }

Status XlsWorkbook::Save(const std::filesystem::path& path) {
  m_path = path;
  if (m_sheets.empty()) return Status::Failure("Çalışma kitabında sayfa yok.");
  if (path.filename().empty()) return Status::Failure("Dosya adı yok.");
  Result<SaveTarget> target = ResolveSaveTarget(path);
  if (!target) return target.status();
  BigArray<std::uint8_t> stream = XlsWorkbookAccess::BuildStream(*this);
  if (stream.size() > CompoundFile::kMaxStreamSize) {
    return Status::Failure("Çalışma kitabı bir Excel 97-2003 dosyasının alabileceğinden büyük.",
                           std::make_error_code(std::errc::file_too_large));
  }
  std::filesystem::path temporary;
  if (!ReserveTemporary(target->file, temporary)) return Status::SystemFailure({errno, std::generic_category()});
  const int cleanup = RemoveOnInterrupt(temporary);
  Status status = CarryOverMode(temporary, target.value());
  if (status) status = WriteCompoundFile(temporary, stream.span());
  std::error_code error;
  if (status) {
    status = ReplaceWith(temporary, target->file);
  }
  if (!status) std::filesystem::remove(temporary, error);
  UnregisterOnInterrupt(cleanup);
  return status;
}
