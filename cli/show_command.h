// pelmix-cli show and pelmix-cli genres: printing trailers and the genre list.
#pragma once

#include "cli/console.h"
#include "cli/options.h"
#include "core/genre_list.h"

namespace pelmix::cli {

// Each file's trailer as the window would read it. 0 when every file was read, else 1.
int RunShow(Options options, const GenreList& genres, Console& console);
// Code and name of every entry, in the list's order.
int RunGenres(const Options& options, const GenreList& genres, Console& console);

}  // namespace pelmix::cli
