// Both forms share their fonts, cell formats and header style; they differ in layout and
// in the rows behind them. Every value is written as text, formatted here.
#include "forms/FormExport.h"

#include <optional>
#include <set>

#include "jobdata/JobIndex.h"
#include "platform/Files.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "xls/XlsFormatManager.h"
#include "xls/XlsWorkbook.h"

namespace {

constexpr int kFormDecimals = 3;
constexpr int kFirstDataRow = 2;
constexpr const char* kZoneMark = "@";  // stands for the central meridian in header texts

enum class Size { Small, Medium, Large };

struct HeaderCell {
  std::uint16_t row;
  std::uint16_t column;
  const char* text;  // UTF-8
  Size size;
  std::uint16_t mergedRows;
  std::uint16_t mergedColumns;
  int width;  // 1/256 character; 0 sets no width
};

// In the order the cells and widths are written.
const std::vector<HeaderCell> kDetailHeader = {
    {0, 0, "NOKTA NO", Size::Medium, 2, 1, 3000},
    {0, 1, "OKUMA ZAMANI(UTC)", Size::Medium, 2, 1, 3437},
    {0, 2, "EPOK SAYISI", Size::Medium, 2, 1, 1426},
    {0, 3, "VERİ TOPLAMA ARALIĞI (sn)", Size::Small, 2, 1, 1682},
    {0, 4, "UYDU SAYISI (GPS/GLO)", Size::Small, 2, 1, 2450},
    {0, 5, "RMS (m)", Size::Large, 2, 1, 1499},
    {0, 6, "PDOP", Size::Large, 2, 1, 1755},
    {0, 7, "TAMSAYI BELİRSİZLİK ÇÖZÜM DURUMU", Size::Small, 2, 1, 2011},
    {0, 8, "Mountpoint (VRS,FKP,MAC) TUSAGA-Aktif Sistemi Yayın Bağlantı Noktası", Size::Small, 2, 1, 2011},
    {0, 9, "KOORDİNAT (ITRF_@_3)", Size::Large, 1, 3, 3035},
    {1, 9, "SAĞA DEĞER (y) (m)", Size::Large, 1, 1, 0},
    {1, 10, "YUKARI DEĞER (x) (m)", Size::Large, 1, 1, 3035},
    {1, 11, "ELİPSOİT YÜKSEKLİĞİ (h) (m)", Size::Large, 1, 1, 3072},
};

const std::vector<HeaderCell> kPolygonHeader = {
    {0, 0, "NOKTA NO", Size::Medium, 2, 1, 3000},
    {0, 1, "OTURUM NO", Size::Medium, 2, 1, 1865},
    {0, 2, "OKUMA ZAMANI(UTC)", Size::Medium, 2, 1, 3437},
    {0, 3, "EPOK SAYISI", Size::Medium, 2, 1, 1426},
    {0, 4, "VERİ TOPLAMA ARALIĞI (sn)", Size::Small, 2, 1, 1682},
    {0, 5, "UYDU SAYISI (GPS/GLO)", Size::Small, 2, 1, 2450},
    {0, 6, "RMS (m)", Size::Large, 2, 1, 1499},
    {0, 7, "PDOP", Size::Large, 2, 1, 1755},
    {0, 8, "TAMSAYI BELİRSİZLİK ÇÖZÜM DURUMU", Size::Small, 2, 1, 2011},
    {0, 9, "Mountpoint (VRS,FKP,MAC) TUSAGA-Aktif Sistemi Yayın Bağlantı Noktası", Size::Small, 2, 1, 2011},
    {0, 10, "KOORDİNAT (ITRF_@_3)", Size::Large, 1, 3, 3035},
    {1, 10, "SAĞA DEĞER (y) (m)", Size::Large, 1, 1, 0},
    {1, 11, "YUKARI DEĞER (x) (m)", Size::Large, 1, 1, 3035},
    {1, 12, "ELİPSOİT YÜKSEKLİĞİ (h) (m)", Size::Large, 1, 1, 3072},
    {0, 13, "KESİN KOORDİNAT (ITRF_@_3)", Size::Large, 1, 3, 2742},
    {1, 13, "SAĞA DEĞER (y) (m)", Size::Large, 1, 1, 0},
    {1, 14, "YUKARI DEĞER (x) (m)", Size::Large, 1, 1, 3035},
    {1, 15, "ELİPSOİT YÜKSEKLİĞİ (h) (m)", Size::Large, 1, 1, 3072},
};

std::u16string FromUtf8(std::string_view utf8) { return text::Cp1254ToUtf16(text::Utf8ToCp1254(utf8)); }

std::string Fixed(double value) { return text::FormatFixed(value, kFormDecimals); }

std::string Satellites(const CTarvekNokta& p) {
  return text::FormatInt(p.nGpsSats) + "/" + text::FormatInt(p.nGlonassSats);
}

// The three header formats: Arial at 6, 8 and 10 points, wrapped, bottom-aligned.
class HeaderFormats {
 public:
  explicit HeaderFormats(XlsWorkbook& book)
      : m_manager(book), m_small(m_manager), m_medium(m_manager), m_large(m_manager) {
    Setup(m_small, 120);
    Setup(m_medium, 160);
    Setup(m_large, 200);
  }

  std::uint16_t XFIndex(Size size) {
    switch (size) {
      case Size::Small: return m_small.GetXFIndex();
      case Size::Medium: return m_medium.GetXFIndex();
      case Size::Large: break;
    }
    return m_large.GetXFIndex();
  }

 private:
  void Setup(XlsCellFormat& format, std::uint16_t height) {
    XlsFont font;
    font.name = u"Arial";
    font.height = height;
    format.SetFontIndex(m_manager.GetFontIndex(font));
    format.SetFormatIndex(0);
    format.SetAlignment(0x28);  // general, wrapped, bottom
    format.SetRotation(0);
    format.SetTextProperties(0);
    format.SetBorderLines(0);
    format.SetColourWord1(0);
    format.SetColourWord2(0x20C0);
  }

  XlsFormatManager m_manager;
  XlsCellFormat m_small;
  XlsCellFormat m_medium;
  XlsCellFormat m_large;
};

void WriteHeader(XlsWorkbook& book, const std::vector<HeaderCell>& header, const std::string& meridian) {
  HeaderFormats formats(book);
  XlsWorksheet& sheet = book.GetWorksheet(0);
  for (const HeaderCell& h : header) {
    std::string text = h.text;
    if (auto at = text.find(kZoneMark); at != std::string::npos) text.replace(at, 1, meridian);
    XlsCell cell = sheet.Cell(h.row, h.column);
    cell.SetText(FromUtf8(text));
    cell.SetXFIndex(formats.XFIndex(h.size));
    if (h.mergedRows > 1) cell.SetMergedRows(h.mergedRows);
    if (h.mergedColumns > 1) cell.SetMergedColumns(h.mergedColumns);
    if (h.width) sheet.SetColWidth(h.column, static_cast<std::uint16_t>(h.width));
  }
}

bool SetText(XlsWorksheet& sheet, std::uint32_t row, std::uint32_t column, const std::string& cp1254) {
  return sheet.Cell(row, column).SetText(text::Cp1254ToUtf16(cp1254));
}

bool SetSpanningText(XlsWorksheet& sheet, std::uint32_t row, std::uint32_t column, const std::string& cp1254) {
  XlsCell cell = sheet.Cell(row, column);
  cell.SetMergedRows(2);
  return cell.SetText(text::Cp1254ToUtf16(cp1254));
}

// Columns first to first + 10 of one observation: time to height.
bool WriteObservation(XlsWorksheet& sheet, std::uint32_t row, std::uint32_t first, const CTarvekNokta& p) {
  const std::string cells[] = {p.strTime,          text::FormatInt(p.nEpochs), text::FormatInt(1),
                               Satellites(p),      Fixed(p.dRms),              Fixed(p.dPdop),
                               p.strSolution,      p.strMethod,                Fixed(p.dY),
                               Fixed(p.dX),        Fixed(p.dHeight)};
  bool written = true;
  for (std::uint32_t i = 0; i < std::size(cells); ++i) written &= SetText(sheet, row, first + i, cells[i]);
  return written;
}

Status SaveFailure(const std::filesystem::path& path, const std::string& cause) {
  return Status::Failure("Excel dosyası kaydedilemedi: " + PathToUtf8(path) + "\n" + cause);
}

// A4 across, shrunk to one page wide, narrow margins, the two header rows on every page:
// the forms go to the authority on paper and must print as they are.
void SetFormPageSetup(XlsWorksheet& sheet) {
  XlsPageSetup setup;
  setup.orientation = XlsPageSetup::Orientation::Landscape;
  setup.paperSize = 9;  // A4
  setup.fitWidth = 1;
  setup.fitHeight = 0;
  setup.leftMargin = setup.rightMargin = 0.25;
  setup.topMargin = setup.bottomMargin = 0.75;
  setup.headerMargin = setup.footerMargin = 0.3;
  setup.centredHorizontally = true;
  setup.titleRows = XlsPageSetup::Rows{0, kFirstDataRow - 1};
  sheet.SetPageSetup(setup);
}

Status Save(XlsWorkbook& book, const std::filesystem::path& path) {
  const Status saved = book.Save(path);
  book.Close();
  return saved ? saved : SaveFailure(path, saved.cause());
}

// A form must never take the place of the job data it was made from.
Status CheckTarget(const CVelmiraDoc& doc, const std::filesystem::path& path) {
  if (!doc.IsJobFileOrCopy(path)) return {};
  return SaveFailure(path, "Bu dosya yüklü bir TSJ dosyası ya da onun geçici kopyası; üzerine yazılmaz.");
}

// Excel cuts nothing silently either: a text longer than a cell holds refuses the form.
Status CheckTexts(const CTarvekNokta& p, const std::filesystem::path& path) {
  const std::pair<const std::string*, const char*> fields[] = {
      {&p.strName, "adı"}, {&p.strTime, "okuma zamanı"}, {&p.strSolution, "çözüm durumu"}, {&p.strMethod, "ölçü yöntemi"}};
  for (const auto& [value, label] : fields) {
    if (value->size() <= XlsCell::kMaxTextLength) continue;
    constexpr size_t kShown = 40;
    const std::string shown = text::Cp1254ToUtf8(p.strName.substr(0, kShown)) + (p.strName.size() > kShown ? "…" : "");
    return SaveFailure(path, text::FormatInt(p.nIndex) + " numaralı noktanın (" + shown + ") " + label + " " +
                                 text::FormatInt(static_cast<std::int64_t>(value->size())) +
                                 " karakter; bir Excel hücresi en çok " +
                                 text::FormatInt(static_cast<std::int64_t>(XlsCell::kMaxTextLength)) + " karakter alır.");
  }
  return {};
}

// One zone for the whole form, so that its header names the zone of every row.
Result<std::string> CommonMeridian(const std::set<std::string>& meridians, const CVelmiraDoc& doc) {
  if (meridians.size() > 1) {
    std::string list;
    for (const std::string& m : meridians) list += (list.empty() ? "" : ", ") + m;
    return Status::Failure("Seçili noktalar farklı dilimlerde (" + list + "); form tek bir dilim için yazılır.");
  }
  return meridians.empty() ? doc.m_strMeridian : *meridians.begin();
}

// Rows past the sheet's last one would be dropped without a word.
Status FitsOnSheet(size_t dataRows) {
  if (dataRows <= XlsWorksheet::kMaxRows - kFirstDataRow) return {};
  return Status::Failure("Form bir sayfaya sığmıyor: en çok " + text::FormatInt(XlsWorksheet::kMaxRows - kFirstDataRow) +
                         " veri satırı yazılabilir, seçilen " + text::FormatInt(static_cast<std::int64_t>(dataRows)) + ".");
}

}  // namespace

Status WriteDetailForm(const CVelmiraDoc& doc, const std::vector<PointKey>& rows, const std::filesystem::path& path) {
  if (Status target = CheckTarget(doc, path); !target) return target;
  std::vector<const CTarvekNokta*> points;
  std::set<std::string> meridians;
  // A form looks up every row, so a walk over the whole list per row would make large
  // forms quadratic.
  const JobIndex index(doc);
  for (const PointKey& key : rows) {
    const CTarvekNokta* p = index.Point(key.nIndex, key.nFileNumber);
    if (!p) continue;
    if (Status fits = CheckTexts(*p, path); !fits) return fits;
    points.push_back(p);
    meridians.insert(p->strMeridian);
  }
  const Result<std::string> meridian = CommonMeridian(meridians, doc);
  if (!meridian) return meridian.status();
  if (Status fits = FitsOnSheet(points.size()); !fits) return fits;

  XlsWorkbook book;
  book.New();
  WriteHeader(book, kDetailHeader, meridian.value());
  XlsWorksheet& sheet = book.GetWorksheet(0);
  std::uint32_t row = kFirstDataRow;
  bool written = true;
  for (const CTarvekNokta* p : points) {
    written &= SetText(sheet, row, 0, p->strName);
    written &= WriteObservation(sheet, row, 1, *p);
    ++row;
  }
  if (!written) return SaveFailure(path, "Bir hücre yazılamadı.");
  SetFormPageSetup(sheet);
  return Save(book, path);
}

Status WritePolygonForm(const CVelmiraDoc& doc, const std::vector<int>& pairNos, const std::filesystem::path& path) {
  if (Status target = CheckTarget(doc, path); !target) return target;
  struct Block {
    const CEslesenNokta* pair;
    const CTarvekNokta* p;
    const CTarvekNokta* q;
  };
  std::vector<Block> blocks;
  std::set<std::string> meridians;
  const JobIndex index(doc);
  for (int pairNo : pairNos) {
    const CEslesenNokta* found = index.Pair(pairNo);
    if (!found) continue;
    const CEslesenNokta& pair = *found;
    const CTarvekNokta* p = index.Point(pair.nIndex1);
    const CTarvekNokta* q = index.Point(pair.nIndex2);
    if (!p || !q) {
      return Status::Failure("Eşleştirilmiş " + text::FormatInt(pairNo) +
                             " numaralı çiftin noktası artık yüklü değil; eşleştirmeyi yeniden yapın.");
    }
    for (const CTarvekNokta* point : {p, q}) {
      if (Status fits = CheckTexts(*point, path); !fits) return fits;
    }
    blocks.push_back({&pair, p, q});
    meridians.insert(p->strMeridian);
    meridians.insert(q->strMeridian);
  }
  const Result<std::string> meridian = CommonMeridian(meridians, doc);
  if (!meridian) return meridian.status();
  if (Status fits = FitsOnSheet(blocks.size() * 2); !fits) return fits;

  XlsWorkbook book;
  book.New();
  WriteHeader(book, kPolygonHeader, meridian.value());
  XlsWorksheet& sheet = book.GetWorksheet(0);
  std::uint32_t row = kFirstDataRow;
  bool written = true;
  for (const Block& b : blocks) {
    written &= SetSpanningText(sheet, row, 0, b.p->strName);
    written &= SetText(sheet, row, 1, "1");
    written &= SetText(sheet, row + 1, 1, "2");
    written &= WriteObservation(sheet, row, 2, *b.p);
    written &= WriteObservation(sheet, row + 1, 2, *b.q);
    written &= SetSpanningText(sheet, row, 13, Fixed(b.pair->dMeanY));
    written &= SetSpanningText(sheet, row, 14, Fixed(b.pair->dMeanX));
    written &= SetSpanningText(sheet, row, 15, Fixed(b.pair->dMeanH));
    row += 2;
  }
  if (!written) return SaveFailure(path, "Bir hücre yazılamadı.");
  SetFormPageSetup(sheet);
  return Save(book, path);
}
