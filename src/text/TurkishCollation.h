#pragma once
// Turkish alphabetical order of Windows-1254 texts, the same on every platform: the
// letters first (a b c ç d e f g ğ h ı i j k l m n o ö p r s ş t u ü v y z, with q w x in
// their Latin places), then accents, then case, small before capital. Blanks and
// punctuation come before digits, digits before letters, and digits compare one by one
// ("P10" before "P9"). It agrees with ICU's Turkish collation at its default strength.
#include <string>
#include <string_view>

namespace text {

// A key whose byte order (std::string's <) is the Turkish order of the texts; equal keys
// for texts that differ only by control characters or soft hyphens, which do not count.
std::string TurkishSortKey(std::string_view cp1254);

// Negative, zero or positive as a sorts before, with or after b.
int CompareTurkish(std::string_view a, std::string_view b);

}  // namespace text
