// A batch of files stamped in one go (a drop or an Open in Auto Update, a pelmix-cli stamp):
// what it takes besides the window's values, and what stops it before its first file.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "core/tag_record.h"
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

// The values one file gets from its row of a table: UTF-8 text for the text fields, the
// track as text, the genre as an entry of the genre list (-1: no genre); a field without a
// value is not given.
struct RowValues {
  std::array<std::optional<std::string>, kTagFieldCount> text{};
  std::optional<int> genreIndex{};
};

// Values given file by file in a table (a CSV file from a spreadsheet). Only the values
// that differ from what a file holds are written: the rest of a row stands for what the
// file held when the table was made, and a field may keep bytes after its first zero byte
// that a rewrite would clear.
class TableSource {
 public:
  explicit TableSource(CodePage page) : codePage(page) {}

  // The row for a file named so; a second row for the same name leaves the first in place.
  void Add(PathName file, RowValues row) { rows_.emplace(std::move(file), std::move(row)); }
  const RowValues* Find(const PathName& file) const {
    const auto found = rows_.find(file);
    return found == rows_.end() ? nullptr : &found->second;
  }

  CodePage codePage;

 private:
  std::unordered_map<PathName, RowValues> rows_;
};

struct BatchOptions {
  // Whenever a value counts up, the files go in natural order of their names, so that the
  // numbers follow the names, whatever order a drop, a dialog or a shell gave them in;
  // unless the order given is asked for.
  bool keepOrder = false;
  std::optional<NameSource> names{};
  // Every file is read before the first is written, since only the values that differ
  // from the file's own take part: a file that cannot be read, or one named twice, would
  // leave a row unwritten, so either stops the batch.
  std::optional<TableSource> table{};
  // Values longer than their field, as given, counted up or taken per file, are cut to it
  // at a character boundary of this code page instead of refused.
  std::optional<CodePage> truncate{};
};

struct BatchRefusal {
  enum class Reason {
    Value,     // `problem` says which value and why
    NotRead,   // a file of a table cannot be read (`error`)
    SameFile,  // a file of a table is the file at place `earlier` as well
  };
  // The file that would get the value, by its place in the batch's order; none when the
  // value is refused as it stands, for every file.
  std::optional<std::size_t> file;
  FieldProblem problem;
  Reason reason = Reason::Value;
  std::error_code error{};
  std::size_t earlier = 0;
};

// The values a file's name gives for the fields not `given` for writing already, put into
// values and ticked for writing; or why the name gives none that can be stored.
std::optional<FieldProblem> TakeNameValues(const NameSource& names, const FieldFlags& given,
                                           const std::filesystem::path& file, BoundValues& values);

// The values of the file's row for the fields not `given` already that differ from what
// the file holds (`held`), put into values and ticked for writing; or why one of them
// cannot be stored. A file without a row gets none.
std::optional<FieldProblem> TakeRowValues(const TableSource& table, const GenreList& genres, const FieldFlags& given,
                                          const std::filesystem::path& file, const TagRecord& held,
                                          BoundValues& values);

}  // namespace pelmix
