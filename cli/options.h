// The command line: which command, its options and its operands.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/tag_field.h"
#include "core/text_codec.h"

namespace pelmix::cli {

// A file name as the system gives and takes it. Names stay strings until their turn comes:
// a path is split into components when it is made, and ten thousand at once cost megabytes.
using NativeName = std::filesystem::path::string_type;

// One command-line argument: as the system gave it, untouched, for file operands, and as
// UTF-8 text for options and values (on POSIX the two are the same string).
struct Argument {
  NativeName native;
#ifdef _WIN32
  std::string utf8;
  const std::string& text() const { return utf8; }
#else
  const std::string& text() const { return native; }
#endif

  static Argument FromUtf8(const std::string& utf8);
};

enum class Command { Show, Stamp, Strip, Genres, Help, Version, Undo, Rename };

struct Options {
  Command command = Command::Help;
  // For Help: the command whose help was asked for ("stamp --help"), or none for the whole program.
  std::optional<Command> helpTopic;
  bool json = false;
  bool dryRun = false;
  bool recursive = false;
  bool quiet = false;
  bool oneLine = false;
  bool keepOrder = false;
  bool anyExtension = false;
  bool keepTimes = false;
  bool list = false;       // undo --list
  bool noJournal = false;  // write without the undo journal
  bool truncate = false;
  bool csv = false;
  CodePage codePage = CodePage::Windows1252;
  std::optional<std::filesystem::path> genresFile;
  // The value given for each field, as UTF-8 (track and genre too), indexed by FieldIndex.
  std::array<std::optional<std::string>, kTagFieldCount> values;
  std::vector<TagField> increments;
  std::optional<std::string> fromName;  // the --from-name pattern, UTF-8
  std::optional<std::filesystem::path> fromCsv;
  std::optional<std::string> renameTo;  // the rename --to pattern, UTF-8
  std::vector<NativeName> operands;

  const std::optional<std::string>& Value(TagField field) const { return values[FieldIndex(field)]; }
  bool Counts(TagField field) const {
    return std::find(increments.begin(), increments.end(), field) != increments.end();
  }
};

// A command line the program cannot act on; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  UsageError(const std::string& message, std::optional<Command> command)
      : std::runtime_error(message), command(command) {}

  // The command the line was for, when that much was understood: its help is the one to see.
  std::optional<Command> command;
};

// The arguments after the program's name; file operands are moved out of them. Options
// follow the getopt_long conventions: bundled short options (-rn), --name=value or
// --name value, unambiguous abbreviations, "--" ends the options; options and operands
// may come in any order. -h/--help and -V/--version win over anything else on the line.
// Throws UsageError.
Options ParseOptions(std::vector<Argument> arguments);

// The command's name as typed: "stamp", ...
const char* CommandName(Command command);

// The option name of a field: "title", "track", ...
const char* FieldOptionName(TagField field);

}  // namespace pelmix::cli
