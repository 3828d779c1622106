// Printing each file's outcome, as a line or a JSON object, and adding up the exit status.
#include "cli/report.h"

#include "cli/text_display.h"

namespace pelmix::cli {

Reporter::Reporter(Console& console, const Options& options, std::size_t total)
    // A dry run's lines are its plan, which is what it was asked for: quiet spares only
    // the success lines of real writes.
    : console_(console), json_(options.json), quiet_(options.quiet && !options.dryRun), dryRun_(options.dryRun),
      progress_(console, total) {}

void Reporter::Done(const std::filesystem::path& path, std::string_view text, std::string_view key,
                    std::string_view details, std::string_view members) {
  if (quiet_) return;
  line_.clear();
  if (json_) {
    line_ += '{';
    line_ += JsonPath(path);
    line_ += ",\"outcome\":\"";
    line_ += key;
    line_ += '"';
    line_ += members;
    line_ += dryRun_ ? ",\"dry_run\":true}\n" : "}\n";
  } else {
    AppendPrintablePath(line_, path);
    line_ += ": ";
    line_ += text;
    line_ += '\n';
    line_ += details;
  }
  console_.Out(line_);
}

void Reporter::Plan(const std::filesystem::path& from, const std::filesystem::path& to, std::string_view key,
                    std::string_view members) {
  if (!json_ && !quiet_) {
    line_.clear();
    AppendPrintablePath(line_, from);
    line_ += " -> ";
    AppendPrintablePath(line_, to);
    line_ += '\n';
    console_.Out(line_);
    return;
  }
  Done(from, {}, key, {}, members);
}

void Reporter::Failed(const std::filesystem::path& path, std::string_view what, std::string_view reason) {
  status_ = kExitFileFailed;
  if (json_) {
    line_.clear();
    line_ += '{';
    line_ += JsonPath(path);
    line_ += ",\"outcome\":\"failed\",\"error\":";
    line_ += JsonString(reason);
    line_ += dryRun_ ? ",\"dry_run\":true}\n" : "}\n";
    console_.Out(line_);
  }
  line_ = "pelmix-cli: ";
  AppendPrintablePath(line_, path);
  line_ += ": ";
  line_ += what;
  line_ += ": ";
  line_ += reason;
  line_ += '\n';
  progress_.Hide();
  console_.Err(line_);
}

void Reporter::Warn(const std::filesystem::path& path, std::string_view text) {
  if (quiet_) return;
  line_ = "pelmix-cli: warning: ";
  AppendPrintablePath(line_, path);
  line_ += ": ";
  line_ += text;
  line_ += '\n';
  progress_.Hide();
  console_.Err(line_);
}

}  // namespace pelmix::cli
