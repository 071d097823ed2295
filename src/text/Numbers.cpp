#include "text/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace text {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

size_t SkipSpace(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  return i;
}

bool HasNegativeExponent(std::string_view digits) {
  for (size_t i = 0; i + 1 < digits.size(); ++i) {
    char c = digits[i];
    if ((c == 'e' || c == 'E' || c == 'p' || c == 'P') && digits[i + 1] == '-') return true;
  }
  return false;
}

}  // namespace

double AtoF(std::string_view s) {
  size_t i = SkipSpace(s);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string_view rest = s.substr(i);
  auto format = std::chars_format::general;
  if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    format = std::chars_format::hex;
    rest.remove_prefix(2);
  }
  // from_chars takes no sign of its own; a second sign is not a number.
  if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) return 0.0;
  double value = 0.0;
  auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value, format);
  if (ec == std::errc::invalid_argument) {
    // "0x" with no hexadecimal digit parses as the 0 in front of it, sign and all; with
    // no digit at all nothing is converted, and the C library gives +0 whatever the sign.
    return negative && format == std::chars_format::hex ? -0.0 : 0.0;
  }
  if (ec == std::errc::result_out_of_range) {
    std::string_view matched(rest.data(), static_cast<size_t>(end - rest.data()));
    value = HasNegativeExponent(matched) ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

namespace {

// Decimal digits after white space and a sign, saturating at +-limit (limit + 1 below).
std::int64_t ParseSaturated(std::string_view s, std::uint64_t limit) {
  size_t i = SkipSpace(s);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::uint64_t bound = limit + (negative ? 1 : 0);
  std::uint64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(s[i] - '0');
    value = value > (bound - digit) / 10 ? bound : value * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(value);
  return value == 0 ? 0 : -static_cast<std::int64_t>(value - 1) - 1;
}

}  // namespace

int AtoI(std::string_view s) {
  return static_cast<int>(ParseSaturated(s, static_cast<std::uint64_t>(std::numeric_limits<int>::max())));
}

std::int64_t AtoI64(std::string_view s) {
  return ParseSaturated(s, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
}

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 40) decimals = 40;
  // DBL_MAX with 40 decimals needs 309 + 1 + 40 characters and a sign.
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::fixed, decimals);
  if (ec != std::errc()) return {};
  return std::string(buffer, end);
}

std::string FormatInt(std::int64_t value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  return std::string(buffer, end);
}

}  // namespace text
