// The forms as xlrd reads them back.
#include <gtest/gtest.h>


#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "JobFileBuilder.h"
#include "ScriptedShell.h"
#include "TestDir.h"
#include "forms/FormExport.h"
#include "forms/FormZones.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "text/Numbers.h"
#include "xls/XlsWorkbook.h"
#include "support/Portable.h"

// A failed status fails the test with the cause it carries.
#define ASSERT_OK(status)                    \
  do {                                       \
    const Status ok_ = (status);             \
    ASSERT_TRUE(ok_.ok()) << ok_.cause();    \
  } while (0)

namespace fs = std::filesystem;

namespace {


// What the reader saw: texts by (row, column), merged ranges, widths, header fonts.
struct Form {
  int rows = 0, columns = 0;
  std::map<std::pair<int, int>, std::string> cells;  // JSON-quoted texts
  std::set<std::string> merges;                      // "r1 r2 c1 c2"
  std::map<int, int> widths;
  std::map<std::pair<int, int>, int> fontHeights;

  std::string Text(int r, int c) const {
    auto it = cells.find({r, c});
    return it == cells.end() ? "" : it->second.substr(1, it->second.size() - 2);
  }
};

Form ReadForm(const std::filesystem::path& file) {
  const std::string cmd = std::string(VELMIRA_PYTHON) + " " + VELMIRA_DUMP_FORM + " " + file.string();
  Form form;
  FILE* pipe = popen(cmd.c_str(), "r");
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe)) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    std::istringstream in(line);
    std::string kind;
    int a = 0, b = 0;
    in >> kind;
    if (kind == "size") {
      in >> form.rows >> form.columns;
    } else if (kind == "cell") {
      in >> a >> b;
      in.get();
      std::getline(in, form.cells[{a, b}]);
    } else if (kind == "merge") {
      form.merges.insert(line.substr(6));
    } else if (kind == "width") {
      in >> a >> b;
      form.widths[a] = b;
    } else if (kind == "font") {
      int h = 0;
      in >> a >> b >> h;
      form.fontHeights[{a, b}] = h;
    }
  }
  EXPECT_EQ(0, pclose(pipe)) << cmd;
  return form;
}

// Converts workbooks to tab-separated text with LibreOffice, in one start of it.
void ConvertWithLibreOffice(const std::vector<std::filesystem::path>& files, const std::filesystem::path& outDir) {
  std::string command = "LC_ALL=C.UTF-8 soffice -env:UserInstallation=file://" + (outDir / "lo-profile").string() +
                        " --headless --norestore --convert-to 'csv:Text - txt - csv (StarCalc):9,34,76,1'" +
                        " --outdir " + outDir.string();
  for (const auto& file : files) command += " " + file.string();
  EXPECT_EQ(0, std::system((command + " >/dev/null 2>&1").c_str()));
}

// LibreOffice's view of the first sheet, one vector of cell texts per row.
std::vector<std::vector<std::string>> ReadConverted(const std::filesystem::path& file,
                                                    const std::filesystem::path& outDir) {
  std::ifstream in(outDir / (file.stem().string() + ".csv"));
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) {
      if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') cell = cell.substr(1, cell.size() - 2);
      for (size_t at; (at = cell.find("\"\"")) != std::string::npos;) cell.erase(at, 1);
      cells.push_back(cell);
    }
    rows.push_back(cells);
  }
  return rows;
}

class FormTest : public ::testing::Test {
 protected:
  FormTest() : doc(shell, dir / "cache") {}

  void AddJob(const std::string& file, const std::vector<JobRow>& rows, const std::string& zone,
              std::optional<std::string> mountpoint = std::nullopt) {
    JobOptions options;
    options.zone = zone;
    if (mountpoint) {
      options.rtk = std::string("\x01\0\0\0", 4);
      options.mountpoint = mountpoint;
    }
    JobFileBuilder::Write(dir / file, rows, options);
    shell.files.push_back(dir / file);
    ASSERT_TRUE(doc.AddTsjFile());
  }

  static JobRow Row(const std::string& name, const std::string& lat, const std::string& seconds = "1719515159") {
    JobRow r;
    r.name = name;
    r.lat = lat;
    r.seconds = seconds;
    return r;
  }

  TestDir dir;
  ScriptedShell shell;
  CVelmiraDoc doc;
};

TEST_F(FormTest, DetailFormWritesTickedPointsInTableOrderWithTheirTexts) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  JobRow a = Row("K\xD6\xDE" "E", "39.5");  // KÖŞE in Windows-1254
  a.gps = "9";
  a.glonass = "6";
  a.xx = "0.000182";  // RMS 0.0234... written with three decimals
  a.yy = "0.000182";
  a.zz = "0.000184";
  JobRow b = Row("\xDD" "SKELE", "39.6");  // İSKELE
  AddJob("a.tsj", {a, b}, "TUREF TM30");
  const auto& p = doc.NoktaList();
  // The user sorted the table so that the second point comes first.
  ASSERT_OK(WriteDetailForm(doc, {{p[1].nIndex, 1}, {p[0].nIndex, 1}}, dir / "d.xls"));
  const Form form = ReadForm(dir / "d.xls");
  EXPECT_EQ(4, form.rows);
  EXPECT_EQ(12, form.columns);
  EXPECT_EQ("KOORDİNAT (ITRF_30_3)", form.Text(0, 9));
  EXPECT_EQ("VERİ TOPLAMA ARALIĞI (sn)", form.Text(0, 3));
  EXPECT_EQ("İSKELE", form.Text(2, 0));
  EXPECT_EQ("KÖŞE", form.Text(3, 0));
  EXPECT_EQ("27.6.2024 19:4", form.Text(3, 1));
  EXPECT_EQ("60", form.Text(3, 2));
  EXPECT_EQ("1", form.Text(3, 3));
  EXPECT_EQ("9/6", form.Text(3, 4));
  EXPECT_EQ("0.023", form.Text(3, 5));
  EXPECT_EQ("1.442", form.Text(3, 6));
  EXPECT_EQ("Fix", form.Text(3, 7));
  EXPECT_EQ("RTK", form.Text(3, 8));
  EXPECT_EQ(3u, form.Text(3, 9).size() - form.Text(3, 9).find('.') - 1);  // three decimals
  EXPECT_EQ("850.250", form.Text(3, 11));
}

TEST_F(FormTest, DetailHeaderHasItsSpansWidthsAndFonts) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  AddJob("a.tsj", {Row("A", "39.5")}, "TM33");
  ASSERT_OK(WriteDetailForm(doc, {}, dir / "d.xls"));
  const Form form = ReadForm(dir / "d.xls");
  EXPECT_EQ(2, form.rows);  // no ticked row: the header only
  for (int c = 0; c <= 8; ++c) EXPECT_TRUE(form.merges.count("0 1 " + std::to_string(c) + " " + std::to_string(c))) << c;
  EXPECT_TRUE(form.merges.count("0 0 9 11"));
  EXPECT_EQ(10u, form.merges.size());
  const std::map<int, int> widths = {{0, 3000}, {1, 3437}, {2, 1426}, {3, 1682}, {4, 2450}, {5, 1499},
                                     {6, 1755}, {7, 2011}, {8, 2011}, {9, 3035}, {10, 3035}, {11, 3072}};
  EXPECT_EQ(widths, form.widths);
  const std::map<std::pair<int, int>, int> fonts = {
      {{0, 0}, 160}, {{0, 1}, 160}, {{0, 2}, 160}, {{0, 3}, 120},  {{0, 4}, 120},  {{0, 5}, 200},  {{0, 6}, 200},
      {{0, 7}, 120}, {{0, 8}, 120}, {{0, 9}, 200}, {{1, 9}, 200}, {{1, 10}, 200}, {{1, 11}, 200}};
  EXPECT_EQ(fonts, form.fontHeights);
}

// The header named the zone of the job file added last, whatever the points' own zone.
TEST_F(FormTest, HeaderNamesTheZoneOfTheExportedPointsNotOfTheLastAddedFile) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  AddJob("a.tsj", {Row("A", "39.5")}, "TM30");
  AddJob("b.tsj", {Row("B", "39.5")}, "TM36");
  ASSERT_OK(WriteDetailForm(doc, {{doc.NoktaList()[0].nIndex, 1}}, dir / "d.xls"));
  EXPECT_EQ("KOORDİNAT (ITRF_30_3)", ReadForm(dir / "d.xls").Text(0, 9));
}

TEST_F(FormTest, PolygonFormWritesTwoRowsPerPairWithTheMeanSpanningThem) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  AddJob("a.tsj",
         {Row("K1", "39.50000000", "1719500000"), Row("K1", "39.50000010", "1719510000"),
          Row("K1", "39.50000030", "1719520000"), Row("D", "39.6")},
         "TM33", "VRSCMRP");
  doc.MatchSessions();
  ASSERT_EQ(3u, doc.EslesenList().size());  // three sessions: pairs 100, 101, 103
  ASSERT_OK(WritePolygonForm(doc, {101, 100}, dir / "p.xls"));
  const Form form = ReadForm(dir / "p.xls");
  EXPECT_EQ(6, form.rows);
  EXPECT_EQ(16, form.columns);
  EXPECT_EQ("KESİN KOORDİNAT (ITRF_33_3)", form.Text(0, 13));
  for (int r : {2, 4}) {
    EXPECT_EQ("K1", form.Text(r, 0));
    EXPECT_EQ("1", form.Text(r, 1));
    EXPECT_EQ("2", form.Text(r + 1, 1));
    EXPECT_EQ("", form.Text(r + 1, 0));
    EXPECT_EQ("VRSCMRP", form.Text(r + 1, 9));
    for (int c : {0, 13, 14, 15}) {
      EXPECT_TRUE(form.merges.count(std::to_string(r) + " " + std::to_string(r + 1) + " " + std::to_string(c) + " " +
                                    std::to_string(c)))
          << r << "," << c;
    }
  }
  // Pair 101 (sessions 1 and 3) comes first, as ticked; each row has its own session.
  EXPECT_EQ("27.6.2024 14:52", form.Text(2, 2));
  EXPECT_EQ("27.6.2024 20:25", form.Text(3, 2));
  EXPECT_EQ("27.6.2024 17:39", form.Text(5, 2));
  const CEslesenNokta& pair = doc.EslesenList()[1];
  EXPECT_EQ(text::FormatFixed(pair.dMeanX, 3), form.Text(2, 14));
}

TEST_F(FormTest, PolygonPairsFromDifferentZonesAreRefused) {
  AddJob("a.tsj", {Row("K", "39.5")}, "TM33");
  AddJob("b.tsj", {Row("K", "39.5000001")}, "TM36");
  // Same coordinates in both files, projected with different meridians, cannot pair;
  // give both the same grid position by hand to get a cross-zone pair.
  CVelmiraDocAccess::NoktaList(doc)[1].dY = doc.NoktaList()[0].dY + 0.01;
  CVelmiraDocAccess::NoktaList(doc)[1].dX = doc.NoktaList()[0].dX;
  doc.MatchSessions();
  ASSERT_EQ(1u, doc.EslesenList().size());
  std::ofstream(dir / "p.xls") << "earlier";
  const Status written = WritePolygonForm(doc, {100}, dir / "p.xls");
  EXPECT_NE(std::string::npos, written.cause().find("33, 36"));
  std::ifstream in(dir / "p.xls");
  std::string kept;
  in >> kept;
  EXPECT_EQ("earlier", kept);
}

// Two independent readers must see the same texts in every cell of both forms.
TEST_F(FormTest, LibreOfficeReadsTheSameCellsAsXlrd) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) VELMIRA_ORACLE_MISSING("LibreOffice not installed");
  AddJob("a.tsj", {Row("K\xDE", "39.5", "1719500000"), Row("K\xDE", "39.5000001", "1719510000"), Row("D", "39.6")},
         "TM39", "FKP01");
  doc.MatchSessions();
  std::vector<PointKey> keys;
  for (const CTarvekNokta& p : doc.NoktaList()) keys.push_back({p.nIndex, p.nFileNumber});
  ASSERT_OK(WriteDetailForm(doc, keys, dir / "detail.xls"));
  ASSERT_OK(WritePolygonForm(doc, {100}, dir / "polygon.xls"));
  ConvertWithLibreOffice({dir / "detail.xls", dir / "polygon.xls"}, dir.path());
  for (const char* name : {"detail.xls", "polygon.xls"}) {
    const Form form = ReadForm(dir / name);
    const auto rows = ReadConverted(dir / name, dir.path());
    ASSERT_EQ(static_cast<size_t>(form.rows), rows.size()) << name;
    for (int r = 0; r < form.rows; ++r) {
      for (int c = 0; c < form.columns; ++c) {
        const std::string lo = c < static_cast<int>(rows[r].size()) ? rows[r][c] : "";
        EXPECT_EQ(form.Text(r, c), lo) << name << " row " << r << " column " << c;
      }
    }
  }
}

// Lines a command prints, or nothing when it fails.
std::vector<std::string> CommandLines(const std::string& command) {
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe)) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    lines.push_back(line);
  }
  EXPECT_EQ(0, pclose(pipe)) << command;
  return lines;
}

// The words on each page of a PDF, as pdftotext reads them.
std::vector<std::set<std::string>> PageWords(const std::filesystem::path& pdf) {
  std::vector<std::set<std::string>> pages(1);
  for (const std::string& line : CommandLines("pdftotext -layout " + pdf.string() + " -")) {
    std::istringstream in(line);
    for (std::string word; in >> word;) {
      for (size_t feed; (feed = word.find('\f')) != std::string::npos;) word.erase(feed, 1);
      if (!word.empty()) pages.back().insert(word);
    }
    if (line.find('\f') != std::string::npos) pages.emplace_back();
  }
  if (pages.back().empty()) pages.pop_back();
  return pages;
}

// Both forms print as LibreOffice prints them: A4 across, every page one page wide (a
// row's name and its last column on one page) with the two header rows at its top.
TEST_F(FormTest, BothFormsPrintOnePageWideWithTheHeaderOnEveryPage) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  if (std::system("command -v soffice pdftotext >/dev/null 2>&1") != 0) VELMIRA_ORACLE_MISSING("LibreOffice or poppler missing");
  std::vector<JobRow> rows;
  std::map<std::string, std::string> heights;  // name -> the form's height text
  for (int i = 0; i < 36; ++i) {
    char lat[32];
    std::snprintf(lat, sizeof lat, "%.8f", 39.5 + 0.001 * i);
    JobRow first = Row("N" + std::to_string(100 + i), lat, "1719500000");
    first.height = std::to_string(1000 + i) + ".5";
    JobRow second = first;
    std::snprintf(lat, sizeof lat, "%.8f", 39.5 + 0.001 * i + 0.0000001);
    second.lat = lat;
    second.seconds = "1719510000";
    rows.push_back(first);
    rows.push_back(second);
    heights[first.name] = std::to_string(1000 + i) + ".500";
  }
  AddJob("a.tsj", rows, "TM33", "VRSCMRP");
  doc.MatchSessions();
  ASSERT_EQ(36u, doc.EslesenList().size());
  std::vector<PointKey> keys;
  for (const CTarvekNokta& p : doc.NoktaList()) keys.push_back({p.nIndex, p.nFileNumber});
  std::vector<int> pairs;
  for (const CEslesenNokta& pair : doc.EslesenList()) pairs.push_back(pair.nPairNo);
  ASSERT_OK(WriteDetailForm(doc, keys, dir / "detail.xls"));
  ASSERT_OK(WritePolygonForm(doc, pairs, dir / "polygon.xls"));

  const std::string names = std::string(VELMIRA_PYTHON) + " " + VELMIRA_SOURCE_DIR + "/tests/xls/read_xls.py names ";
  std::string command = "LC_ALL=C.UTF-8 soffice -env:UserInstallation=file://" + (dir / "lo-profile").string() +
                        " --headless --norestore --convert-to pdf --outdir " + dir.path().string();
  for (const char* form : {"detail", "polygon"}) command += " " + (dir / (std::string(form) + ".xls")).string();
  ASSERT_EQ(0, std::system((command + " >/dev/null 2>&1").c_str()));
  for (const std::string form : {"detail", "polygon"}) {
    SCOPED_TRACE(form);
    EXPECT_EQ(std::vector<std::string>{"name\tPrint_Titles\tbuiltin=1\tscope=0\tSheet1!$A$1:$IV$2\t0:1:0:2:0:256"},
              CommandLines(names + (dir / (form + ".xls")).string()));
    const fs::path pdf = dir / (form + ".pdf");
    const auto pages = PageWords(pdf);
    ASSERT_GE(pages.size(), 2u);
    int sized = 0;
    for (const std::string& line : CommandLines("pdfinfo -f 1 -l 100 " + pdf.string())) {
      if (line.rfind("Page", 0) != 0 || line.find(" size:") == std::string::npos) continue;
      EXPECT_NE(std::string::npos, line.find("841.89 x 595.3")) << line;  // A4 landscape, in points
      ++sized;
    }
    EXPECT_EQ(static_cast<int>(pages.size()), sized);
    std::set<std::string> printed;
    for (size_t page = 0; page < pages.size(); ++page) {
      EXPECT_TRUE(pages[page].count("NOKTA")) << "page " << page + 1;
      for (const auto& [name, height] : heights) {
        if (!pages[page].count(name)) continue;
        printed.insert(name);
        EXPECT_TRUE(pages[page].count(height)) << name << " on page " << page + 1;
      }
    }
    EXPECT_EQ(heights.size(), printed.size());
  }
}

TEST_F(FormTest, AFailedSaveIsReported) {
  AddJob("a.tsj", {Row("A", "39.5")}, "TM33");
  const Status written = WriteDetailForm(doc, {}, dir / "no-such-folder" / "d.xls");
  EXPECT_EQ("Excel dosyası kaydedilemedi: " + (dir / "no-such-folder" / "d.xls").string() +
                "\nKlasör ya da dosya bulunamadı.",
            written.cause());
}

// Settled before the save dialogue: the zones with their rows, and the parts of forms
// too long for a sheet.
TEST_F(FormTest, ZonesAreCountedAndOversizedFormsSplitBeforeWriting) {
  std::vector<CTarvekNokta>& points = CVelmiraDocAccess::NoktaList(doc);
  for (int i = 0; i < 6; ++i) {
    CTarvekNokta p;
    p.nIndex = 1000 + i;
    p.nFileNumber = 1;
    p.strMeridian = i % 3 == 0 ? "30" : "33";
    points.push_back(p);
  }
  std::vector<PointKey> keys;
  for (const CTarvekNokta& p : points) keys.push_back({p.nIndex, 1});
  keys.push_back({1002, 7});  // a stale key finds nothing and counts nothing
  const auto zones = DetailFormZones(doc, keys);
  ASSERT_EQ(2u, zones.size());
  EXPECT_EQ("30", zones[0].meridian);
  EXPECT_EQ(2u, zones[0].rows);
  EXPECT_EQ("33", zones[1].meridian);
  EXPECT_EQ(4u, zones[1].records);
  const std::vector<PointKey> in30 = DetailKeysInZone(doc, keys, "30");
  ASSERT_EQ(2u, in30.size());
  EXPECT_EQ(1003, in30[1].nIndex);

  CVelmiraDocAccess::EslesenList(doc) = {CEslesenNokta{}, CEslesenNokta{}};
  CVelmiraDocAccess::EslesenList(doc)[0].nPairNo = 100;
  CVelmiraDocAccess::EslesenList(doc)[0].nIndex1 = 1001;
  CVelmiraDocAccess::EslesenList(doc)[0].nIndex2 = 1002;
  CVelmiraDocAccess::EslesenList(doc)[1].nPairNo = 101;
  CVelmiraDocAccess::EslesenList(doc)[1].nIndex1 = 1002;
  CVelmiraDocAccess::EslesenList(doc)[1].nIndex2 = 1003;  // 33 with 30
  const auto pairs = PolygonFormZones(doc, {100});
  ASSERT_TRUE(pairs.ok());
  EXPECT_EQ(2u, pairs.value()[0].rows);
  const auto mixed = PolygonFormZones(doc, {100, 101});
  ASSERT_FALSE(mixed.ok());
  EXPECT_NE(std::string::npos, mixed.status().cause().find("101 numaralı çiftin iki noktası farklı dilimlerde"));

  // 65,536 rows a sheet, two of them the header; a zone without rows is one empty form.
  for (const auto& [records, rowsEach, lastFirst] : {std::tuple{0u, 1u, 0u}, {65535u, 1u, 65534u}, {32768u, 2u, 32767u}}) {
    const std::vector<FormPart> parts = FormParts(ZoneRows{"33", records, records * rowsEach});
    EXPECT_EQ(records - lastFirst, parts.back().rows.records);
    EXPECT_EQ(lastFirst, parts.back().first);
  }
  EXPECT_EQ(fs::path("/f/form_TM33_2.xls"), PartFormPath(ZoneFormPath("/f/form.xls", "33"), 2));

  EXPECT_EQ(fs::path("/f/form_TM33.xls"), ZoneFormPath("/f/form.xls", "33"));
  EXPECT_EQ(fs::path("/f/form_TM30"), ZoneFormPath("/f/form", "30"));
}

// Such names once came out as empty cells in a form reported as written.
TEST_F(FormTest, ATextLongerThanACellRefusesTheFormAndWritesNothing) {
  AddJob("a.tsj", {Row("A", "39.5"), Row("B", "39.5000001")}, "TM33");
  CVelmiraDocAccess::NoktaList(doc)[1].strName = std::string(XlsCell::kMaxTextLength, 'N');
  ASSERT_OK(WriteDetailForm(doc, {{doc.NoktaList()[1].nIndex, 1}}, dir / "limit.xls"));
  CVelmiraDocAccess::NoktaList(doc)[1].strName += "N";
  doc.MatchSessions();
  ASSERT_EQ(1u, doc.EslesenList().size());
  for (const fs::path& target : {dir / "d.xls", dir / "p.xls"}) {
    const Status written = target.filename() == "d.xls"
                               ? WriteDetailForm(doc, {{doc.NoktaList()[0].nIndex, 1}, {doc.NoktaList()[1].nIndex, 1}}, target)
                               : WritePolygonForm(doc, {doc.EslesenList()[0].nPairNo}, target);
    EXPECT_FALSE(written.ok());
    EXPECT_NE(std::string::npos, written.cause().find("1001 numaralı noktanın (NNNN")) << written.cause();
    EXPECT_NE(std::string::npos, written.cause().find("32768 karakter")) << written.cause();
    EXPECT_FALSE(fs::exists(target));
  }
}

// The form was once written over the job file it came from.
TEST_F(FormTest, AJobFileOfTheDocumentIsNeverATarget) {
  AddJob("a.tsj", {Row("A", "39.5")}, "TM33");
  const std::string before = ReadBytes(dir / "a.tsj");
  const Status written = WriteDetailForm(doc, {{doc.NoktaList()[0].nIndex, 1}}, dir / "a.tsj");
  EXPECT_NE(std::string::npos, written.cause().find("yüklü bir TSJ dosyası")) << written.cause();
  EXPECT_EQ(before, ReadBytes(dir / "a.tsj"));
}

TEST_F(FormTest, APointWithoutMethodGetsAnEmptyCell) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  AddJob("a.tsj", {Row("A", "39.5")}, "TM33");
  CVelmiraDocAccess::NoktaList(doc)[0].strMethod.clear();
  ASSERT_OK(WriteDetailForm(doc, {{doc.NoktaList()[0].nIndex, 1}}, dir / "d.xls"));
  const Form form = ReadForm(dir / "d.xls");
  EXPECT_EQ("", form.Text(2, 8));
  EXPECT_EQ("Fix", form.Text(2, 7));
}

// The command line writes the same forms from job files on disk.
TEST_F(FormTest, CommandLineWritesNamedPointsAndChosenPairs) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string job = (dir / "g.tsj").string();
  ASSERT_EQ(0, std::system((std::string(VELMIRA_MAKE_JOB) + " --seed 5 --points 40 " + job + " >/dev/null").c_str()));
  const std::string env = "XDG_CACHE_HOME=" + (dir / "cache").string() + " ";
  const std::string detail = env + VELMIRA_CLI + " detail -o " + (dir / "d.xls").string() + " " + job +
                             " P2 P1 2>/dev/null";
  ASSERT_EQ(0, std::system(detail.c_str()));
  const Form d = ReadForm(dir / "d.xls");
  ASSERT_GE(d.rows, 4);
  EXPECT_EQ("P2", d.Text(2, 0));  // every session of P2, then of P1
  EXPECT_EQ("P1", d.Text(d.rows - 1, 0));
  const std::string polygon = env + VELMIRA_CLI + " polygon --pairs 101,100 -o " + (dir / "p.xls").string() + " " +
                              job + " 2>/dev/null";
  ASSERT_EQ(0, std::system(polygon.c_str()));
  const Form p = ReadForm(dir / "p.xls");
  EXPECT_EQ(6, p.rows);
  std::map<std::string, std::string> pairNames;  // pair number -> first session's name
  FILE* match = popen((env + VELMIRA_CLI + " match " + job + " 2>/dev/null").c_str(), "r");
  char line[4096];
  while (fgets(line, sizeof line, match)) {
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, '\t');) f.push_back(cell);
    if (f.size() == 12) pairNames[f[8]] = f[0];
  }
  pclose(match);
  EXPECT_EQ(pairNames["101"], p.Text(2, 0));
  EXPECT_EQ(pairNames["100"], p.Text(4, 0));
  const std::string missing = env + VELMIRA_CLI + " detail -o " + (dir / "x.xls").string() + " " + job +
                              " NOPE 2>/dev/null";
  EXPECT_EQ(1, support::ExitStatus(std::system(missing.c_str())));
  EXPECT_FALSE(std::filesystem::exists(dir / "x.xls"));
}

// A job of more fixed points than a sheet has rows was refused after it had been read in
// full; the command line now writes the form in parts beside the name and lists them.
TEST_F(FormTest, CommandLineWritesAFormTooLongForASheetInParts) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  const std::string job = (dir / "g.tsj").string(), env = "XDG_CACHE_HOME=" + (dir / "cache").string() + " ";
  ASSERT_EQ(0, std::system((std::string(VELMIRA_MAKE_JOB) + " --seed 5 --points 66000 --meridian 33 --method rtk " +
                            job + " >/dev/null").c_str()));
  const std::vector<std::string> points = CommandLines(env + VELMIRA_CLI + " points " + job + " 2>/dev/null");
  EXPECT_EQ((std::vector<std::string>{(dir / "d_1.xls").string(), (dir / "d_2.xls").string()}),
            CommandLines(env + VELMIRA_CLI + " detail -o " + (dir / "d.xls").string() + " " + job + " 2>/dev/null"));
  EXPECT_FALSE(fs::exists(dir / "d.xls"));
  const Form second = ReadForm(dir / "d_2.xls");  // the points after the first 65,534, under the header
  EXPECT_EQ("KOORDİNAT (ITRF_33_3)", second.Text(0, 9));
  ASSERT_EQ(static_cast<int>(points.size()) - 1 - 65534 + 2, second.rows);
  EXPECT_EQ(points[1 + 65534].substr(0, points[1 + 65534].find('\t')), second.Text(2, 0));
}

}  // namespace
