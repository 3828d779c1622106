#include "tests/cli/run_program.h"

#include <filesystem>
#include <stdexcept>

#include "cli/genre_source.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pelmix::test {
namespace {

std::filesystem::path ProgramPath() {
  return cli::ProgramDirectory() / PELMIX_CLI_FROM_TESTS;
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
  const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
  return path.native();
}

// The quoting the C runtime's argument splitting undoes: backslashes double only before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  line += L" \"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

HANDLE Inheritable(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

int Spawn(const std::filesystem::path& programPath, const std::vector<std::string>& arguments,
          const std::filesystem::path& out, const std::filesystem::path& err, bool) {
  std::wstring line = L"\"" + programPath.native() + L"\"";
  for (const std::string& argument : arguments) AppendQuoted(line, Wide(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = Inheritable(out);
  startup.hStdError = Inheritable(err);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                      &process);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) throw std::runtime_error("cannot start pelmix-cli");
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

#else

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

int Spawn(const std::filesystem::path& programPath, const std::vector<std::string>& arguments,
          const std::filesystem::path& out, const std::filesystem::path& err, bool unprivileged) {
  const bool dropPrivileges = unprivileged && geteuid() == 0;
  const std::string program = (dropPrivileges ? ReachableProgramPath() : programPath).string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outFd < 0 || errFd < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0) _exit(127);
    constexpr uid_t kNobody = 65534;
    if (dropPrivileges && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

#endif

}  // namespace

std::filesystem::path PelmixCliPath() { return ProgramPath(); }

ProgramRun RunPelmixCli(const std::vector<std::string>& arguments, bool unprivileged) {
  TempDir outputs;
  ProgramRun run;
  run.status = Spawn(ProgramPath(), arguments, outputs / "out", outputs / "err", unprivileged);
  run.out = Text(ReadFile(outputs / "out"));
  run.err = Text(ReadFile(outputs / "err"));
  return run;
}

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  TempDir outputs;
  ProgramRun run;
  run.status = Spawn(program, arguments, outputs / "out", outputs / "err", false);
  run.out = Text(ReadFile(outputs / "out"));
  run.err = Text(ReadFile(outputs / "err"));
  return run;
}

}  // namespace pelmix::test
