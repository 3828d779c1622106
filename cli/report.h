// Each file's outcome as stamp and strip print it: results on standard output (one line,
// or one JSON object, per file), failures and warnings on standard error, the progress
// counter of a long batch, and the exit status they add up to.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/options.h"

namespace pelmix::cli {

class Reporter {
 public:
  Reporter(Console& console, const Options& options, std::size_t total);

  // A file done. `text` is the outcome for people ("written in place"), `key` for JSON
  // ("written"); `details` (lines of a dry run) follow the text line; `members` are more
  // of the JSON object (",\"cut\":[...]").
  void Done(const std::filesystem::path& path, std::string_view text, std::string_view key,
            std::string_view details = {}, std::string_view members = {});
  // A dry run's plan for a file: "FROM -> TO" (in JSON as Done with `key` and `members`).
  void Plan(const std::filesystem::path& from, const std::filesystem::path& to, std::string_view key,
            std::string_view members);
  // A file not done: "PATH: <what>: <reason>" on standard error, and its JSON object.
  void Failed(const std::filesystem::path& path, std::string_view what, std::string_view reason);
  // "pelmix-cli: warning: PATH: <text>" on standard error, unless quiet (a dry run is never quiet).
  void Warn(const std::filesystem::path& path, std::string_view text);
  // One more file through, for the progress counter.
  void Next() { progress_.Update(++done_); }

  int status() const { return status_; }

 private:
  Console& console_;
  bool json_;
  bool quiet_;
  bool dryRun_;
  Progress progress_;
  std::size_t done_ = 0;
  int status_ = kExitOk;
  // Reused for every file: a batch of many files makes no garbage per file.
  std::string line_;
};

}  // namespace pelmix::cli
