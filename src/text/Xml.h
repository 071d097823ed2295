#pragma once
// The one writer of XML (KML, SVG) and of the report's HTML. Every name and text that
// comes from the field passes through it escaped, and characters XML 1.0 does not allow
// are left out, so what it writes is always well-formed.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text as XML 1.0 may hold it: UTF-8 with the characters it does not allow (C0 controls
// other than tab, line feed and carriage return, U+FFFE, U+FFFF, and bytes that are not
// UTF-8) left out.
std::string XmlAllowed(std::string_view utf8);
// XmlAllowed, then & < > " ' as entities.
std::string XmlEscaped(std::string_view utf8);

class XmlWriter {
 public:
  // Html: empty elements other than the void ones (meta, br, ...) get an end tag, as an
  // HTML parser needs; Xml: empty elements close themselves. Void elements close
  // themselves in both, so a page is also well-formed XML.
  enum class Mode { Xml, Html };
  explicit XmlWriter(Mode mode = Mode::Xml) : m_mode(mode) {}

  // Written as given: the XML declaration, a doctype.
  void Raw(std::string_view text);
  void Start(std::string_view name);
  // Only between Start and the element's first content.
  void Attribute(std::string_view name, std::string_view value);
  void Text(std::string_view utf8);
  void End();  // closes the innermost open element
  // Start, Text, End.
  void Element(std::string_view name, std::string_view text);
  // Adds a line break and indent before the next start or end tag, for readable files.
  void Newline();

  // Closes what is still open and hands over the text.
  std::string Take();

 private:
  void CloseStartTag();
  void WritePendingNewline(std::size_t depth);

  Mode m_mode;
  std::string m_out;
  std::vector<std::string> m_open;
  bool m_startTagOpen = false;
  bool m_newlinePending = false;
};
