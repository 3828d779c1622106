// Reading a CSV table back for stamp --from-csv: the file, its header, and a row per file.
#include "cli/csv_table.h"

#include <algorithm>
#include <span>
#include <variant>

#include "cli/tag_text.h"
#include "cli/text_display.h"
#include "core/ascii.h"
#include "core/csv_text.h"
#include "core/file_error.h"
#include "core/raw_file.h"
#include "core/tag_record.h"

namespace pelmix::cli {
namespace {

// Far more than the rows of any music collection; a device or a wrong file named by
// mistake is not read into memory whole.
constexpr std::int64_t kMostCsvBytes = std::int64_t{256} << 20;

bool AllDigits(std::string_view text) { return text.find_first_not_of("0123456789") == std::string_view::npos; }

std::string ReadWhole(const std::filesystem::path& file, const std::string& shownName) {
  std::string text;
  if (const std::error_code why = ReadWholeFile(file, kMostCsvBytes, text)) {
    const bool folder = KindOf(why) == FileErrorKind::IsADirectory;
    throw UsageError("--from-csv: cannot read " + shownName + ": " + (folder ? "is a folder" : ErrorReason(why)));
  }
  return text;
}

std::string CsvProblemText(CsvProblem::Kind kind) {
  switch (kind) {
    case CsvProblem::Kind::UnclosedQuote: return "a quoted cell has no closing quote";
    case CsvProblem::Kind::TextAfterQuote: return "text after a quoted cell's closing quote";
    case CsvProblem::Kind::QuoteInCell: return "a quote in a cell that is not in quotes";
  }
  return "";
}

constexpr int kPathColumn = -1;

// What each column of the header stands for: the path, or a field.
std::vector<int> ReadHeader(const CsvRecord& header, const std::string& where) {
  std::string known = "path";
  for (TagField field : kCsvFields) known += std::string(", ") + FieldOptionName(field);
  std::vector<int> columns;
  for (const std::string& cell : header.cells) {
    std::optional<int> column;
    if (CompareIgnoringAsciiCase(cell, "path") == 0) column = kPathColumn;
    for (TagField field : kCsvFields) {
      if (CompareIgnoringAsciiCase(cell, FieldOptionName(field)) == 0) column = static_cast<int>(field);
    }
    // A misspelt column would leave its values unwritten without a word.
    if (!column) {
      // Spreadsheets set to some languages separate cells with semicolons.
      const std::string hint = cell.find(';') != std::string::npos ? "; cells are separated by commas" : "";
      throw UsageError(where + "unknown column \"" + Printable(cell) + "\" (" + known + ")" + hint);
    }
    if (std::find(columns.begin(), columns.end(), *column) != columns.end()) {
      throw UsageError(where + "the column \"" + Printable(cell) + "\" comes twice");
    }
    columns.push_back(*column);
  }
  if (std::find(columns.begin(), columns.end(), kPathColumn) == columns.end()) {
    throw UsageError(where + "no path column");
  }
  if (columns.size() < 2) throw UsageError(where + "no column of a field to write (" + known + ")");
  return columns;
}

}  // namespace

std::string GenreCell(const GenreList& genres, CodePage page, std::uint8_t code) {
  if (code == kNoGenre) return {};
  const std::string name = GenreName(genres, page, code);
  // A name FindGenre would take for a code, or for another entry (a list may hold a name
  // twice, or in two letter cases), is given as the code itself.
  if (AllDigits(name)) return std::to_string(code);
  const std::optional<int> found = FindGenreName(genres, page, name);
  return found && genres.CodeAt(*found) == code ? name : std::to_string(code);
}

std::size_t CsvTable::LineOf(const std::vector<NativeName>& batch, std::size_t place) const {
  const NativeName& file = batch[place];
  const auto found = lines.find(file);
  const auto before = static_cast<std::size_t>(std::count(batch.begin(), batch.begin() + place, file));
  return found == lines.end() || before >= found->second.size() ? 0 : found->second[before];
}

std::string CsvTable::Where(const std::vector<NativeName>& batch, std::size_t place) const {
  return shownName + ", line " + std::to_string(LineOf(batch, place)) + " (" +
         Printable(PathText(std::filesystem::path(batch[place]))) + ")";
}

CsvTable ReadCsvTable(const std::filesystem::path& file, const Options& options, GenreList& genres) {
  CsvTable table{
      .source = TableSource(options.codePage), .files = {}, .lines = {}, .shownName = Printable(PathText(file))};
  const std::string text = ReadWhole(file, table.shownName);
  auto read = ReadCsv(text);
  if (const CsvProblem* problem = std::get_if<CsvProblem>(&read)) {
    throw UsageError("--from-csv: " + table.shownName + ", line " + std::to_string(problem->line) + ": " +
                     CsvProblemText(problem->kind));
  }
  const std::vector<CsvRecord>& records = std::get<std::vector<CsvRecord>>(read);
  if (records.empty()) throw UsageError("--from-csv: " + table.shownName + " is empty: it needs a header line");
  const std::vector<int> columns = ReadHeader(records.front(), "--from-csv: " + table.shownName + ", line 1: ");

  for (std::size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    const std::vector<std::string>& cells = record.cells;
    // Spreadsheets leave rows of empty cells below the table.
    if (std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return cell.empty(); })) continue;
    const std::string where = "--from-csv: " + table.shownName + ", line " + std::to_string(record.line) + ": ";
    if (cells.size() != columns.size()) {
      throw UsageError(where + std::to_string(cells.size()) + " cells where the header has " +
                       std::to_string(columns.size()));
    }
    RowValues row;
    NativeName name;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::string& cell = cells[c];
      if (columns[c] == kPathColumn) {
        if (cell.empty()) throw UsageError(where + "no path");
        name = PathFromUtf8(cell).native();
        continue;
      }
      const auto field = static_cast<TagField>(columns[c]);
      if (field != TagField::Genre) {
        row.text[FieldIndex(field)] = cell;
        continue;
      }
      row.genreIndex = FindGenre(genres, options.codePage, cell);
      if (!row.genreIndex) {
        throw UsageError(where + "unknown genre \"" + Printable(cell) + "\" (see pelmix-cli genres)");
      }
    }
    table.files.push_back(name);
    table.lines[name].push_back(record.line);
    table.source.Add(std::move(name), std::move(row));
  }
  return table;
}

}  // namespace pelmix::cli
