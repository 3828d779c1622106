// The whole program behind main: parsing, dispatch, usage errors and exit status.
#pragma once

#include <vector>

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/options.h"

namespace pelmix::cli {

// The arguments after the program's name; returns the exit status.
int RunCli(std::vector<Argument> arguments, Console& console);

}  // namespace pelmix::cli
