// A tag's genre and track as the command line prints them.
#include "cli/tag_text.h"

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
  const int index = genres.IndexOfName(bytes.bytes);
  return index != -1 ? std::optional<int>(index) : std::nullopt;
}

}  // namespace pelmix::cli
