// Each file is opened once, for reading and writing: its trailer read, then cut off through
// the same handle after core has checked that the file still ends with the bytes read.
#include "cli/strip_command.h"

#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/text_display.h"
#include "core/tag_file.h"

namespace pelmix::cli {
namespace {

struct Outcome {
  const char* text = nullptr;  // nullptr: failed, see reason
  const char* key = nullptr;
  std::string reason;
  std::error_code timeError;
};

Outcome StripOne(const std::filesystem::path& path, const Options& options) {
  RawFile file;
  const std::error_code writeOpenError = file.Open(path, RawFile::Access::ReadWrite);
  // A file that cannot be opened for writing is still read: one without a trailer is no failure.
  if (writeOpenError) {
    if (std::error_code error = file.Open(path, RawFile::Access::Read))
      return {nullptr, nullptr, ErrorReason(error), {}};
  }
  TagRecord record;
  std::int64_t tagOffset = 0;
  const ReadResult read = ReadTagTrailer(file, record, tagOffset);
  if (!read.ok()) return {nullptr, nullptr, ErrorReason(read.error), {}};
  if (read.status == ReadResult::Status::Untagged) return {"unchanged", "unchanged", {}, {}};
  if (writeOpenError) return {nullptr, nullptr, ErrorReason(writeOpenError), {}};
  if (options.dryRun) return {"would strip", "stripped", {}, {}};

  Outcome outcome{"stripped", "stripped", {}, {}};
  std::filesystem::file_time_type modified;
  if (options.keepTimes) modified = std::filesystem::last_write_time(path, outcome.timeError);
  // Core cuts only while the path still names the file held, as it was read.
  StripResult result = StripTagTrailer(file, path, tagOffset, SeenByRead(read, record));
  const std::error_code closed = file.Close();
  if (result.ok() && closed) result = {StripResult::Status::StripFailed, closed};
  if (!result.ok()) {
    const bool changed = result.status == StripResult::Status::ChangedSinceRead;
    return {nullptr, nullptr, changed ? "changed since it was read" : ErrorReason(result.error), {}};
  }
  if (options.keepTimes && !outcome.timeError) std::filesystem::last_write_time(path, modified, outcome.timeError);
  return outcome;
}

}  // namespace

int RunStrip(Options options, Console& console) {
  if (options.operands.empty()) throw UsageError("strip needs at least one file");
  FileList list = CollectFiles(std::move(options.operands), options.recursive);
  const std::vector<NativeName> others = options.anyExtension ? std::vector<NativeName>() : TakeNonMp3Names(list.files);
  Reporter report(console, options, list.files.size());
  for (const FileList::Failure& failure : list.failures) report.Failed(failure.path, "not listed", failure.reason);
  for (const std::filesystem::path& link : list.skippedLinks) report.Warn(link, kSkippedLink);
  for (const NativeName& name : others) {
    report.Failed(std::filesystem::path(name), "not stripped", "not an .mp3 file (--any-extension strips it)");
  }
  for (NativeName& name : list.files) {
    if (StopRequested()) break;
    const std::filesystem::path path(std::move(name));
    const Outcome outcome = StripOne(path, options);
    if (!outcome.text) {
      report.Failed(path, "not stripped", outcome.reason);
    } else {
      report.Done(path, outcome.text, outcome.key);
      if (outcome.timeError) {
        report.Warn(path, "stripped, but its modification time could not be kept: " + ErrorReason(outcome.timeError));
      }
    }
    report.Next();
  }
  return report.status();
}

}  // namespace pelmix::cli
