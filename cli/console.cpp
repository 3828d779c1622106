// Writing the program's output: WriteConsoleW on a Windows console, large writes of bytes everywhere else.
#include "cli/console.h"

#include <algorithm>
#include <cstdlib>

#include "cli/exit_status.h"
#include "cli/text_display.h"
#include "core/text_codec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace pelmix::cli {
namespace {

constexpr std::size_t kFlushSize = 64 * 1024;
// Fewer files than this finish before a counter would be of use.
constexpr std::size_t kProgressThreshold = 300;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

#ifdef _WIN32

HANDLE Handle(bool error) { return GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE); }

bool IsConsole(bool error) {
  DWORD mode = 0;
  return GetConsoleMode(Handle(error), &mode) != 0;
}

std::error_code Write(bool error, std::string_view text) {
  if (text.empty()) return {};
  const HANDLE handle = Handle(error);
  if (IsConsole(error)) {
    // A console shows UTF-16 correctly whatever its code page; bytes it would misread.
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    if (!WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
      return std::error_code(static_cast<int>(GetLastError()), std::system_category());
    }
    return {};
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      const DWORD code = GetLastError();
      if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
        return std::make_error_code(std::errc::no_space_on_device);
      }
      if (code == ERROR_NO_DATA || code == ERROR_BROKEN_PIPE) return std::make_error_code(std::errc::broken_pipe);
      return std::error_code(static_cast<int>(code), std::system_category());
    }
    if (written == 0) return std::make_error_code(std::errc::io_error);
    text.remove_prefix(written);
  }
  return {};
}

#else

bool IsConsole(bool error) { return isatty(error ? STDERR_FILENO : STDOUT_FILENO) == 1; }

std::error_code Write(bool error, std::string_view text) {
  const int fd = error ? STDERR_FILENO : STDOUT_FILENO;
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::error_code(errno, std::generic_category());
    if (n == 0) return std::make_error_code(std::errc::io_error);
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

#endif

// Ends the program as a closed pipe ends the shell's other tools: by SIGPIPE, which a shell
// reports as status 141 and does not report as an error. Windows has no such signal; there
// the status is that of output that could not be written.
[[noreturn]] void EndAtClosedOutput() {
#ifndef _WIN32
  std::signal(SIGPIPE, SIG_DFL);
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigprocmask(SIG_UNBLOCK, &pipeSignal, nullptr);
  std::raise(SIGPIPE);
#endif
  std::_Exit(kExitFileFailed);
}

}  // namespace

void IgnoreBatchEndingSignals() {
#ifndef _WIN32
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

Console::Console() : outIsTerminal_(IsConsole(false)), errIsTerminal_(IsConsole(true)) {}

Console::~Console() { Flush(); }

void Console::Out(std::string_view text) {
  if (outError_) return;
  pending_ += text;
  if (outIsTerminal_ || pending_.size() >= kFlushSize) Flush();
}

void Console::Err(std::string_view text) {
  Flush();
  Write(true, text);  // nowhere left to tell of a failure here
}

void Console::Flush() {
  if (!outError_) outError_ = Write(false, pending_);
  pending_.clear();
  if (stopWhenOutputCloses_ && outError_ == std::errc::broken_pipe) EndAtClosedOutput();
}

int Console::Finish(int status) {
  Flush();
  if (!outError_) return status;
  // Standard error may be gone as well; the exit status says it regardless.
  Write(true, "pelmix-cli: cannot write the output: " + ErrorReason(outError_) + "\n");
  return status == kExitOk ? kExitFileFailed : status;
}

Progress::Progress(Console& console, std::size_t total)
    : console_(console), total_(total),
      active_(console.errIsTerminal() && !console.outIsTerminal() && total > kProgressThreshold) {}

void Progress::Update(std::size_t done) {
  if (!active_) return;
  const auto now = std::chrono::steady_clock::now();
  if (shownLength_ != 0 && now - lastShown_ < kProgressInterval) return;
  lastShown_ = now;
  const std::string line = std::to_string(done) + " of " + std::to_string(total_) + " files";
  // Spaces wipe what a longer line left; no escape sequences, so every console shows it.
  std::string text(1, '\r');
  text += line;
  text.append(shownLength_ > line.size() ? shownLength_ - line.size() : 0, ' ');
  text += '\r';
  console_.Err(text);
  shownLength_ = std::max(shownLength_, line.size());
}

void Progress::Hide() {
  if (shownLength_ == 0) return;
  std::string text(shownLength_ + 2, ' ');
  text.front() = text.back() = '\r';
  console_.Err(text);
  shownLength_ = 0;
}

}  // namespace pelmix::cli
