// The order people expect of numbered file names: "2 Intro.mp3" before "10 Outro.mp3".
#pragma once

#include <filesystem>
#include <string_view>

namespace pelmix {

// Runs of digits compare by their value, other bytes with ASCII letters folded to lower
// case; names that still tie are ordered byte for byte, so the order is total.
int NaturalCompare(std::string_view a, std::string_view b);

// Paths compared component by component with NaturalCompare: a folder's files stay together.
bool NaturalPathLess(const std::filesystem::path& a, const std::filesystem::path& b);

// The same order on names as the system gives them; on POSIX without making paths, so
// ten thousand operands sort in a blink.
bool NaturalNameLess(const std::filesystem::path::string_type& a, const std::filesystem::path::string_type& b);

}  // namespace pelmix
