// Standard output and standard error as UTF-8 text: the console's wide-character calls on
// a Windows console, bytes everywhere else. Output is gathered and written in large pieces.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace pelmix::cli {

// Once, at start-up. A closed output pipe and the file size limit are met as errors of the
// calls that meet them instead of as signals that end the process part-way through a batch:
// the files are the job, and an append cut short by the size limit must be undone.
void IgnoreBatchEndingSignals();

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
  // For commands whose output is all they do (show, genres, help): a reader that closed the
  // pipe has taken what it wanted, so the program stops there, quietly, the way the shell's
  // other tools stop. A stamp or strip keeps going, since its files are the job.
  void StopWhenOutputCloses() { stopWhenOutputCloses_ = true; }
  // Flushes, and when standard output could not be written (a full disk, a closed pipe)
  // says so on standard error and turns an exit status of 0 into 1: output cut short
  // must not look complete.
  int Finish(int status);

  bool outIsTerminal() const { return outIsTerminal_; }
  bool errIsTerminal() const { return errIsTerminal_; }

 private:
  std::string pending_;
  // The first failure to write standard output; nothing more is sent there after it.
  std::error_code outError_;
  bool outIsTerminal_ = false;
  bool errIsTerminal_ = false;
  bool stopWhenOutputCloses_ = false;
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
