// Finding the built pelmix-cli and running it, as root's tests run it as "nobody" where they must.
#include "tests/cli/run_program.h"

#include "cli/genre_source.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pelmix::test {
namespace {

std::filesystem::path ProgramPath() { return cli::ProgramDirectory() / PELMIX_CLI_FROM_TESTS; }

#ifndef _WIN32

// The unprivileged run may not be able to reach the build folder (a checkout in root's
// home, mode 700), so it runs a copy of the program in a temporary
// folder that everybody can enter.
std::filesystem::path ReachableProgramPath() {
  static const TempDir copyDir;
  static const std::filesystem::path copy = [] {
    namespace fs = std::filesystem;
    const fs::path program = ProgramPath();
    const fs::path target = copyDir.path() / program.filename();
    fs::copy_file(program, target, fs::copy_options::overwrite_existing);
    const fs::perms readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(copyDir.path(), readable);
    fs::permissions(target, readable);
    return target;
  }();
  return copy;
}

#endif

}  // namespace

std::filesystem::path PelmixCliPath() { return ProgramPath(); }

ProgramRun RunPelmixCli(const std::vector<std::string>& arguments, bool unprivileged) {
#ifdef _WIN32
  return RunProgram(ProgramPath(), arguments, unprivileged);
#else
  const bool dropPrivileges = unprivileged && geteuid() == 0;
  return RunProgram(dropPrivileges ? ReachableProgramPath() : ProgramPath(), arguments, dropPrivileges);
#endif
}

}  // namespace pelmix::test
