// UTF-8, the text of file names in titles, the command line and the terminal: reading one
// character at a time and writing one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmix {

// The character starting at `at`, with `at` moved past it. False, with `at` moved past one
// byte, for a byte sequence that is not well-formed UTF-8 (overlong forms and surrogates
// included).
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& codePoint);

void AppendUtf8(std::string& text, char32_t codePoint);

}  // namespace pelmix
