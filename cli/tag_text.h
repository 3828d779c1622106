// How the command line shows one tag's genre and track, shared by show and stamp.
#pragma once

#include <cstdint>
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

}  // namespace pelmix::cli
