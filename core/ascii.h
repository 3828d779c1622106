// ASCII-only character tests and case folding: tag text and file names are bytes of
// whatever code page, and only the 26 letters and 10 digits mean the same in all of them.
#pragma once

#include <algorithm>
#include <string_view>

namespace pelmix {

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// A-Z to a-z; every other character, of any width, as it is.
template <typename Char>
constexpr Char AsciiLower(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

// Negative, zero or positive; bytes compared as unsigned, ASCII letters folded.
constexpr int CompareIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = AsciiLower(static_cast<unsigned char>(a[i]));
    const unsigned char y = AsciiLower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace pelmix
