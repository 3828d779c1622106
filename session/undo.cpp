// Restoring each file of a batch through the same guarded writes and cuts a batch makes.
#include "session/undo.h"

#include "core/tag_file.h"

namespace pelmix {
namespace {

constexpr auto kTag = static_cast<std::int64_t>(kTagSize);

// Where the batch left the file's end, as the guard of a write compares it: the tag it wrote
// and where, or the end of a file whose tag it removed.
struct LeftByBatch {
  std::int64_t tagOffset = 0;
  TagSeen seen;
};

LeftByBatch Left(const JournalRecord& record) {
  if (record.change == JournalChange::TagRemoved) return {record.sizeBefore - kTag, {record.file, std::nullopt}};
  return {record.before ? record.sizeBefore - kTag : record.sizeBefore, {record.file, record.after}};
}

// A change recorded but never made (the program was stopped between the record and the
// write, or the write failed) leaves the file as it was before.
bool AsBefore(const std::filesystem::path& path, const JournalRecord& record) {
  TagRecord tag;
  std::int64_t tagOffset = 0;
  const ReadResult read = ReadTagTrailer(path, tag, tagOffset);
  if (!read.ok() || read.file != record.file) return false;
  if (record.before) {
    return read.status == ReadResult::Status::Tagged && tagOffset == record.sizeBefore - kTag && tag == *record.before;
  }
  return read.status == ReadResult::Status::Untagged && tagOffset == record.sizeBefore;
}

UndoOutcome NotAsLeft(const std::filesystem::path& path, const JournalRecord& record) {
  return AsBefore(path, record) ? UndoOutcome::AlreadyAsBefore : UndoOutcome::Changed;
}

UndoFileResult Look(const JournaledFile& file) {
  const LeftByBatch left = Left(file.record);
  UndoFileResult result{UndoOutcome::Failed, &file.path, {}};
  RawFile raw;
  if ((result.error = raw.Open(file.path, RawFile::Access::Read))) return result;
  const WriteResult check = CheckAsSeen(raw, &file.path, left.tagOffset, left.seen);
  raw.Close();
  if (check.ok()) {
    result.outcome = UndoOutcome::Restored;
  } else if (check.status == WriteResult::Status::ChangedSinceRead) {
    result.outcome = NotAsLeft(file.path, file.record);
  } else {
    result.error = check.error;
  }
  return result;
}

UndoFileResult Restore(const JournaledFile& file, FileTagAccess& access) {
  const JournalRecord& record = file.record;
  const LeftByBatch left = Left(record);
  UndoFileResult result{UndoOutcome::Failed, &file.path, {}};
  bool changed = false;
  bool notJournaled = false;
  if (record.change == JournalChange::TagWritten && !record.before) {
    const StripResult cut = access.Strip(file.path, left.tagOffset, left.seen);
    if (cut.ok()) return {UndoOutcome::Restored, &file.path, {}};
    changed = cut.status == StripResult::Status::ChangedSinceRead;
    notJournaled = cut.status == StripResult::Status::NotJournaled;
    result.error = cut.error;
  } else {
    const WriteResult write = access.Write(file.path, *record.before, left.tagOffset, left.seen);
    if (write.ok()) return {UndoOutcome::Restored, &file.path, {}};
    changed = write.status == WriteResult::Status::ChangedSinceRead;
    notJournaled = write.status == WriteResult::Status::NotJournaled;
    result.error = write.error;
  }
  if (changed) result.outcome = NotAsLeft(file.path, record);
  if (notJournaled) result.outcome = UndoOutcome::NotJournaled;
  return result;
}

// A rename goes back as a rename the other way, journaled as one.
UndoFileResult RenameBack(const JournaledFile& file, WriteJournal* journal, bool dryRun) {
  const JournalRecord& record = file.record;
  UndoFileResult result{UndoOutcome::Restored, &record.renamedTo, {}, &file.path};
  const RenameResult rename = RenameFile(record.renamedTo, file.path, record.file, journal, dryRun);
  switch (rename.status) {
    case RenameResult::Status::Renamed: return result;
    case RenameResult::Status::Exists: result.outcome = UndoOutcome::Changed; break;
    case RenameResult::Status::NotJournaled: result.outcome = UndoOutcome::NotJournaled; break;
    case RenameResult::Status::Changed:
    case RenameResult::Status::Failed: {
      // Still under its old name: the rename never happened.
      FileStatus status;
      const bool asBefore = !StatusOf(file.path, status) && status.identity == record.file;
      result.outcome = asBefore                                         ? UndoOutcome::AlreadyAsBefore
                       : rename.status == RenameResult::Status::Changed ? UndoOutcome::Changed
                                                                        : UndoOutcome::Failed;
      break;
    }
  }
  result.error = rename.error;
  return result;
}

}  // namespace

void UndoBatch(const JournalBatch& batch, FileTagAccess& access, const UndoDone& done) {
  const bool dryRun = access.options().dryRun;
  // The last change first: should a file have been changed twice, it goes back step by step.
  for (auto it = batch.files.rbegin(); it != batch.files.rend(); ++it) {
    const UndoFileResult result = it->record.change == JournalChange::Renamed
                                      ? RenameBack(*it, access.journal(), dryRun)
                                  : dryRun ? Look(*it)
                                           : Restore(*it, access);
    if (!done(result) || result.outcome == UndoOutcome::NotJournaled) return;
  }
}

}  // namespace pelmix
