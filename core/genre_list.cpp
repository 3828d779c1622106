// Genre list: the "genre.txt" format and the sorted list the window shows.
#include "core/genre_list.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "core/ascii.h"
#include "core/raw_file.h"

namespace pelmix {
namespace {

constexpr char kEndOfText = 26;  // Ctrl-Z

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Text mode as the file was written for: CR LF is a line end, Ctrl-Z ends the text.
std::string ToTextMode(std::string_view raw) {
  raw = raw.substr(0, std::min(raw.find(kEndOfText), raw.size()));
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text.push_back(raw[i]);
  }
  return text;
}

GenreEntry ParseLine(std::string_view line, bool& hasCode) {
  std::size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  hasCode = at < line.size() && IsAsciiDigit(line[at]);
  // 32-bit arithmetic that wraps: a long run of digits gives its value modulo 2^32.
  std::uint32_t code = 0;
  while (at < line.size() && IsAsciiDigit(line[at])) {
    code = code * 10u + static_cast<std::uint32_t>(line[at] - '0');
    ++at;
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  return {std::string(line.substr(at)), static_cast<std::int32_t>(code)};
}

}  // namespace

std::vector<GenreLine> ParseGenreLines(std::string_view raw) {
  const std::string text = ToTextMode(raw);
  std::vector<GenreLine> lines;
  std::size_t start = 0;
  std::size_t lineNumber = 1;
  bool continued = false;
  while (start < text.size()) {
    // Look no further than one piece: a search to the end of a long line for every piece
    // of it costs time with the square of the line's length.
    std::string_view line = std::string_view(text).substr(start, kGenreLinePiece);
    if (const std::size_t feed = line.find('\n'); feed != std::string_view::npos) line = line.substr(0, feed + 1);
    start += line.size();
    const bool ended = !line.empty() && line.back() == '\n';
    if (ended) line.remove_suffix(1);
    const bool pieceContinues = continued;
    const std::size_t pieceLine = lineNumber;
    continued = !ended;
    if (ended) ++lineNumber;
    // A zero byte ends the text of its line.
    line = line.substr(0, std::min(line.find('\0'), line.size()));
    if (line.empty()) continue;
    bool hasCode = false;
    GenreEntry entry = ParseLine(line, hasCode);
    lines.push_back({std::move(entry), pieceLine, hasCode, pieceContinues});
  }
  return lines;
}

std::vector<GenreEntry> ParseGenreText(std::string_view raw) {
  std::vector<GenreLine> lines = ParseGenreLines(raw);
  std::vector<GenreEntry> entries;
  entries.reserve(lines.size());
  for (GenreLine& line : lines) entries.push_back(std::move(line.entry));
  return entries;
}

bool ReadGenreFile(const std::filesystem::path& path, std::string& raw, std::error_code& why) {
  RawFile file;
  if ((why = file.Open(path, RawFile::Access::Read))) return false;
  std::int64_t size = 0;
  if ((why = file.SizeAtOpen(size))) return false;
  if (size > GenreList::kMaxFileSize) {
    why = std::make_error_code(std::errc::file_too_large);
    return false;
  }
  raw.assign(static_cast<std::size_t>(size), '\0');
  std::size_t got = 0;
  // A read error part-way keeps the entries read up to it.
  file.ReadAt(0, std::span(reinterpret_cast<std::uint8_t*>(raw.data()), raw.size()), got);
  raw.resize(got);
  return true;
}

int GenreList::CompareIgnoringCase(std::string_view a, std::string_view b) { return CompareIgnoringAsciiCase(a, b); }

GenreList::GenreList() : compare_(&GenreList::CompareIgnoringCase) {}

GenreList::GenreList(NameCompare compare) : compare_(std::move(compare)) {}

bool GenreList::Load(const std::filesystem::path& directory) { return LoadFile(directory / "genre.txt"); }

bool GenreList::LoadFile(const std::filesystem::path& path) {
  std::error_code ignored;
  return LoadFile(path, ignored);
}

bool GenreList::LoadFile(const std::filesystem::path& path, std::error_code& why) {
  std::string raw;
  if (!ReadGenreFile(path, raw, why)) return false;
  Assign(ParseGenreText(raw));
  return true;
}

void GenreList::Assign(std::vector<GenreEntry> entries) {
  // All entries first, then one sort: inserting each at its place costs time with the
  // square of the list's length. A stable sort keeps equal names in file order, where
  // Add puts them.
  entries_ = std::move(entries);
  std::stable_sort(entries_.begin(), entries_.end(),
                   [this](const GenreEntry& a, const GenreEntry& b) { return compare_(a.name, b.name) < 0; });
  Reindex();
}

void GenreList::Reindex() {
  firstOfCode_.clear();
  // In list order, so the first entry of each code is the one kept.
  for (int i = 0; i < Count(); ++i) firstOfCode_.try_emplace(entries_[static_cast<std::size_t>(i)].code, i);
}

int GenreList::Add(std::string name, std::int32_t code) {
  const auto at = std::upper_bound(
      entries_.begin(), entries_.end(), name,
      [this](const std::string& n, const GenreEntry& e) { return compare_(n, e.name) < 0; });
  const auto placed = entries_.insert(at, GenreEntry{std::move(name), code});
  const int position = static_cast<int>(placed - entries_.begin());
  for (auto& [ignored, first] : firstOfCode_) {
    if (first >= position) ++first;
  }
  const auto [known, added] = firstOfCode_.try_emplace(code, position);
  if (!added) known->second = std::min(known->second, position);
  return position;
}

int GenreList::IndexOfName(std::string_view name) const {
  // Names the comparison finds equal lie together, since the list is sorted by it.
  const auto first = std::lower_bound(
      entries_.begin(), entries_.end(), name,
      [this](const GenreEntry& e, std::string_view n) { return compare_(e.name, n) < 0; });
  const auto last = std::upper_bound(
      first, entries_.end(), name, [this](std::string_view n, const GenreEntry& e) { return compare_(n, e.name) < 0; });
  if (first == last) return -1;
  const auto exact = std::find_if(first, last, [&](const GenreEntry& entry) { return entry.name == name; });
  return static_cast<int>((exact != last ? exact : first) - entries_.begin());
}

const std::string& GenreList::NameAt(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("no genre entry at this index");
  return entries_[static_cast<std::size_t>(index)].name;
}

std::int32_t GenreList::CodeAt(int index) const {
  if (index < 0 || index >= Count()) return -1;
  return entries_[static_cast<std::size_t>(index)].code;
}

int GenreList::IndexOfCode(std::int32_t code) const {
  const auto found = firstOfCode_.find(code);
  return found == firstOfCode_.end() ? -1 : found->second;
}

}  // namespace pelmix
