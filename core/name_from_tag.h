// File names made from tag values through a pattern such as "%n - %t": the pattern of
// `rename --to`, and the rule that makes any text a name every system can hold. Plain
// functions on UTF-8 text, no file access.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/tag_field.h"

namespace pelmix {

// The placeholders of --from-name (%n track, %t title, %a artist, %A album, %y year, %%),
// and %Nn, the track padded with zeros to N digits (1 to 9). A placeholder may come more
// than once. Without a width, %n gets the batch's width: the digits of its largest track.
struct NamePart {
  std::string literal;              // when field is empty
  std::optional<TagField> field{};  // a placeholder
  std::size_t width = 0;            // %Nn; 0: the batch's width
};
using NameTemplate = std::vector<NamePart>;

// The template, or why the pattern cannot make names ("unknown placeholder %x", "a name,
// not a path: no / or \\ in the pattern", ...).
std::variant<NameTemplate, std::string> ParseNameTemplate(std::string_view pattern);

// One file's values as UTF-8 (the track as its number), indexed by FieldIndex; a value the
// file does not have is empty.
using TagNameValues = std::array<std::string, kTagFieldCount>;

// The name the values make (before SafeFileName), or the first field a placeholder needs
// and the file has no value for (blank text counts as none). Values are taken without the
// spaces that pad them.
struct MadeName {
  std::string name;
  std::optional<TagField> missing;
};
MadeName MakeName(const NameTemplate& parts, const TagNameValues& values, std::size_t trackWidth);

// The name as one that Windows, and every other system, takes as a single file name:
// \ / : * ? " < > | and control characters become "_"; leading and trailing spaces and dots
// go (no hidden file, no name Windows would cut); a reserved device name (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, in any letter case, alone or before a dot) gets "_" after it. Empty
// when nothing is left. Bytes that are not UTF-8 become "_" too.
std::string SafeFileName(std::string_view utf8);

// The longest name, in bytes of UTF-8, this program gives a file: what the common file
// systems hold in one name.
inline constexpr std::size_t kLongestFileName = 255;

}  // namespace pelmix
