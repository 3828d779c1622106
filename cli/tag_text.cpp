// A tag's genre and track as the command line prints them.
#include "cli/tag_text.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "cli/text_display.h"
#include "core/tag_record.h"

namespace pelmix::cli {

std::string GenreName(const GenreList& genres, CodePage page, std::uint8_t code) {
  const int index = genres.IndexOfCode(code);
  return index == -1 ? std::string() : DecodeText(page, genres.NameAt(index));
}

std::string GenreText(const GenreList& genres, CodePage page, std::uint8_t code) {
  // 255 is how a tag says "no genre", whatever a list calls it.
  if (code == kNoGenre) return "none";
  const std::string name = GenreName(genres, page, code);
  std::string text = name.empty() ? std::string() : Printable(name) + " ";
  text += '(';
  text += std::to_string(code);
  text += ')';
  return text;
}

std::string TrackText(std::uint8_t track) { return track == 0 ? "none" : std::to_string(track); }

std::optional<int> FindGenre(GenreList& genres, CodePage page, const std::string& value) {
  if (value.empty()) return -1;  // no genre: the session writes 255
  if (value.find_first_not_of("0123456789") == std::string::npos) {
    const std::size_t significant = value.find_first_not_of('0');
    const std::int32_t code = significant == std::string::npos ? 0
                              : value.size() - significant > 9 ? INT32_MAX
                                                               : std::stoi(value.substr(significant));
    const int index = genres.IndexOfCode(code);
    return index != -1 ? index : genres.Add("", code);
  }
  return FindGenreName(genres, page, value);
}

std::optional<int> FindGenreName(const GenreList& genres, CodePage page, const std::string& name) {
  const EncodeResult bytes = EncodeText(page, name);
  if (bytes.status != EncodeResult::Status::Ok) return std::nullopt;
  // The list is sorted without regard to ASCII letter case, so the names equal but for it lie
  // together; a list may hold "Rock" and "rock" with codes of their own.
  struct Less {
    bool operator()(const GenreEntry& entry, const std::string& text) const {
      return GenreList::CompareIgnoringCase(entry.name, text) < 0;
    }
    bool operator()(const std::string& text, const GenreEntry& entry) const {
      return GenreList::CompareIgnoringCase(text, entry.name) < 0;
    }
  };
  const std::vector<GenreEntry>& entries = genres.entries();
  const auto [first, last] = std::equal_range(entries.begin(), entries.end(), bytes.bytes, Less{});
  if (first == last) return std::nullopt;
  const auto exact = std::find_if(first, last, [&](const GenreEntry& entry) { return entry.name == bytes.bytes; });
  return static_cast<int>((exact != last ? exact : first) - entries.begin());
}

}  // namespace pelmix::cli
