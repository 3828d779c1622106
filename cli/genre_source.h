// Finding the genre list: a file named on the command line, else genre.txt beside the
// program, else the list built into the program from the shipped genre.txt.
#pragma once

#include <filesystem>
#include <optional>

#include "core/genre_list.h"

namespace pelmix::cli {

// The folder the running program lies in; empty when the system does not say.
std::filesystem::path ProgramDirectory();

// The list from the first place that has one. A named file that cannot be read is a usage
// error (UsageError). Without a named file, an empty programDirectory means: built-in only.
GenreList LoadGenres(const std::optional<std::filesystem::path>& namedFile,
                     const std::filesystem::path& programDirectory);

}  // namespace pelmix::cli
