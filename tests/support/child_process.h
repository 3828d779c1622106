// Child processes for tests: a piece of a test run apart, for limits and identities that
// must not leak into the test program, and a built program run with its output collected.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>

#include <functional>
#endif

namespace pelmix::test {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the program with these arguments (UTF-8 on Windows, bytes as they are on POSIX) and
// collects what it printed. With `unprivileged`, a test running as the superuser runs it as
// user "nobody" (POSIX only), so that file permissions bind it as they bind everyone else;
// the program must then lie where "nobody" can reach it.
ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      bool unprivileged = false);

#ifndef _WIN32
// Starts body() in a forked child, which exits with what body returns. With `unprivileged`,
// a child of the superuser first becomes "nobody".
pid_t StartChild(const std::function<int()>& body, bool unprivileged = false);

// Starts the program with its standard output and standard error on the open descriptors
// `out` and `err`; with `unprivileged` as StartChild.
pid_t StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments, int out, int err,
                   bool unprivileged = false);

// The child's exit status; 128 plus the signal's number when a signal ended it, as a shell
// tells it; -1 when it cannot be waited for.
int WaitForChild(pid_t child);

// StartChild and WaitForChild in one.
int RunInChild(const std::function<int()>& body, bool unprivileged = false);
#endif

}  // namespace pelmix::test
