// Standard output and standard error as UTF-8 text: the console's wide-character calls on
// a Windows console, bytes everywhere else. Output is gathered and written in large pieces.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace pelmix::cli {

class Console {
 public:
  Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console();

  void Out(std::string_view text);
  // Writes standard output's pending text first, so the two streams keep their order.
  void Err(std::string_view text);
  void Flush();

  bool outIsTerminal() const { return outIsTerminal_; }
  bool errIsTerminal() const { return errIsTerminal_; }

 private:
  std::string pending_;
  bool outIsTerminal_ = false;
  bool errIsTerminal_ = false;
};

// A one-line "done of total" counter on a terminal's standard error for long batches whose
// outcome lines go elsewhere (on the terminal they show the progress themselves). Hide it
// before printing to standard error; it is wiped when the batch ends.
class Progress {
 public:
  Progress(Console& console, std::size_t total);
  ~Progress() { Hide(); }

  void Update(std::size_t done);
  void Hide();

 private:
  Console& console_;
  std::size_t total_;
  bool active_;
  std::size_t shownLength_ = 0;
  std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace pelmix::cli
