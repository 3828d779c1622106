// A tag's genre and track as the command line prints them.
#include "cli/tag_text.h"

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

}  // namespace pelmix::cli
