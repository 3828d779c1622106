// The genre names the user picks from, with the code each stands for, in the order of the
// window's sorted drop-down list, read from "genre.txt".
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace pelmix {

struct GenreEntry {
  std::string name;
  std::int32_t code = 0;
};

class GenreList {
 public:
  // Negative, zero or positive as the first name sorts before, with or after the second.
  using NameCompare = std::function<int(std::string_view, std::string_view)>;

  // Names compared byte by byte with ASCII letters folded to lower case.
  static int CompareIgnoringCase(std::string_view a, std::string_view b);

  GenreList();
  // A front end whose platform sorts its drop-down list its own way supplies that comparison,
  // so that an index names the same entry here and in the control.
  explicit GenreList(NameCompare compare);

  // Reads directory/"genre.txt" into the list. When the file cannot be opened the list
  // keeps what it had; otherwise it holds exactly the file's entries. Returns whether the
  // file was opened. Only a regular file of at most kMaxFileSize bytes is read: a FIFO or
  // a device would hang the program or fill its memory.
  bool Load(const std::filesystem::path& directory);
  // The same for a genre file of any name; `why` tells what kept it from being read.
  bool LoadFile(const std::filesystem::path& file);
  bool LoadFile(const std::filesystem::path& file, std::error_code& why);

  // Far beyond any real list (the shipped one is 2 KiB), small enough to read at once.
  static constexpr std::int64_t kMaxFileSize = 16 * 1024 * 1024;
  void Clear() {
    entries_.clear();
    firstOfCode_.clear();
  }
  // Replaces the list with these entries, sorted as Add places them.
  void Assign(std::vector<GenreEntry> entries);
  // Inserts after every name that sorts before or equal to it; returns its position.
  int Add(std::string name, std::int32_t code);
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& NameAt(int index) const;
  // The code at index, or -1 when index names no entry.
  std::int32_t CodeAt(int index) const;
  // The first position whose code equals code, or -1.
  int IndexOfCode(std::int32_t code) const;
  // The entry spelt exactly so, else the first the list's comparison finds equal to it, or -1.
  // Names may be equal but for letter case and still stand for codes of their own.
  int IndexOfName(std::string_view name) const;

  const std::vector<GenreEntry>& entries() const { return entries_; }

 private:
  void Reindex();

  NameCompare compare_;
  std::vector<GenreEntry> entries_;
  // Each code's first position: a batch looks up every file's genre, and a scan of a list
  // of millions costs milliseconds a file.
  std::unordered_map<std::int32_t, int> firstOfCode_;
};

// The file was first read through a 128-byte line buffer, so a longer line arrives as
// several lines of at most this many characters, the line feed counted among them.
inline constexpr std::size_t kGenreLinePiece = 127;

// The entries of one "genre.txt" text, in file order.
std::vector<GenreEntry> ParseGenreText(std::string_view text);

// One entry of a "genre.txt" text with where it came from, for a reader that holds a file
// to the format instead of taking every line as it comes.
struct GenreLine {
  GenreEntry entry;
  std::size_t line = 0;    // the file's line, counted from 1
  bool hasCode = false;    // the line began with a code (after blanks)
  bool continued = false;  // a later piece of a line too long to be read at once
};
std::vector<GenreLine> ParseGenreLines(std::string_view text);

// The bytes of a genre file, read as LoadFile reads them (a regular file of at most
// GenreList::kMaxFileSize bytes); `why` tells what kept it from being read.
bool ReadGenreFile(const std::filesystem::path& file, std::string& raw, std::error_code& why);

}  // namespace pelmix
