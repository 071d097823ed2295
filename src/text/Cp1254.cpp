#include "text/Cp1254.h"

#include <array>

namespace text {
namespace {

// Bytes 0x80-0x9F and the six Turkish letters that replace Latin-1's Icelandic ones;
// every other byte is its own code point.
constexpr std::array<char16_t, 32> kHigh80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178};

char16_t ByteToUnit(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kHigh80[b - 0x80];
  switch (b) {
    case 0xD0: return 0x011E;  // Ğ
    case 0xDD: return 0x0130;  // İ
    case 0xDE: return 0x015E;  // Ş
    case 0xF0: return 0x011F;  // ğ
    case 0xFD: return 0x0131;  // ı
    case 0xFE: return 0x015F;  // ş
    default: return b;
  }
}

char CodePointToByte(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (ByteToUnit(static_cast<unsigned char>(b)) == cp) return static_cast<char>(b);
  }
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input yields U+FFFD.
char32_t NextUtf8(std::string_view s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4) return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

}  // namespace

std::u16string Cp1254ToUtf16(std::string_view cp1254) {
  std::u16string out(cp1254.size(), u'\0');
  for (size_t i = 0; i < cp1254.size(); ++i) {
    out[i] = ByteToUnit(static_cast<unsigned char>(cp1254[i]));
  }
  return out;
}

std::string Cp1254ToUtf8(std::string_view cp1254) {
  std::string out;
  out.reserve(cp1254.size() + cp1254.size() / 4);
  for (char c : cp1254) AppendUtf8(out, ByteToUnit(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToCp1254(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char16_t u = utf16[i];
    if (u >= 0xD800 && u < 0xE000) {
      // A surrogate pair is never representable; skip its second half as well.
      if (u < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) ++i;
      out += '?';
      continue;
    }
    out += CodePointToByte(u);
  }
  return out;
}

std::string Utf8ToCp1254(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += CodePointToByte(NextUtf8(utf8, i));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace text
