// pelmix-cli rename: giving files names made from their tags.
#pragma once

#include "cli/console.h"
#include "cli/options.h"

namespace pelmix::cli {

// 0 when every file was renamed or already had its name, 1 when one failed, 2 (a
// UsageError) when the batch is refused before its first rename.
int RunRename(Options options, Console& console);

}  // namespace pelmix::cli
