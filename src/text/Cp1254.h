#pragma once
// Conversions between Windows-1254 (the 8-bit code page of job files and of every
// text the program keeps in memory) and Unicode.
#include <string>
#include <string_view>

namespace text {

// Every byte maps to one UTF-16 unit; the five unassigned bytes map to the C1
// control of the same value, as the system converter does.
std::u16string Cp1254ToUtf16(std::string_view cp1254);
std::string Cp1254ToUtf8(std::string_view cp1254);

// Characters that Windows-1254 cannot hold, and malformed UTF-8 sequences, become '?'.
std::string Utf16ToCp1254(std::u16string_view utf16);
std::string Utf8ToCp1254(std::string_view utf8);

std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace text
