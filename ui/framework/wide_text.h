// Converting UTF-8 text to the wide text of the W-functions, and wide text to the ANSI code
// page without look-alikes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmix::ui {

// Malformed sequences become U+FFFD rather than being dropped.
std::wstring WideFromUtf8(std::string_view text);

// The text in the ANSI code page, or nothing when a character has no place there: the
// system's own conversion would put a look-alike ("O" for "Ω") or "?" in its place.
std::optional<std::string> ExactAnsiFromWide(std::wstring_view text);
// The first character (one or two UTF-16 units) that ExactAnsiFromWide cannot convert.
std::wstring FirstCharacterWithoutAnsi(std::wstring_view text);

}  // namespace pelmix::ui
