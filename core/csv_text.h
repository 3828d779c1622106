// Comma-separated values as RFC 4180 has them, the text a spreadsheet reads and writes:
// plain functions on text, no file access.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelmix {

struct CsvRecord {
  std::size_t line = 0;  // the line it starts on, counted from 1
  std::vector<std::string> cells;

  friend bool operator==(const CsvRecord&, const CsvRecord&) = default;
};

struct CsvProblem {
  enum class Kind {
    UnclosedQuote,   // a quoted cell runs to the end of the text
    TextAfterQuote,  // a quoted cell's closing quote is followed by more than a comma or a line break
    QuoteInCell,     // a cell not in quotes holds a quote
  };
  Kind kind = Kind::UnclosedQuote;
  std::size_t line = 0;  // where the cell in question starts

  friend bool operator==(const CsvProblem&, const CsvProblem&) = default;
};

// The records of the text. A UTF-8 byte order mark at its start is skipped (spreadsheets
// write one); a record ends at CR LF, LF or CR; a cell in double quotes may hold commas,
// line breaks and doubled quotes; a line break at the very end starts no record. A cell
// that AppendCsvRecord guarded against being taken for a formula loses its guard.
std::variant<std::vector<CsvRecord>, CsvProblem> ReadCsv(std::string_view text);

// One record added to `text`, ended by CR LF. A cell is put in double quotes when it holds
// a comma, a quote or a line break. A cell a spreadsheet would run as a formula (one that
// starts with = + - @, a tab or CR, after any apostrophes) gets an apostrophe in front,
// which ReadCsv takes off again, so every cell reads back as it was.
void AppendCsvRecord(std::string& text, std::span<const std::string> cells);

}  // namespace pelmix
