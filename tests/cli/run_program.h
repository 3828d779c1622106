// Running the built pelmix-cli as a separate process and collecting what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace pelmix::test {

// The built pelmix-cli, for tests that start it their own way.
std::filesystem::path PelmixCliPath();

// Runs pelmix-cli, found beside the test's build folder, with UTF-8 arguments. With
// `unprivileged`, a test running as root runs the program as user "nobody", so that file
// permissions bind it as they bind everyone else.
ProgramRun RunPelmixCli(const std::vector<std::string>& arguments, bool unprivileged = false);

}  // namespace pelmix::test
