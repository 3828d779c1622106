// Finding the built pelmix-cli and running it, as root's tests run it as "nobody" where they must.
#include "tests/cli/run_program.h"

#include "cli/genre_source.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <optional>
#include <string>

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

// The unprivileged run keeps its undo journal where it may write: a folder of its own that
// it makes, inside one everybody can enter.
class UnprivilegedJournal {
 public:
  UnprivilegedJournal() {
    static const TempDir parent;
    std::filesystem::permissions(parent.path(), std::filesystem::perms::all);
    const char* set = std::getenv("PELMIX_STATE_DIR");
    if (set) saved_ = set;
    ::setenv("PELMIX_STATE_DIR", (parent.path() / "journal").c_str(), 1);
  }
  UnprivilegedJournal(const UnprivilegedJournal&) = delete;
  UnprivilegedJournal& operator=(const UnprivilegedJournal&) = delete;
  ~UnprivilegedJournal() {
    if (saved_) {
      ::setenv("PELMIX_STATE_DIR", saved_->c_str(), 1);
    } else {
      ::unsetenv("PELMIX_STATE_DIR");
    }
  }

 private:
  std::optional<std::string> saved_;
};

#endif

}  // namespace

std::filesystem::path PelmixCliPath() { return ProgramPath(); }

ProgramRun RunPelmixCli(const std::vector<std::string>& arguments, bool unprivileged) {
#ifdef _WIN32
  return RunProgram(ProgramPath(), arguments, unprivileged);
#else
  const bool dropPrivileges = unprivileged && geteuid() == 0;
  std::optional<UnprivilegedJournal> journal;
  if (dropPrivileges) journal.emplace();
  return RunProgram(dropPrivileges ? ReachableProgramPath() : ProgramPath(), arguments, dropPrivileges);
#endif
}

}  // namespace pelmix::test
