// How the command line shows one tag's genre and track, and finds a genre typed as text;
// shared by show and stamp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/genre_list.h"
#include "core/text_codec.h"

namespace pelmix::cli {

// The name of the list's entry for a genre byte as UTF-8; empty when no entry has the code.
std::string GenreName(const GenreList& genres, CodePage page, std::uint8_t code);
// "Rock (17)", "(200)" for a code without a name, "none" for 255.
std::string GenreText(const GenreList& genres, CodePage page, std::uint8_t code);
// The track number, or "none" for 0.
std::string TrackText(std::uint8_t track);

// The entry of the list a genre typed as UTF-8 stands for: a name (ASCII letter case
// folded) or a code; a code without an entry gets an unnamed one, whether a tag can hold it
// the session decides. -1 for the empty text (no genre); nothing for a name the list lacks.
std::optional<int> FindGenre(GenreList& genres, CodePage page, const std::string& value);
// The entry a genre name typed as UTF-8 stands for: the one spelt exactly so, else the first
// that differs from it in ASCII letter case only; nothing when the list has neither.
std::optional<int> FindGenreName(const GenreList& genres, CodePage page, const std::string& name);

}  // namespace pelmix::cli
