#include "text/TurkishCollation.h"

#include <array>
#include <cstdint>

#include "text/Cp1254.h"

namespace text {
namespace {

// Each character here has a primary weight of its own, in this order: layout controls,
// blanks, punctuation and symbols as the Unicode root collation orders them, digits,
// letters. The fraction slash is no Windows-1254 character, but ½ ¼ ¾ are spelled with it.
constexpr std::u16string_view kPrimaryOrder =
    u"\t\n\v\f\r _-–—,;:!¡?¿.·'‘’‚‹›\"“”„«»()[]{}§¶@*/\\&#%‰†‡•`´˜^¯¨¸ˆ°©®+±÷×<=>¬|¦~⁄¤¢$£¥€"
    u"0123456789"
    u"abcçdefƒgğhıijklmnoöpqrsştuüvwxyzµ";

// Capitals share their small letter's weights but for case; Turkish pairs I with ı.
constexpr std::u16string_view kSmall = u"abcçdefgğhıijklmnoöpqrsştuüvwxyz";
constexpr std::u16string_view kCapital = u"ABCÇDEFGĞHIİJKLMNOÖPQRSŞTUÜVWXYZ";

// Forms that follow their plain character, and its capital, at the last level.
constexpr std::u16string_view kPlainOfForm = u" 123ao";
constexpr std::u16string_view kForm = u"\u00A0¹²³ªº";

// An accented letter is its base letter and then the accent, as in its canonical
// decomposition; so Í and Î, built on I, go with ı. The accents in the order of weight.
struct Accent {
  std::u16string_view letters;
  std::u16string_view bases;
};
constexpr Accent kAccents[] = {
    {u"áÁéÉíÍóÓúÚ", u"aAeEiIoOuU"},  // acute
    {u"àÀèÈìÌòÒùÙ", u"aAeEiIoOuU"},  // grave
    {u"âÂêÊîÎôÔûÛ", u"aAeEiIoOuU"},  // circumflex
    {u"šŠ", u"sS"},                  // caron
    {u"åÅ", u"aA"},                  // ring
    {u"äÄëËïÏÿŸ", u"aAeEiIyY"},      // diaeresis
    {u"ãÃñÑõÕ", u"aAnNoO"},          // tilde
    {u"øØ", u"oO"},                  // stroke
};

// Characters that sort as their spelling: a ligature after the letters it joins and before
// any accent on them, the others as a form of what they spell.
struct Expansion {
  char16_t character;
  std::u16string_view spelled;
  bool ligature;
};
constexpr Expansion kExpansions[] = {
    {u'æ', u"ae", true},   {u'Æ', u"AE", true},   {u'œ', u"oe", true},  {u'Œ', u"OE", true},
    {u'ß', u"ss", true},   {u'…', u"...", false}, {u'™', u"TM", false}, {u'½', u"1⁄2", false},
    {u'¼', u"1⁄4", false}, {u'¾', u"3⁄4", false},
};

// Every weight is above kLevelEnd, so a text that another begins with sorts first.
constexpr char kLevelEnd = 1;
constexpr uint8_t kFirstPrimary = 2;
constexpr uint8_t kUnaccented = 2, kLigature = 3, kFirstAccent = 4;
constexpr uint8_t kPlain = 2, kCapitalCase = 3, kFormCase = 4;
static_assert(kFirstPrimary + kPrimaryOrder.size() <= 255);

struct Element {
  uint8_t primary = 0;  // none for an accent
  uint8_t secondary = 0;
  uint8_t tertiary = 0;
};

// The elements of one character: up to three (½ is "1⁄2"), none for the ignored ones.
struct Elements {
  std::array<Element, 3> e{};
  size_t n = 0;
  void Add(Element x) { e[n++] = x; }
};

Elements Resolve(char16_t c) {
  Elements out;
  if (const size_t p = kPrimaryOrder.find(c); p != kPrimaryOrder.npos) {
    out.Add({static_cast<uint8_t>(kFirstPrimary + p), kUnaccented, kPlain});
  } else if (const size_t i = kCapital.find(c); i != kCapital.npos) {
    out = Resolve(kSmall[i]);
    out.e[0].tertiary = kCapitalCase;
  } else if (const size_t f = kForm.find(c); f != kForm.npos) {
    out = Resolve(kPlainOfForm[f]);
    out.e[0].tertiary = kFormCase;
  } else {
    for (size_t k = 0; k < std::size(kAccents); ++k) {
      if (const size_t a = kAccents[k].letters.find(c); a != std::u16string_view::npos) {
        out = Resolve(kAccents[k].bases[a]);
        out.Add({0, static_cast<uint8_t>(kFirstAccent + k), kPlain});
      }
    }
    for (const Expansion& x : kExpansions) {
      if (x.character != c) continue;
      for (const char16_t s : x.spelled) {
        Element e = Resolve(s).e[0];
        if (!x.ligature) e.tertiary = kFormCase;
        out.Add(e);
      }
      if (x.ligature) out.e[0].secondary = kLigature;
    }
  }
  return out;  // controls and the soft hyphen: nothing
}

const std::array<Elements, 256>& ByteTable() {
  static const std::array<Elements, 256> table = [] {
    std::array<Elements, 256> t;
    for (size_t b = 0; b < t.size(); ++b) {
      const char c = static_cast<char>(b);
      t[b] = Resolve(Cp1254ToUtf16(std::string_view(&c, 1))[0]);
    }
    return t;
  }();
  return table;
}

// The one contraction among these characters: as in the Unicode root, a middle dot after
// l (Catalan's l·l) is an accent on the l, heavier than the others.
constexpr char kMiddleDot = '\xB7';
constexpr auto kMiddleDotAccent = static_cast<uint8_t>(kFirstAccent + std::size(kAccents));

// Digits are elements of their own; a natural order would make each run of digits one
// element weighed by its value, here.
template <class F>
void ForEachElement(std::string_view s, F f) {
  const std::array<Elements, 256>& table = ByteTable();
  for (size_t i = 0; i < s.size(); ++i) {
    const Elements& el = table[static_cast<unsigned char>(s[i])];
    for (size_t k = 0; k < el.n; ++k) f(el.e[k]);
    if ((s[i] == 'l' || s[i] == 'L') && i + 1 < s.size() && s[i + 1] == kMiddleDot) {
      f(Element{0, kMiddleDotAccent, kPlain});
      ++i;
    }
  }
}

}  // namespace

std::string TurkishSortKey(std::string_view cp1254) {
  std::string key;
  key.reserve(3 * cp1254.size() + 2);
  for (uint8_t Element::*level : {&Element::primary, &Element::secondary, &Element::tertiary}) {
    if (level != &Element::primary) key += kLevelEnd;
    ForEachElement(cp1254, [&](const Element& e) {
      if (const uint8_t w = e.*level) key += static_cast<char>(w);
    });
  }
  return key;
}

int CompareTurkish(std::string_view a, std::string_view b) {
  return TurkishSortKey(a).compare(TurkishSortKey(b));
}

}  // namespace text
