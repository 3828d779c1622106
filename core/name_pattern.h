// Tag values read out of a file name by a pattern such as "%n - %a - %t": the parser
// behind `stamp --from-name`. Plain functions on bytes, no file access.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/tag_field.h"

namespace pelmix {

// Placeholders: %n track, %t title, %a artist, %A album, %y year (track and year match
// ASCII digits only, the others any non-empty text); %% is a percent sign. Every other
// byte must appear as it is.
//
// The field a placeholder letter stands for, if any.
std::optional<TagField> PlaceholderField(char letter);

// Why a pattern cannot be used ("unknown placeholder %x", ...), or nothing when it can.
// A pattern must hold at least one placeholder and each at most once.
std::optional<std::string> NamePatternProblem(std::string_view pattern);

// The values a name gives, indexed by FieldIndex; fields the pattern does not name stay empty.
using NameValues = std::array<std::optional<std::string>, kTagFieldCount>;

// The values when the whole name has the pattern's shape, else nothing (also for a pattern
// NamePatternProblem refuses, and a name longer than 4096 bytes). Where a name could be split
// more than one way, text placeholders take as little as they can from the left and digit
// placeholders as much: "%n%t" on "01Intro" gives 01 and Intro, "%a - %t" on
// "A - B - C" gives A and "B - C".
std::optional<NameValues> MatchNamePattern(std::string_view pattern, std::string_view name);

}  // namespace pelmix
