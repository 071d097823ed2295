#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "text/TurkishCollation.h"
#include "support/Portable.h"

namespace {

// The C library under the "C" locale is the oracle; our routines must agree with it
// whatever locale the process runs under.
class CLocaleOracle : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

std::string CPrintf(const char* format, double v) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

TEST_F(CLocaleOracle, AtoFAgreesWithTheCLibrary) {
#ifdef _WIN32
  GTEST_SKIP() << "not on Windows: msvcrt's atof reads neither hexadecimal nor infinity, so it is no "
                  "oracle for the C99 atof that AtoF follows; the Linux build checks it against glibc";
#endif
  const char* inputs[] = {"", "  12.5", "-0.25", "+3", "1e3", "1E-3", "39.123456789012",
                          "32.5abc", "abc", "0x1p4", "0x", "-0x10", "inf", "-INF",
                          "infinity", "1e400", "-1e400", "1e-400", ".5", "5.", "--1",
                          "+-1", " \t\n7", "1,5", "0.07", "1.0", "12999", "1e", "1e+",
                          "-", "+", "-.", "-e5", "-abc", "-0", "-0x", "-0.0"};
  for (const char* in : inputs) {
    double expected = std::atof(in);
    double got = text::AtoF(in);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(got)) << in;
    } else {
      EXPECT_EQ(expected, got) << "input \"" << in << "\"";
      // The sign shows in the tables: a lone "-" once printed as "-0.000000000000".
      EXPECT_EQ(std::signbit(expected), std::signbit(got)) << "sign of \"" << in << "\"";
    }
  }
  EXPECT_TRUE(std::isnan(text::AtoF("nan")));
  EXPECT_TRUE(std::isnan(text::AtoF(" -nan(123)")));
}

TEST_F(CLocaleOracle, AtoIAgreesWithTheCLibraryInRange) {
  const char* inputs[] = {"", "0", "42", "-17", "+8", "  9x", "x9", "12999.9", "2147483647",
                          "-2147483648", "4", "004", "1e3"};
  for (const char* in : inputs) EXPECT_EQ(std::atoi(in), text::AtoI(in)) << in;
  EXPECT_EQ(2147483647, text::AtoI("99999999999999999999"));
  EXPECT_EQ(-2147483647 - 1, text::AtoI("-99999999999999999999"));
}

TEST_F(CLocaleOracle, FormatFixedAgreesWithPrintfOnRandomAndBoundaryValues) {
  const double values[] = {0.0, -0.0, 0.12345, 0.12346, 0.8, 0.0234, 0.125, 0.375, 1.0005,
                           -0.00004, -0.00005, 2.5, 500000.0, 4205123.12345, 1e20, -1e-12,
                           123456.78905, 0.1 + 0.2, 9.99995, 1e300};
  for (double v : values) {
    for (int d : {1, 3, 4, 12}) {
      std::string format = "%." + std::to_string(d) + "lf";
      EXPECT_EQ(CPrintf(format.c_str(), v), text::FormatFixed(v, d)) << v << " " << d;
    }
  }
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> dist(-1e7, 1e7);
  for (int i = 0; i < 20000; ++i) {
    double v = dist(rng);
    ASSERT_EQ(CPrintf("%.4lf", v), text::FormatFixed(v, 4)) << v;
    ASSERT_EQ(CPrintf("%.3lf", v), text::FormatFixed(v, 3)) << v;
  }
  EXPECT_EQ(CPrintf("%.4lf", INFINITY), text::FormatFixed(INFINITY, 4));
  EXPECT_EQ("-0.0000", text::FormatFixed(-0.00001, 4));  // a tiny negative keeps its sign
}

TEST(Numbers, IgnoreATurkishProcessLocale) {
  if (!std::setlocale(LC_ALL, "tr_TR.UTF-8")) VELMIRA_ORACLE_MISSING("tr_TR.UTF-8 not generated");
  EXPECT_EQ(0.07, text::AtoF("0.07"));
  EXPECT_EQ(1.0, text::AtoF("1,5"));  // a comma ends the number, as in the C locale
  EXPECT_EQ("500000.1235", text::FormatFixed(500000.12346, 4));
  EXPECT_EQ("-12", text::FormatInt(-12));
  std::setlocale(LC_ALL, "C");
}

TEST(Cp1254, TurkishLettersRoundTripThroughUtf16AndUtf8) {
  // İ Ş Ğ ı ş ğ Ü ö ç in Windows-1254
  const std::string cp = "\xDD\xDE\xD0\xFD\xFE\xF0\xDC\xF6\xE7";
  EXPECT_EQ(u"İŞĞışğÜöç", text::Cp1254ToUtf16(cp));
  EXPECT_EQ("İŞĞışğÜöç", text::Cp1254ToUtf8(cp));
  EXPECT_EQ(cp, text::Utf8ToCp1254("İŞĞışğÜöç"));
  EXPECT_EQ(cp, text::Utf16ToCp1254(u"İŞĞışğÜöç"));
}

TEST(Cp1254, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(all, text::Utf16ToCp1254(text::Cp1254ToUtf16(all)));
  EXPECT_EQ(all, text::Utf8ToCp1254(text::Cp1254ToUtf8(all)));
  EXPECT_EQ(u"\u20AC\u2122\u0178", text::Cp1254ToUtf16("\x80\x99\x9F"));
}

TEST(Cp1254, UnrepresentableAndMalformedInputBecomesQuestionMarks) {
  EXPECT_EQ("a?b", text::Utf8ToCp1254("a\xD0\x96" "b"));  // Cyrillic Zhe
  EXPECT_EQ("?x", text::Utf8ToCp1254("\xC3x"));           // truncated sequence
  EXPECT_EQ("?", text::Utf16ToCp1254(u"\U0001F600"));     // one surrogate pair, one mark
  EXPECT_EQ("\xF0\x9F\x98\x80", text::Utf16ToUtf8(u"\U0001F600"));
  EXPECT_EQ(std::string(), text::Cp1254ToUtf8(""));
}

// Texts in ascending Turkish order, UTF-8 here and Windows-1254 when compared.
struct TurkishOrder {
  const char* name;
  std::vector<const char*> ascending;
};
const TurkishOrder kTurkishOrders[] = {
    {"the alphabet, q w x in their Latin places",
     {"a", "b", "c", "ç", "d", "e", "f", "g", "ğ", "h", "ı", "i", "j", "k", "l", "m",
      "n", "o", "ö", "p", "q", "r", "s", "ş", "t", "u", "ü", "v", "w", "x", "y", "z"}},
    {"dotless and dotted i are two letters", {"ı", "I", "ıa", "i", "İ", "ia"}},
    {"place names in capitals", {"IĞDIR", "ISPARTA", "IŞIK", "İSTANBUL", "İZMİR"}},
    {"case only breaks ties, small first, the first difference decides",
     {"ab", "aB", "Ab", "AB", "ac", "CZ", "ça", "Ça", "da"}},
    {"an accent counts before case", {"kar", "Kar", "kâr", "Kâr", "kara"}},
    {"accents in their order", {"e", "é", "è", "ê", "ë", "ef"}},
    {"Í and Î are built on I, so they go with ı", {"I", "Í", "Î", "i", "î"}},
    {"blanks and punctuation before digits, digits before letters",
     {"P\t1", "P 1", "P\u00A01", "P_1", "P-1", "P,1", "P.1", "P/1", "P1", "PA"}},
    {"digits one by one", {"P1", "P10", "P100", "P2", "P9"}},
    {"ligatures after the letters they join", {"ae", "æ", "Æ", "af", "ss", "ß", "st"}},
    {"forms after their plain characters",
     {"...", "…", "1", "¹", "½", "¼", "2", "a", "A", "ª", "tm", "TM", "™"}},
    {"the middle dot of l·l is an accent on the l, and only there",
     {"la", "lb", "l·b", "lc", "m·b", "ma"}},
};

TEST(TurkishCollation, OrdersTheNamedSequences) {
  for (const TurkishOrder& order : kTurkishOrders) {
    SCOPED_TRACE(order.name);
    for (size_t i = 0; i < order.ascending.size(); ++i) {
      for (size_t j = i + 1; j < order.ascending.size(); ++j) {
        const std::string a = text::Utf8ToCp1254(order.ascending[i]);
        const std::string b = text::Utf8ToCp1254(order.ascending[j]);
        EXPECT_LT(text::CompareTurkish(a, b), 0) << order.ascending[i] << " before " << order.ascending[j];
        EXPECT_GT(text::CompareTurkish(b, a), 0) << order.ascending[j] << " after " << order.ascending[i];
      }
    }
  }
}

TEST(TurkishCollation, ControlsAndSoftHyphensDoNotCount) {
  for (const char* same : {"a\x01" "b", "a\u00ADb", "\x7F" "ab\x1F"}) {
    EXPECT_EQ(0, text::CompareTurkish("ab", text::Utf8ToCp1254(same))) << same;
  }
  EXPECT_EQ(text::TurkishSortKey(""), text::TurkishSortKey("\x01"));
}

}  // namespace
