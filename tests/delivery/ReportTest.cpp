// The report page as its readers see it: xmllint's XML and HTML parsers, and headless
// chromium, which renders it and hands back the text a checker reads. Hostile names from
// the job file stay text; nothing reaches outside the page.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "DrawingFixture.h"
#include "delivery/Report.h"
#include "support/Oracles.h"
#include "support/Portable.h"
#include "text/Cp1254.h"
#include "text/Xml.h"

namespace {

struct ReportFixture : DocFixture {
  RuleProfile profile = NetworkProfile();
  std::vector<Finding> findings;
  std::string html;

  void Render() {
    findings = CheckRules(*doc, profile);
    html = ReportHtml(*doc, profile, findings);
  }
};

// The values of every attribute of that name, in order.
std::vector<std::string> AttributeValues(const std::string& html, const std::string& name) {
  std::vector<std::string> values;
  const std::string opening = " " + name + "=\"";
  for (std::size_t at = html.find(opening); at != std::string::npos; at = html.find(opening, at + 1)) {
    const std::size_t start = at + opening.size();
    values.push_back(html.substr(start, html.find('"', start) - start));
  }
  return values;
}

std::string Replaced(std::string s, const std::string& what, const std::string& with) {
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size())) {
    s.replace(at, what.size(), with);
  }
  return s;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Nothing the page would fetch or run: no script, and no address but the SVG namespace.
void ExpectSelfContained(const std::string& html) {
  EXPECT_EQ(std::string::npos, html.find("<script"));
  EXPECT_EQ(Occurrences(html, "http"), Occurrences(html, "http://www.w3.org/2000/svg"));
  EXPECT_EQ(std::string::npos, html.find(" src=\""));
  EXPECT_EQ(std::string::npos, html.find(" href=\""));
  EXPECT_EQ(std::string::npos, html.find("url("));
  EXPECT_EQ(std::string::npos, html.find("@import"));
}

void ExpectParsed(const std::string& html) {
  if (!HasXmllint()) return;
  TestDir dir;
  WriteText(dir / "kontrol.html", html);
  EXPECT_EQ("", HtmlProblems(dir / "kontrol.html"));
  EXPECT_EQ("", XmlProblems(dir / "kontrol.html")) << "the page is also well-formed XML";
}

TEST(ReportHtml, HoldsTheVerdictEveryFindingAndOnePlotSetPerJob) {
  ReportFixture f;
  FillRealisticJob(f);
  f.Render();
  const Verdict verdict = Summarize(f.findings);
  ASSERT_FALSE(verdict.Ready());
  ASSERT_EQ("4 hata, 1 uyarı", verdict.Text()) << "pairs 103, 105, 109 and 111; a TM36 point out of its zone";
  const std::string& html = f.html;
  EXPECT_EQ(0u, html.find("<!DOCTYPE html>\n<html lang=\"tr\">"));
  EXPECT_NE(std::string::npos, html.find("<meta charset=\"utf-8\"/>"));
  EXPECT_NE(std::string::npos, html.find("<h1>Velmira Kontrol Raporu</h1>"));
  EXPECT_NE(std::string::npos, html.find("<p class=\"verdict not-ready\">4 hata, 1 uyarı</p>"));
  EXPECT_NE(std::string::npos, html.find(DisplayName(f.profile)));
  EXPECT_NE(std::string::npos, html.find(XmlEscaped(f.profile.source)));
  EXPECT_NE(std::string::npos, html.find("<td>Ankara_Güney.tsj</td><td>TM33</td><td>VRSRTCM31</td><td class=\"num\">23</td>"));
  EXPECT_NE(std::string::npos, html.find("<td>Kırıkkale.tsj</td><td>TM36</td><td>RTK</td><td class=\"num\">6</td>"));
  for (const char* header : FindingTableHeaders()) EXPECT_NE(std::string::npos, html.find(std::string("<th>") + header));
  for (const Finding& finding : f.findings) {
    for (const std::string& cell : FindingRowTexts(finding)) {
      EXPECT_NE(std::string::npos, html.find(">" + XmlEscaped(text::Cp1254ToUtf8(cell)) + "</td>")) << cell;
    }
  }
  EXPECT_EQ(static_cast<std::size_t>(verdict.errors), Occurrences(html, "<tr class=\"hata\">"));
  EXPECT_EQ(4u, Occurrences(html, "<svg ")) << "the two pair plots and a map for each of two zones";
  EXPECT_NE(std::string::npos, html.find("Nokta haritası TM36"));
  EXPECT_EQ(std::string::npos, html.find("nan"));
  EXPECT_EQ(std::string::npos, html.find("inf"));
  ExpectSelfContained(html);
  ExpectParsed(html);
  EXPECT_EQ(html, ReportHtml(*f.doc, f.profile, f.findings)) << "the same inputs give the same bytes";
}

TEST(ReportHtml, EmptyJobSaysSoAndIsReady) {
  ReportFixture f;
  f.profile = ClassicProfile();
  f.Render();
  const std::string& html = f.html;
  EXPECT_NE(std::string::npos, html.find("<p class=\"verdict ready\">Teslime hazır: hata yok</p>"));
  EXPECT_NE(std::string::npos, html.find("Bulgu yok."));
  EXPECT_NE(std::string::npos, html.find("Eşleşen nokta yok."));
  EXPECT_NE(std::string::npos, html.find("Yüklü iş dosyası yok."));
  EXPECT_EQ(std::string::npos, html.find("<svg"));
  ExpectSelfContained(html);
  ExpectParsed(html);
}

TEST(ReportHtml, WarningsAloneLeaveTheJobReady) {
  ReportFixture f;
  f.Files() = {{"/is/a.tsj", "a.tsj", 1, "33", "VRSRTCM31"}};
  f.Points() = {MakePoint(1000, 1, "A", 450000, 4400000)};
  f.Points()[0].dLon = 34.6;  // beyond the zone's half width: a warning
  f.Render();
  EXPECT_NE(std::string::npos, f.html.find("<p class=\"verdict ready\">Teslime hazır: hata yok, 1 uyarı</p>"));
  EXPECT_EQ(0u, Occurrences(f.html, "<tr class=\"hata\">"));
  EXPECT_EQ(1u, Occurrences(f.html, "<svg ")) << "the map, without pair plots";

  f.profile.dMaxDiffY = 0.05;  // the regulation's limit edited: the verdict says so
  f.Render();
  EXPECT_NE(std::string::npos,
            f.html.find("<p class=\"verdict ready\">Teslime hazır: hata yok, 1 uyarı (değiştirildi)</p>"));
}

// Names are whatever the field crew typed, read from the file as Windows-1254 bytes.
TEST(ReportHtml, HostileNamesStayTextInTablesAndMap) {
  ReportFixture f;
  const std::string script = "<script>alert('x')</script>";
  f.Files() = {{"/is/<b>&amp;.tsj", "<img src=x onerror=alert(1)>.tsj", 1, "33", "\"VRS\x01\""}};
  CTarvekNokta a = MakePoint(1000, 1, script, 450000, 4400000, 900, 0);
  CTarvekNokta b = MakePoint(1001, 1, "A&B ]]> \x7F\x02\xDE", 450000.2, 4400000, 900, 600);  // 10 minutes apart
  f.Points() = {a, b};
  f.Pairs() = {MakePair(100, a, b)};
  f.Render();
  const std::string& html = f.html;
  ASSERT_FALSE(Summarize(f.findings).Ready());
  EXPECT_EQ(std::string::npos, html.find("<img"));
  EXPECT_NE(std::string::npos, html.find("&lt;img src=x onerror=alert(1)&gt;.tsj"));
  EXPECT_NE(std::string::npos, html.find("<td>&quot;VRS&quot;</td>"));
  EXPECT_NE(std::string::npos, html.find(">&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</text>")) << "on the map";
  EXPECT_NE(std::string::npos, html.find("<td>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</td>")) << "in the findings";
  EXPECT_NE(std::string::npos, html.find("A&amp;B ]]&gt; \x7FŞ"));
  ExpectSelfContained(html);
  ExpectParsed(html);
}

TEST(ReportHtml, NumbersKeepTheirFullStopUnderATurkishLocale) {
  const char* previous = std::setlocale(LC_ALL, "tr_TR.UTF-8");
  ReportFixture f;
  FillRealisticJob(f);
  f.Render();
  if (previous) std::setlocale(LC_ALL, "C");
  // A polygon's points are "x,y" pairs; every other number stands alone.
  std::size_t withDecimals = 0;
  for (const char* name : {"x", "y", "x1", "y1", "x2", "y2", "cx", "cy", "r", "width", "height", "font-size"}) {
    for (const std::string& value : AttributeValues(f.html, name)) {
      EXPECT_EQ(std::string::npos, value.find(',')) << name << "=" << value;
      withDecimals += value.find('.') != std::string::npos;
    }
  }
  EXPECT_GT(withDecimals, 100u);
  for (const Finding& finding : f.findings) {
    if (finding.rule != "diff-y") continue;
    EXPECT_NE(std::string::npos, finding.value.find('.'));
    EXPECT_NE(std::string::npos, f.html.find(">" + finding.value + "</td>"));
  }
}

// ---- in a browser ---------------------------------------------------------------------------

bool HasChromium() { return std::filesystem::exists("/usr/bin/chromium"); }

std::string Chromium(const std::string& arguments) {
  return RunCommand("/usr/bin/chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-extensions " +
                    arguments + " 2>/dev/null")
      .output;
}

// The rendered text normalised as a reader sees it: entities resolved, white space single.
std::string Squeezed(std::string s) {
  for (auto [entity, letter] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}}) {
    s = Replaced(s, entity, letter);
  }
  std::string squeezed;
  for (char c : s) {
    const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
    if (!space) squeezed += c;
    else if (squeezed.empty() || squeezed.back() != ' ') squeezed += ' ';
  }
  return squeezed;
}

TEST(ReportInBrowser, ChromiumRendersTheVerdictAndEveryFinding) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  if (!HasChromium()) VELMIRA_ORACLE_MISSING("no /usr/bin/chromium");
  ReportFixture f;
  FillRealisticJob(f);
  f.Render();
  TestDir dir;
  const std::filesystem::path page = dir / "kontrol.html";
  WriteText(page, f.html);
  const std::string dom = Squeezed(Chromium("--dump-dom 'file://" + page.string() + "'"));
  ASSERT_NE(std::string::npos, dom.find("Velmira Kontrol Raporu")) << dom.substr(0, 400);
  EXPECT_NE(std::string::npos, dom.find(Summarize(f.findings).Text()));
  for (const Finding& finding : f.findings) {
    const auto cells = FindingRowTexts(finding);
    EXPECT_NE(std::string::npos, dom.find(Squeezed(text::Cp1254ToUtf8(cells[6])))) << cells[0];
  }
  EXPECT_EQ(4u, Occurrences(dom, "<svg "));
  // A picture of the page, and the page, to look at while changing its layout.
  WriteText("/tmp/report.html", f.html);
  const std::string png = "/tmp/report.png";
  Chromium("--hide-scrollbars --window-size=1200,3000 --screenshot=" + png + " 'file://" + page.string() + "'");
  EXPECT_TRUE(std::filesystem::exists(png));
}

}  // namespace
