// Each file is read and cut through the session's file access: held from the read to the
// cut, and cut only while it still ends with the bytes read.
#include "cli/strip_command.h"

#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/text_display.h"
#include "cli/undo_command.h"
#include "session/file_once.h"
#include "session/file_tag_access.h"

namespace pelmix::cli {
namespace {

struct Outcome {
  const char* text = nullptr;  // nullptr: failed, see reason
  const char* key = nullptr;
  std::string reason;
  std::error_code timeError;
  bool stopsBatch = false;  // the journal failed: no later file may be cut either
};

Outcome StripOne(const std::filesystem::path& path, const Options& options, FileTagAccess& access, FileOnce& once) {
  TagRecord record;
  std::int64_t tagOffset = 0;
  const ReadResult read = access.Read(path, record, tagOffset, true);
  if (!read.ok()) return {nullptr, nullptr, ErrorReason(read.error), {}};
  if (!once.FirstTime(read.file)) {
    access.Release();
    return {"done once: the same file came earlier in the batch", "repeated", {}, {}};
  }
  const StripResult result = access.Strip(path, tagOffset, SeenByRead(read, record));
  switch (result.status) {
    case StripResult::Status::Stripped: break;
    case StripResult::Status::ChangedSinceRead: return {nullptr, nullptr, "changed since it was read", {}};
    case StripResult::Status::NotJournaled: return {nullptr, nullptr, JournalFailedReason(result.error), {}, true};
    case StripResult::Status::TimeUnknown:
      return {
          nullptr, nullptr, "its modification time could not be kept (--keep-times): " + ErrorReason(result.error), {}};
    default: return {nullptr, nullptr, ErrorReason(result.error), {}};
  }
  if (result.unchanged) return {"unchanged", "unchanged", {}, {}};
  if (options.dryRun) return {"would strip", "stripped", {}, {}};
  return {"stripped", "stripped", {}, result.timeError};
}

}  // namespace

int RunStrip(Options options, Console& console) {
  if (options.operands.empty()) throw UsageError("strip needs at least one file");
  FileList list = CollectFiles(std::move(options.operands), options.recursive);
  const std::vector<NativeName> others = options.anyExtension ? std::vector<NativeName>() : TakeNonMp3Names(list.files);
  // A journal that cannot be written ends the command before any file is reported on.
  const std::unique_ptr<BatchJournal> journal = StartJournal(options, "strip");
  FileTagAccess access({.dryRun = options.dryRun, .keepTimes = options.keepTimes});
  access.SetJournal(journal.get());
  Reporter report(console, options, list.files.size());
  for (const FileList::Failure& failure : list.failures) report.Failed(failure.path, "not listed", failure.reason);
  for (const std::filesystem::path& link : list.skippedLinks) report.Warn(link, kSkippedLink);
  for (const NativeName& name : others) {
    report.Failed(std::filesystem::path(name), "not stripped", "not an .mp3 file (--any-extension strips it)");
  }
  FileOnce once;
  for (NativeName& name : list.files) {
    if (StopRequested()) break;
    const std::filesystem::path path(std::move(name));
    const Outcome outcome = StripOne(path, options, access, once);
    if (!outcome.text) {
      report.Failed(path, "not stripped", outcome.reason);
      // Without its record no file may be cut: the batch ends here.
      if (outcome.stopsBatch) return EndJournal(journal.get(), true, console, report.status());
    } else {
      report.Done(path, outcome.text, outcome.key);
      if (outcome.timeError) {
        report.Warn(path, "stripped, but its modification time could not be kept: " + ErrorReason(outcome.timeError));
      }
    }
    report.Next();
  }
  return EndJournal(journal.get(), false, console, report.status());
}

}  // namespace pelmix::cli
