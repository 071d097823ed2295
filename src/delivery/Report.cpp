// kontrol.html, in the order a checker reads it: the verdict, the profile and the counts,
// the job files, every finding, the pair plots, one map per zone. The page is HTML5 that is
// also well-formed XML; its one stylesheet is embedded and sized for A4.
#include "delivery/Report.h"

#include <string>
#include <vector>

#include "drawing/Plots.h"
#include "delivery/PointLists.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "text/Xml.h"

namespace {

constexpr const char* kTitle = "Velmira Kontrol Raporu";

// No "<" or "&" here: the sheet is written as it stands.
constexpr const char* kStyle = R"(
@page { size: A4; margin: 14mm 12mm; }
* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, Helvetica, sans-serif; font-size: 10pt;
  color: #212121; line-height: 1.35; max-width: 186mm; margin: 0 auto; padding: 6mm 4mm; }
h1 { font-size: 19pt; margin: 0 0 4mm; padding-bottom: 2mm; border-bottom: 2px solid #1f77b4; }
h2 { font-size: 13.5pt; margin: 7mm 0 2.5mm; break-after: avoid; page-break-after: avoid; }
.verdict { font-size: 15pt; font-weight: bold; margin: 4mm 0; padding: 3mm 4mm; border: 2px solid; border-radius: 2mm; }
.verdict.ready { color: #1b5e20; background: #e8f5e9; border-color: #2e7d32; }
.verdict.not-ready { color: #b71c1c; background: #fdecea; border-color: #d62728; }
table { border-collapse: collapse; width: 100%; margin: 2mm 0 3mm; }
th, td { border: 1px solid #9e9e9e; padding: 1mm 2mm; text-align: left; vertical-align: top; }
th { background: #eeeeee; font-weight: bold; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
td.num { text-align: right; white-space: nowrap; }
table.facts { width: auto; }
table.facts th { width: 42mm; }
tr.hata td { background: #fdecea; }
tr.hata td.level { color: #b71c1c; font-weight: bold; }
figure { margin: 4mm 0; text-align: center; break-inside: avoid; page-break-inside: avoid; }
figure svg { max-width: 100%; height: auto; border: 1px solid #dddddd; }
figcaption { font-size: 9pt; color: #555555; margin-top: 1.5mm; }
p.note { color: #555555; font-style: italic; }
)";

std::string Utf8(const std::string& cp1254) { return text::Cp1254ToUtf8(cp1254); }

std::string Count(std::size_t n) { return text::FormatInt(static_cast<std::int64_t>(n)); }

void Head(XmlWriter& w) {
  w.Start("head");
  w.Newline();
  w.Start("meta");
  w.Attribute("charset", "utf-8");
  w.End();
  w.Newline();
  w.Element("title", kTitle);
  w.Newline();
  w.Start("style");
  w.Raw(kStyle);
  w.End();
  w.Newline();
  w.End();
}

void Row(XmlWriter& w, const std::vector<std::string>& cells, const char* cellName = "td") {
  w.Newline();
  w.Start("tr");
  for (const std::string& cell : cells) w.Element(cellName, cell);
  w.End();
}

void Note(XmlWriter& w, const char* text) {
  w.Newline();
  w.Start("p");
  w.Attribute("class", "note");
  w.Text(text);
  w.End();
}

void Heading(XmlWriter& w, const char* text) {
  w.Newline();
  w.Element("h2", text);
}

// As the desktop's verdict line says it: a verdict against edited limits says so.
void VerdictLine(XmlWriter& w, const Verdict& verdict, bool limitsChanged) {
  w.Newline();
  w.Start("p");
  w.Attribute("class", verdict.Ready() ? "verdict ready" : "verdict not-ready");
  w.Text(limitsChanged ? verdict.Text() + " (değiştirildi)" : verdict.Text());
  w.End();
}

void Facts(XmlWriter& w, const CVelmiraDoc& doc, const RuleProfile& profile) {
  const std::vector<std::vector<std::string>> facts = {
      {"Profil", DisplayName(profile)},
      {"Sınırların kaynağı", profile.source},
      {"İş dosyası", Count(doc.TsjList().size())},
      {"Nokta", Count(doc.NoktaList().size())},
      {"Eşleşen nokta", Count(doc.EslesenList().size())},
  };
  w.Newline();
  w.Start("table");
  w.Attribute("class", "facts");
  for (const auto& fact : facts) {
    w.Newline();
    w.Start("tr");
    w.Element("th", fact[0]);
    w.Element("td", fact[1]);
    w.End();
  }
  w.Newline();
  w.End();
}

std::size_t PointsOfFile(const CVelmiraDoc& doc, int nFileNumber) {
  std::size_t n = 0;
  for (const CTarvekNokta& p : doc.NoktaList()) n += p.nFileNumber == nFileNumber;
  return n;
}

void TableHead(XmlWriter& w, const std::vector<std::string>& headers) {
  w.Newline();
  w.Start("thead");
  Row(w, headers, "th");
  w.End();
}

void JobFiles(XmlWriter& w, const CVelmiraDoc& doc) {
  Heading(w, "İş dosyaları");
  if (doc.TsjList().empty()) return Note(w, "Yüklü iş dosyası yok.");
  w.Newline();
  w.Start("table");
  TableHead(w, {"Dosya", "Dilim", "Yöntem", "Nokta sayısı"});
  w.Newline();
  w.Start("tbody");
  for (const tsjdosya& file : doc.TsjList()) {
    w.Newline();
    w.Start("tr");
    w.Element("td", Utf8(file.strFileName));
    w.Element("td", "TM" + Utf8(file.strMeridian));
    w.Element("td", Utf8(file.strMethod));
    w.Start("td");
    w.Attribute("class", "num");
    w.Text(Count(PointsOfFile(doc, file.nFileNumber)));
    w.End();
    w.End();
  }
  w.Newline();
  w.End();
  w.Newline();
  w.End();
}

// The level column is the sixth; Hata rows are tinted so they stand out on paper too.
constexpr std::size_t kLevelColumn = 5;

void FindingRow(XmlWriter& w, const Finding& finding) {
  const auto cells = FindingRowTexts(finding);
  w.Newline();
  w.Start("tr");
  if (finding.level == Finding::Level::Error) w.Attribute("class", "hata");
  for (std::size_t c = 0; c < cells.size(); ++c) {
    w.Start("td");
    if (c == kLevelColumn) w.Attribute("class", "level");
    w.Text(Utf8(cells[c]));
    w.End();
  }
  w.End();
}

void Findings(XmlWriter& w, const std::vector<Finding>& findings) {
  Heading(w, "Bulgular");
  if (findings.empty()) return Note(w, "Bulgu yok.");
  w.Newline();
  w.Start("table");
  w.Attribute("class", "findings");
  const auto& headers = FindingTableHeaders();
  TableHead(w, std::vector<std::string>(headers.begin(), headers.end()));
  w.Newline();
  w.Start("tbody");
  for (const Finding& f : findings) FindingRow(w, f);
  w.Newline();
  w.End();
  w.Newline();
  w.End();
}

// Which sessions made each point's final value, by their start times.
std::string SessionsText(const JobIndex& index, const FinalCoordinate& final) {
  std::string text;
  for (int nIndex : final.sessions) {
    const CTarvekNokta* point = index.Point(nIndex);
    if (!text.empty()) text += ", ";
    text += point ? Utf8(point->strTime) : text::FormatInt(nIndex);
  }
  if (final.fromFailedPairs) text += " (çiftlerinin hepsi hatalı)";
  return text;
}

void FinalCoordinatesTable(XmlWriter& w, const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  Heading(w, "Kesin koordinatlar");
  std::vector<int> pairNos;
  for (const CEslesenNokta& pair : doc.EslesenList()) pairNos.push_back(pair.nPairNo);
  const std::vector<FinalCoordinate> finals = FinalCoordinates(doc, pairNos, findings);
  if (finals.empty()) return Note(w, "Eşleşen nokta yok.");
  Note(w, "Her nokta için hatasız çiftlerinin oturumlarının ortalaması; hatasız çifti yoksa bütün çiftlerinin.");
  const JobIndex index(doc);
  w.Newline();
  w.Start("table");
  w.Attribute("class", "finals");
  TableHead(w, {"Nokta", "Sağa (m)", "Yukarı (m)", "Elipsoit Y. (m)", "Oturumlar"});
  w.Newline();
  w.Start("tbody");
  for (const FinalCoordinate& final : finals) {
    Row(w, {Utf8(final.name), text::FormatFixed(final.dY, 3), text::FormatFixed(final.dX, 3),
            text::FormatFixed(final.dHeight, 3), SessionsText(index, final)});
  }
  w.Newline();
  w.End();
  w.Newline();
  w.End();
}

void Figure(XmlWriter& w, const drawing::Drawing& picture) {
  w.Newline();
  w.Start("figure");
  w.Newline();
  w.Raw(SvgOf(picture));
  w.Newline();
  w.Element("figcaption", picture.title);
  w.Newline();
  w.End();
}

void PairPlots(XmlWriter& w, const CVelmiraDoc& doc, const RuleProfile& profile, const std::vector<Finding>& findings) {
  Heading(w, "Eşleşen noktalar");
  const std::vector<PairDifference> pairs = PairDifferencesOf(doc, findings);
  if (pairs.empty()) return Note(w, "Eşleşen nokta yok.");
  Figure(w, DifferencePlot(pairs, profile));
  Figure(w, HeightTimePlot(pairs, profile));
}

void Maps(XmlWriter& w, const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  Heading(w, "Nokta haritası");
  const std::vector<MapData> maps = MapDataOf(doc, findings);
  if (maps.empty()) return Note(w, "Nokta yok.");
  for (const MapData& map : maps) Figure(w, PointMap(map));
}

}  // namespace

std::string ReportHtml(const CVelmiraDoc& doc, const RuleProfile& profile, const std::vector<Finding>& findings) {
  XmlWriter w(XmlWriter::Mode::Html);
  w.Raw("<!DOCTYPE html>\n");
  w.Start("html");
  w.Attribute("lang", "tr");
  w.Newline();
  Head(w);
  w.Newline();
  w.Start("body");
  w.Newline();
  w.Element("h1", kTitle);
  VerdictLine(w, Summarize(findings), IsChangedBuiltIn(profile));
  Facts(w, doc, profile);
  JobFiles(w, doc);
  Findings(w, findings);
  FinalCoordinatesTable(w, doc, findings);
  PairPlots(w, doc, profile, findings);
  Maps(w, doc, findings);
  w.Newline();
  w.End();
  w.Newline();
  return w.Take() + "\n";
}
