// Reading and writing CSV text, with the formula guard both directions agree on.
#include "core/csv_text.h"

#include <algorithm>
#include <optional>

namespace pelmix {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Spreadsheets run a cell starting with one of these as a formula: a tag from anywhere
// must not run in the user's spreadsheet.
bool StartsLikeFormula(std::string_view cell) {
  const std::size_t first = cell.find_first_not_of('\'');
  return first != std::string_view::npos && std::string_view("=+-@\t\r").find(cell[first]) != std::string_view::npos;
}

// An apostrophe in front of a cell that starts like a formula after it is a guard; any
// other apostrophe is the cell's own.
void TakeOffGuard(std::string& cell) {
  if (cell.starts_with('\'') && StartsLikeFormula(std::string_view(cell).substr(1))) cell.erase(0, 1);
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {
    if (text_.starts_with(kByteOrderMark)) text_.remove_prefix(kByteOrderMark.size());
  }

  std::variant<std::vector<CsvRecord>, CsvProblem> Run() {
    std::vector<CsvRecord> records;
    while (at_ < text_.size()) {
      CsvRecord record{.line = line_, .cells = {}};
      for (;;) {
        std::string cell;
        const std::size_t cellLine = line_;
        const std::optional<CsvProblem::Kind> problem = text_[at_] == '"' ? Quoted(cell) : Plain(cell);
        if (problem) return CsvProblem{*problem, cellLine};
        TakeOffGuard(cell);
        record.cells.push_back(std::move(cell));
        if (at_ < text_.size() && text_[at_] == ',') {
          ++at_;
          // A comma at the very end still starts one more, empty, cell.
          if (at_ == text_.size()) record.cells.emplace_back();
          if (at_ < text_.size()) continue;
        }
        break;
      }
      SkipLineBreak();
      records.push_back(std::move(record));
    }
    return records;
  }

 private:
  bool AtLineBreak() const { return at_ < text_.size() && (text_[at_] == '\n' || text_[at_] == '\r'); }

  void SkipLineBreak() {
    if (at_ < text_.size() && text_[at_] == '\r') ++at_;
    if (at_ < text_.size() && text_[at_] == '\n') ++at_;
    ++line_;
  }

  std::optional<CsvProblem::Kind> Plain(std::string& cell) {
    const std::size_t end = std::min(text_.find_first_of(",\r\n", at_), text_.size());
    cell.assign(text_, at_, end - at_);
    at_ = end;
    if (cell.find('"') != std::string::npos) return CsvProblem::Kind::QuoteInCell;
    return std::nullopt;
  }

  std::optional<CsvProblem::Kind> Quoted(std::string& cell) {
    ++at_;
    for (;;) {
      const std::size_t quote = text_.find('"', at_);
      if (quote == std::string_view::npos) return CsvProblem::Kind::UnclosedQuote;
      CountLines(at_, quote);
      cell.append(text_, at_, quote - at_);
      at_ = quote + 1;
      if (at_ < text_.size() && text_[at_] == '"') {
        cell.push_back('"');
        ++at_;
        continue;
      }
      if (at_ < text_.size() && text_[at_] != ',' && !AtLineBreak()) return CsvProblem::Kind::TextAfterQuote;
      return std::nullopt;
    }
  }

  // Line breaks inside a quoted cell, so that later records are told by their real lines.
  void CountLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= to || text_[i + 1] != '\n'))) ++line_;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
};

}  // namespace

std::variant<std::vector<CsvRecord>, CsvProblem> ReadCsv(std::string_view text) { return Reader(text).Run(); }

void AppendCsvRecord(std::string& text, std::span<const std::string> cells) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) text.push_back(',');
    const std::string& cell = cells[i];
    const bool guard = StartsLikeFormula(cell);
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
      if (guard) text.push_back('\'');
      text += cell;
      continue;
    }
    text.push_back('"');
    if (guard) text.push_back('\'');
    for (char c : cell) {
      if (c == '"') text.push_back('"');
      text.push_back(c);
    }
    text.push_back('"');
  }
  text += "\r\n";
}

}  // namespace pelmix
