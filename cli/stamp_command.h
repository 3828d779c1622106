// pelmix-cli stamp: the window's Auto Update over a list of files, values from the command line.
#pragma once

#include "cli/console.h"
#include "cli/options.h"
#include "core/genre_list.h"
#include "session/bound_values.h"

namespace pelmix::cli {

// The controls as Auto Update would find them: the given fields ticked for "Update" with
// their values in the tag's code page, the --increment fields ticked to count up; throws
// UsageError for a value that has no bytes in the code page or a genre without an entry.
// A genre code without an entry gets an unnamed entry in `genres`; whether a tag can hold
// each value the session decides, before any file is touched.
BoundValues StampControls(const Options& options, GenreList& genres);

// 0 when every file was written (or, in a dry run, read), else 1.
int RunStamp(Options options, GenreList& genres, Console& console);

}  // namespace pelmix::cli
