#include "cli/console.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
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

void Write(bool error, std::string_view text) {
  if (text.empty()) return;
  const HANDLE handle = Handle(error);
  if (IsConsole(error)) {
    // A console shows UTF-16 correctly whatever its code page; bytes it would misread.
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

#else

bool IsConsole(bool error) { return isatty(error ? STDERR_FILENO : STDOUT_FILENO) == 1; }

void Write(bool error, std::string_view text) {
  const int fd = error ? STDERR_FILENO : STDOUT_FILENO;
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    // A closed pipe or a full disk: the files' outcome is in the exit status all the same.
    if (n <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

#endif

}  // namespace

Console::Console() : outIsTerminal_(IsConsole(false)), errIsTerminal_(IsConsole(true)) {}

Console::~Console() { Flush(); }

void Console::Out(std::string_view text) {
  pending_ += text;
  if (outIsTerminal_ || pending_.size() >= kFlushSize) Flush();
}

void Console::Err(std::string_view text) {
  Flush();
  Write(true, text);
}

void Console::Flush() {
  Write(false, pending_);
  pending_.clear();
}

Progress::Progress(Console& console, std::size_t total)
    : console_(console), total_(total), active_(console.errIsTerminal() && !console.outIsTerminal() && total > kProgressThreshold) {}

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
