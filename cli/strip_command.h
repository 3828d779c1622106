// pelmix-cli strip: removing the tag trailer from each file.
#pragma once

#include "cli/console.h"
#include "cli/options.h"

namespace pelmix::cli {

// 0 when every file was stripped or had no trailer (or, in a dry run, was read), else 1.
int RunStrip(Options options, Console& console);

}  // namespace pelmix::cli
