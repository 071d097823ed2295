#pragma once
// Number parsing and printing that ignore the process locale: under tr_TR the C
// library's atof and printf would use a decimal comma.
#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// The C library's atof in the "C" locale: leading white space, an optional sign, then
// the longest decimal, hexadecimal, "inf" or "nan" prefix; 0.0 when there is none.
// Out-of-range magnitudes give +-HUGE_VAL or 0.0, as strtod does.
double AtoF(std::string_view s);

// The C library's atoi in the "C" locale: white space, sign, decimal digits; 0 when
// there are none. Values beyond the 32-bit range saturate instead of being undefined.
int AtoI(std::string_view s);
// The same into 64 bits, saturating at the 64-bit range: a count read from a file keeps
// the value the file holds, however absurd, instead of a wrapped or clipped one.
std::int64_t AtoI64(std::string_view s);

// printf("%.*f", decimals, value) in the "C" locale (decimals 0 to 40).
std::string FormatFixed(double value, int decimals);

// printf("%d") / printf("%lld").
std::string FormatInt(std::int64_t value);

}  // namespace text
