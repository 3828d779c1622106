// Tags as a CSV table for a spreadsheet: the columns show --csv writes, and the table
// stamp --from-csv reads back into each file's values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/options.h"
#include "core/genre_list.h"
#include "core/tag_field.h"
#include "session/batch.h"

namespace pelmix::cli {

// The columns after the path, in the order of the JSON objects; named as the options are.
inline constexpr std::array<TagField, kTagFieldCount> kCsvFields = {TagField::Title, TagField::Artist,  TagField::Album,
                                                                    TagField::Year,  TagField::Comment, TagField::Track,
                                                                    TagField::Genre};

// A genre byte as its cell: empty for none (255), the list's name, or the code when the
// list names none. FindGenre reads each back to the same code.
std::string GenreCell(const GenreList& genres, CodePage page, std::uint8_t code);

struct CsvTable {
  TableSource source{CodePage::Windows1252};
  std::vector<NativeName> files;  // as the rows name them, in their order
  // The lines of the rows that name each file so, in their order.
  std::unordered_map<NativeName, std::vector<std::size_t>> lines;
  std::string shownName;  // the CSV file's name, printable

  // The line of the row behind the file at `place` of the batch: a batch keeps rows that
  // name a file alike in their order, whatever order it puts the files in.
  std::size_t LineOf(const std::vector<NativeName>& batch, std::size_t place) const;
  // "tags.csv, line 5 (a.mp3)".
  std::string Where(const std::vector<NativeName>& batch, std::size_t place) const;
};

// The CSV file as stamp --from-csv takes it: UTF-8, a header naming path and any of the
// field columns, one file a row. Throws UsageError for a file that cannot be read, a header
// with a column unknown or twice, a row of another length than the header, without a
// path, or with a genre the list does not know.
CsvTable ReadCsvTable(const std::filesystem::path& file, const Options& options, GenreList& genres);

}  // namespace pelmix::cli
