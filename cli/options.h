// The command line: which command, its options and its operands.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/code_page.h"
#include "core/tag_field.h"

namespace pelmix::cli {

// One command-line argument: as UTF-8 text for options and values, and as the path the
// system gave, untouched, for file operands.
struct Argument {
  std::string text;
  std::filesystem::path path;
};

enum class Command { Show, Stamp, Genres, Help, Version };

struct Options {
  Command command = Command::Help;
  bool json = false;
  bool dryRun = false;
  bool recursive = false;
  CodePage codePage = CodePage::Windows1252;
  std::optional<std::filesystem::path> genresFile;
  // The value given for each field, as UTF-8 (track and genre too), indexed by FieldIndex.
  std::array<std::optional<std::string>, kTagFieldCount> values;
  std::vector<TagField> increments;
  std::vector<std::filesystem::path> operands;

  const std::optional<std::string>& Value(TagField field) const { return values[FieldIndex(field)]; }
};

// A command line the program cannot act on; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program's name. Throws UsageError.
Options ParseOptions(const std::vector<Argument>& arguments);

// The option name of a field: "title", "track", ...
const char* FieldOptionName(TagField field);

}  // namespace pelmix::cli
