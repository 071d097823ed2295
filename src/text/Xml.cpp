#include "text/Xml.h"

#include <cstddef>
#include <cstdint>

namespace {

// XML 1.0, production [2] Char: tab, line feed, carriage return, U+0020 to U+D7FF,
// U+E000 to U+FFFD and the planes beyond; surrogates never stand alone in UTF-8.
bool IsXmlChar(std::uint32_t c) {
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at s[i] (RFC 3629, table 3-7 of the
// Unicode standard: no overlong forms, no surrogates, nothing past U+10FFFF), and its
// code point; 0 when the bytes there are not one.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, std::uint32_t& code) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  std::size_t length = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    code = b0 & 0x1Fu;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    code = b0 & 0x0Fu;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    code = b0 & 0x07u;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (b1 < lo || b1 > hi) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(b)) return 0;
    code = (code << 6) | (b & 0x3Fu);
  }
  return length;
}

// Plain printable ASCII needs no decoding; most names and every number are such.
bool IsPlainAscii(unsigned char b) { return b >= 0x20 && b < 0x80; }

void AppendAllowed(std::string& out, std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (IsPlainAscii(static_cast<unsigned char>(utf8[i]))) {
      out += utf8[i++];
      continue;
    }
    std::uint32_t code = 0;
    const std::size_t length = DecodeUtf8(utf8, i, code);
    if (length == 0) {
      ++i;  // a stray byte; what follows is read afresh
      continue;
    }
    if (IsXmlChar(code)) out.append(utf8.substr(i, length));
    i += length;
  }
}

const char* EntityOf(char c, bool inAttribute) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    // A parser turns a bare carriage return into a line feed, and white space in an
    // attribute into spaces; as references they come back as written.
    case '\r': return "&#13;";
    case '\n': return inAttribute ? "&#10;" : nullptr;
    case '\t': return inAttribute ? "&#9;" : nullptr;
    default: return nullptr;
  }
}

bool NeedsWork(std::string_view s) {
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (!IsPlainAscii(b) || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') return true;
  }
  return false;
}

void AppendEscaped(std::string& out, std::string_view utf8, bool inAttribute) {
  if (!NeedsWork(utf8)) {
    out.append(utf8);
    return;
  }
  std::string allowed;
  AppendAllowed(allowed, utf8);
  for (char c : allowed) {
    if (const char* entity = EntityOf(c, inAttribute)) {
      out += entity;
    } else {
      out += c;
    }
  }
}

// HTML's void elements: they never take an end tag.
bool IsVoidElement(std::string_view name) {
  static constexpr std::string_view kVoid[] = {"area", "base", "br",   "col",   "embed",  "hr",  "img",
                                               "input", "link", "meta", "source", "track", "wbr"};
  for (std::string_view v : kVoid) {
    if (v == name) return true;
  }
  return false;
}

}  // namespace

std::string XmlAllowed(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendAllowed(out, utf8);
  return out;
}

std::string XmlEscaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendEscaped(out, utf8, false);
  return out;
}

void XmlWriter::Raw(std::string_view text) {
  CloseStartTag();
  m_out.append(text);
}

void XmlWriter::Start(std::string_view name) {
  CloseStartTag();
  WritePendingNewline(m_open.size());
  m_out += '<';
  m_out.append(name);
  m_open.emplace_back(name);
  m_startTagOpen = true;
}

void XmlWriter::Attribute(std::string_view name, std::string_view value) {
  if (!m_startTagOpen) return;  // past the start tag an attribute would break the document
  m_out += ' ';
  m_out.append(name);
  m_out += "=\"";
  AppendEscaped(m_out, value, true);
  m_out += '"';
}

void XmlWriter::Text(std::string_view utf8) {
  CloseStartTag();
  AppendEscaped(m_out, utf8, false);
}

void XmlWriter::End() {
  if (m_open.empty()) return;
  const std::string name = std::move(m_open.back());
  m_open.pop_back();
  if (m_startTagOpen) {
    m_startTagOpen = false;
    if (m_mode == Mode::Xml || IsVoidElement(name)) {
      m_out += "/>";
      return;
    }
    m_out += "></";
  } else {
    WritePendingNewline(m_open.size());
    m_out += "</";
  }
  m_out += name;
  m_out += '>';
}

void XmlWriter::Element(std::string_view name, std::string_view text) {
  Start(name);
  if (!text.empty()) Text(text);
  End();
}

void XmlWriter::Newline() { m_newlinePending = true; }

std::string XmlWriter::Take() {
  while (!m_open.empty()) End();
  std::string out = std::move(m_out);
  m_out.clear();
  m_startTagOpen = false;
  m_newlinePending = false;
  return out;
}

void XmlWriter::CloseStartTag() {
  if (!m_startTagOpen) return;
  m_out += '>';
  m_startTagOpen = false;
}

void XmlWriter::WritePendingNewline(std::size_t depth) {
  if (!m_newlinePending) return;
  m_newlinePending = false;
  m_out += '\n';
  m_out.append(depth * 2, ' ');
}
