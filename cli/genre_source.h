// Finding the genre list: a file named on the command line, else genre.txt beside the
// program, else in the installed data folder.
#pragma once

#include <filesystem>
#include <optional>

#include "core/genre_list.h"

namespace pelmix::cli {

// The folder the running program lies in; empty when the system does not say.
std::filesystem::path ProgramDirectory();

// The list from the first place that has one; empty when none has. A named file that
// cannot be read is a usage error (UsageError).
GenreList LoadGenres(const std::optional<std::filesystem::path>& namedFile,
                     const std::filesystem::path& programDirectory);

}  // namespace pelmix::cli
