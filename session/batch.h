// A batch of files stamped in one go (a drop or an Open in Auto Update, a pelmix-cli stamp):
// what it takes besides the window's values, and what stops it before its first file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/text_codec.h"
#include "session/bound_values.h"
#include "session/value_rules.h"

namespace pelmix {

// A file's name as the system gives it; a batch keeps names as plain strings, since ten
// thousand paths split into components cost megabytes.
using PathName = std::filesystem::path::string_type;

// Values taken from each file's name (without its extension) through a pattern such as
// "%n - %t", for the fields the values do not write already.
struct NameSource {
  std::string pattern;  // UTF-8; one that NamePatternProblem accepts
  CodePage codePage = CodePage::Windows1252;
};

struct BatchOptions {
  // Whenever a value counts up, the files go in natural order of their names, so that the
  // numbers follow the names, whatever order a drop, a dialog or a shell gave them in;
  // unless the order given is asked for.
  bool keepOrder = false;
  std::optional<NameSource> names{};
};

struct BatchRefusal {
  // The file that would get the value, by its place in the batch's order; none when the
  // value is refused as it stands, for every file.
  std::optional<std::size_t> file;
  FieldProblem problem;
};

// The values a file's name gives for the fields not `given` for writing already, put into
// values and ticked for writing; or why the name gives none that can be stored.
std::optional<FieldProblem> TakeNameValues(const NameSource& names, const FieldFlags& given,
                                           const std::filesystem::path& file, BoundValues& values);

}  // namespace pelmix
