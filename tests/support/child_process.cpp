// Starting and waiting for child processes: fork and exec on POSIX, CreateProcessW on Windows.
#include "tests/support/child_process.h"

#include <stdexcept>

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

int Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
          const std::filesystem::path& out, const std::filesystem::path& err, bool) {
  std::wstring line = L"\"" + program.native() + L"\"";
  for (const std::string& argument : arguments) AppendQuoted(line, Wide(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = Inheritable(out);
  startup.hStdError = Inheritable(err);
  PROCESS_INFORMATION process{};
  // Wine on a busy machine now and then fails to start a program it starts at once when
  // asked again: one more try, and the system's error if that fails too.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 2 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  }
  const DWORD why = started ? 0 : GetLastError();
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) throw std::runtime_error("cannot start " + program.string() + " (error " + std::to_string(why) + ")");
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

#else

int Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
          const std::filesystem::path& out, const std::filesystem::path& err, bool unprivileged) {
  // Opened here, before the child may give up the rights to the test's folder.
  const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (outFd < 0 || errFd < 0) throw std::runtime_error("cannot create the output files of " + program.string());
  const pid_t child = StartProgram(program, arguments, outFd, errFd, unprivileged);
  ::close(outFd);
  ::close(errFd);
  return WaitForChild(child);
}

#endif

}  // namespace

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      bool unprivileged) {
  TempDir outputs;
  ProgramRun run;
  run.status = Spawn(program, arguments, outputs / "out", outputs / "err", unprivileged);
  run.out = Text(ReadFile(outputs / "out"));
  run.err = Text(ReadFile(outputs / "err"));
  return run;
}

#ifndef _WIN32

pid_t StartChild(const std::function<int()>& body, bool unprivileged) {
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    _exit(body());
  }
  return child;
}

pid_t StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments, int out, int err,
                   bool unprivileged) {
  // Everything the child needs is made before the fork: it only moves descriptors and execs.
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return StartChild(
      [&] {
        if (dup2(out, 1) < 0 || dup2(err, 2) < 0) return 127;
        execv(argv[0], argv.data());
        return 127;
      },
      unprivileged);
}

int WaitForChild(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunInChild(const std::function<int()>& body, bool unprivileged) {
  return WaitForChild(StartChild(body, unprivileged));
}

#endif

}  // namespace pelmix::test
