// Loading "genre.txt" from arbitrary bytes. Two leading bytes may ask for the rest to be
// repeated up to a million times, so that short inputs reach the sizes where a slow load
// shows: a million lines, a line of megabytes, long runs of digits.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/genre_list.h"
#include "fuzz/require.h"

namespace {

namespace fs = std::filesystem;
using pelmix::fuzz::Require;

constexpr std::size_t kMaxText = 2u << 20;  // a million two-byte lines

// Never destroyed, so that the handler removing the file at exit can still name it.
const fs::path& GenreFile() {
  static const fs::path& path = *[] {
    const fs::path dir = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    auto* made = new fs::path(dir / ("pelmix-fuzz-genre-" + std::to_string(getpid()) + ".txt"));
    std::atexit([] {
      std::error_code ignored;
      fs::remove(GenreFile(), ignored);
    });
    return made;
  }();
  return path;
}

// 0xFF, 0xFE and a byte n repeat the rest 2^min(n, 20) times; any other input is the text.
// Rare on purpose: most inputs stay small and fast.
std::string Expand(std::string_view input) {
  if (input.size() < 3 || input[0] != '\xFF' || input[1] != '\xFE') return std::string(input);
  const std::string_view unit = input.substr(3);
  if (unit.empty()) return {};
  const std::size_t times = std::size_t{1} << std::min(20, static_cast<int>(static_cast<unsigned char>(input[2])));
  std::string text;
  for (std::size_t i = 0; i < times && text.size() + unit.size() <= kMaxText; ++i) text.append(unit);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Byte order with the 26 ASCII letters folded, written here on its own.
bool SortsAfter(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
    return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = Expand(std::string_view(reinterpret_cast<const char*>(data), size));
  {
    std::ofstream out(GenreFile(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    Require(out.good(), "the genre file is written");
  }

  pelmix::GenreList list;
  list.Add("kept only when the file cannot be read", 1);
  Require(list.LoadFile(GenreFile()), "an existing file loads");

  // A line is read in pieces of at most 127 characters, its line feed among them; a name is
  // what follows the code and the blanks, and ends at the line's end or a zero byte.
  const auto& entries = list.entries();
  Require(entries.size() <= text.size(), "no more entries than characters");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = entries[i].name;
    Require(name.size() <= 127, "a name fits in one line read");
    Require(name.find_first_of(std::string("\n\0\x1A", 3)) == std::string::npos,
            "a name holds no line feed, zero byte or Ctrl-Z");
    Require(name.empty() || (name.front() != ' ' && name.front() != '\t'), "a name starts after the blanks");
    if (text.size() <= 4096) Require(text.find(name) != std::string::npos, "a name is a piece of the file");
    if (i > 0) Require(!SortsAfter(entries[i - 1].name, name), "the list is sorted without regard to case");
    Require(list.NameAt(static_cast<int>(i)) == name, "NameAt gives the entry");
    Require(list.CodeAt(static_cast<int>(i)) == entries[i].code, "CodeAt gives the entry's code");
    // IndexOfCode searches the list; for every entry of a long list that alone would be slow.
    if (entries.size() <= 4096)
      Require(list.IndexOfCode(entries[i].code) <= static_cast<int>(i), "IndexOfCode finds the first");
  }
  Require(list.CodeAt(-1) == -1 && list.CodeAt(list.Count()) == -1, "no code outside the list");

  // The sorted list is the file's entries in a stable order: equal names keep file order.
  // Checked up to a size where it costs less than the load itself under the instrumentation.
  if (entries.size() > 65536) return 0;
  std::vector<pelmix::GenreEntry> inFileOrder = pelmix::ParseGenreText(text);
  std::stable_sort(inFileOrder.begin(), inFileOrder.end(),
                   [](const pelmix::GenreEntry& a, const pelmix::GenreEntry& b) { return SortsAfter(b.name, a.name); });
  Require(inFileOrder.size() == entries.size(), "every line of the file is an entry");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Require(inFileOrder[i].name == entries[i].name && inFileOrder[i].code == entries[i].code,
            "equal names keep the order of the file");
  }

  // Each entry's place, by which a strict reader names a bad line: a line of the file, in
  // file order; a piece without a code reads as code 0 with the whole piece as its name.
  const std::vector<pelmix::GenreLine> lines = pelmix::ParseGenreLines(text);
  Require(lines.size() == entries.size(), "a place for every entry");
  const auto lineCount = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].line >= 1 && lines[i].line <= lineCount, "a line of the file");
    Require(i == 0 || lines[i].line >= lines[i - 1].line, "lines in file order");
    if (!lines[i].hasCode) Require(lines[i].entry.code == 0, "no code read where none was seen");
  }
  return 0;
}
