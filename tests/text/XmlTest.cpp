// The escaping writer against hostile field names: what it keeps of bad UTF-8 and of the
// characters XML 1.0 forbids, its entities, its empty elements in both modes, and
// xmllint reading every text and attribute back as written.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "TestDir.h"
#include "support/Oracles.h"
#include "support/Portable.h"
#include "text/Xml.h"

namespace {

using namespace std::string_view_literals;

struct AllowedCase {
  const char* name;
  std::string_view input;
  std::string_view kept;
};

class XmlAllowedChars : public ::testing::TestWithParam<AllowedCase> {};

TEST_P(XmlAllowedChars, KeepsOnlyWhatXmlMayHold) {
  EXPECT_EQ(GetParam().kept, XmlAllowed(GetParam().input));
}

const AllowedCase kAllowedCases[] = {
    {"PlainAscii", "P1 nokta-2", "P1 nokta-2"},
    {"TurkishLetters", "ĞÜŞİÖÇ ğüşıöç", "ĞÜŞİÖÇ ğüşıöç"},
    {"TabLineFeedReturnKept", "a\tb\nc\rd", "a\tb\nc\rd"},
    {"C0ControlsDropped", "a\x01" "b\x08\x0B\x0C\x1F" "c", "abc"},
    {"NulDropped", "a\0b"sv, "ab"},
    {"DeleteKept", "a\x7F" "b", "a\x7F" "b"},
    {"NonCharactersDropped", "a\xEF\xBF\xBE" "b\xEF\xBF\xBF" "c", "abc"},
    {"ReplacementCharacterKept", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
    {"LoneContinuationBytes", "a\x80" "b\xBF" "c", "abc"},
    {"TruncatedTwoByteAtEnd", "ab\xC4", "ab"},
    {"TruncatedThreeByteAtEnd", "ab\xE2\x82", "ab"},
    {"TruncatedBeforeAscii", "\xE2\x82z", "z"},
    {"TruncatedBeforeGoodLetter", "\xE2\x82\xC5\x9F", "\xC5\x9F"},
    {"HighSurrogate", "a\xED\xA0\x80" "b", "ab"},
    {"LowSurrogate", "a\xED\xBF\xBF" "b", "ab"},
    {"OverlongSlash", "\xC0\xAF\xE0\x80\xAF", ""},
    {"BeyondUnicode", "\xF4\x90\x80\x80\xF5\x80\x80\x80", ""},
    {"FourByteKept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {"Windows1254ByteAlone", "\xDE" "ahin", "ahin"},
};

INSTANTIATE_TEST_SUITE_P(Hostile, XmlAllowedChars, ::testing::ValuesIn(kAllowedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XmlEscaped, WritesEntitiesForMarkupAndKeepsReturns) {
  EXPECT_EQ("&lt;a &amp; &#39;b&#39; &quot;c&quot;&gt;", XmlEscaped("<a & 'b' \"c\">"));
  EXPECT_EQ("]]&gt;", XmlEscaped("]]>"));
  EXPECT_EQ("x&lt;y", XmlEscaped("x\x01<\x02y"));
  // A bare carriage return would come back from a parser as a line feed.
  EXPECT_EQ("a&#13;\nb\tc", XmlEscaped("a\r\nb\tc"));
  EXPECT_EQ("&amp;amp;", XmlEscaped("&amp;"));
}

struct WriterCase {
  const char* name;
  XmlWriter::Mode mode;
  void (*write)(XmlWriter&);
  const char* expected;
};

class XmlWriterOutput : public ::testing::TestWithParam<WriterCase> {};

TEST_P(XmlWriterOutput, WritesTagsAsTheModeNeeds) {
  XmlWriter w(GetParam().mode);
  GetParam().write(w);
  EXPECT_EQ(GetParam().expected, w.Take());
}

constexpr auto kXml = XmlWriter::Mode::Xml;
constexpr auto kHtml = XmlWriter::Mode::Html;

const WriterCase kWriterCases[] = {
    {"XmlEmptyClosesItself", kXml, [](XmlWriter& w) { w.Start("a"); w.Attribute("k", "v"); w.End(); },
     R"(<a k="v"/>)"},
    {"HtmlEmptyGetsEndTag", kHtml, [](XmlWriter& w) { w.Start("td"); w.End(); }, "<td></td>"},
    {"HtmlVoidClosesItself", kHtml, [](XmlWriter& w) { w.Start("meta"); w.Attribute("charset", "utf-8"); w.End(); },
     R"(<meta charset="utf-8"/>)"},
    {"ElementWithoutText", kHtml, [](XmlWriter& w) { w.Element("p", ""); }, "<p></p>"},
    {"AttributeEscaped", kXml, [](XmlWriter& w) { w.Start("a"); w.Attribute("n", "<\"&'>\n"); w.End(); },
     R"(<a n="&lt;&quot;&amp;&#39;&gt;&#10;"/>)"},
    {"AttributeAfterContentLeftOut", kXml,
     [](XmlWriter& w) { w.Start("a"); w.Text("t"); w.Attribute("late", "x"); w.End(); }, "<a>t</a>"},
    {"TakeClosesWhatIsOpen", kXml, [](XmlWriter& w) { w.Start("a"); w.Start("b"); w.Text("x"); }, "<a><b>x</b></a>"},
    {"EndWithNothingOpen", kXml, [](XmlWriter& w) { w.Element("a", "x"); w.End(); w.End(); }, "<a>x</a>"},
    {"RawAsGiven", kHtml, [](XmlWriter& w) { w.Raw("<!DOCTYPE html>"); w.Start("html"); w.Raw("<b>&amp;</b>"); },
     "<!DOCTYPE html><html><b>&amp;</b></html>"},
    {"NewlineIndents", kXml,
     [](XmlWriter& w) { w.Start("a"); w.Newline(); w.Start("b"); w.End(); w.Newline(); w.End(); },
     "<a>\n  <b/>\n</a>"},
};

INSTANTIATE_TEST_SUITE_P(Modes, XmlWriterOutput, ::testing::ValuesIn(kWriterCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every hostile name, as an element's text and as an attribute, parsed back by xmllint.
TEST(XmlWriterReadBack, XmllintReadsEveryHostileNameAsKept) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  if (!HasXmllint()) VELMIRA_ORACLE_MISSING("no /usr/bin/xmllint");
  std::vector<std::string_view> names = {"<", "&", "\"", "'", "]]>", "<![CDATA[x]]>", "&amp;", "a\tb\nc\r\nd"};
  for (const AllowedCase& c : kAllowedCases) names.push_back(c.input);
  XmlWriter w;
  w.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  w.Start("doc");
  for (std::string_view name : names) {
    w.Newline();
    w.Start("e");
    w.Attribute("v", name);
    w.Text(name);
    w.End();
  }
  TestDir dir;
  WriteText(dir / "names.xml", w.Take());
  ASSERT_EQ("", XmlProblems(dir / "names.xml"));
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string element = "/doc/e[" + std::to_string(i + 1) + "]";
    const std::string kept = XmlAllowed(names[i]);
    EXPECT_EQ(kept, XPathString(dir / "names.xml", element)) << "text " << i;
    EXPECT_EQ(kept, XPathString(dir / "names.xml", element + "/@v")) << "attribute " << i;
  }
}

// Random bytes stand for whatever a damaged job file may hold.
TEST(XmlWriterReadBack, RandomBytesAlwaysGiveAWellFormedDocument) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  if (!HasXmllint()) VELMIRA_ORACLE_MISSING("no /usr/bin/xmllint");
  std::mt19937 random(20240627);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 24);
  XmlWriter w;
  w.Start("doc");
  for (int i = 0; i < 500; ++i) {
    std::string junk;
    for (int n = length(random); n > 0; --n) junk += static_cast<char>(byte(random));
    const std::string kept = XmlAllowed(junk);
    ASSERT_EQ(kept, XmlAllowed(kept)) << "what is kept is kept again";
    w.Start("e");
    w.Attribute("v", junk);
    w.Text(junk);
    w.End();
  }
  TestDir dir;
  WriteText(dir / "junk.xml", w.Take());
  EXPECT_EQ("", XmlProblems(dir / "junk.xml"));
}

}  // namespace
