// Reading, writing and stripping tags in files: one handle from a read to the write that follows it.
#include "session/file_tag_access.h"

namespace pelmix {
namespace {

struct PendingChange {
  const std::filesystem::path& path;
  JournalRecord record;
};

// What records a change about to be made, or nothing without a journal. Two pointers: small
// enough for the function to hold without an allocation per file.
BeforeChange Recorder(WriteJournal* journal, const PendingChange& change) {
  if (!journal) return {};
  return [journal, &change] { return journal->Record(change.path, change.record); };
}

// The file's time, set to itself first: a time that could only fail to be set after the
// change (a file of another owner) would be lost with the file changed.
std::error_code TimeToKeep(RawFile& file, std::int64_t& modified) {
  std::error_code error = file.ModifiedTime(modified);
  return error ? error : file.SetModifiedTime(modified);
}

}  // namespace

ReadResult FileTagAccess::Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset,
                               bool holdForWrite) {
  Release();
  if (!holdForWrite) return ReadTagTrailer(path, record, tagOffset);
  // A file that cannot be opened for writing is still read, as the window reads it: a write
  // that changes nothing is then no failure, and any other fails with the open's reason.
  writeOpenError_ = file_.Open(path, RawFile::Access::ReadWrite);
  if (writeOpenError_) {
    if (std::error_code error = file_.Open(path, RawFile::Access::Read)) return {ReadResult::Status::OpenFailed, error};
  }
  const ReadResult result = ReadTagTrailer(file_, record, tagOffset);
  if (!result.ok()) {
    file_.Close();
    return result;
  }
  heldName_ = path.native();
  held_ = true;
  return result;
}

void FileTagAccess::Release() {
  if (!held_) return;
  file_.Close();
  held_ = false;
  heldName_.clear();
}

std::error_code FileTagAccess::Reopen(const std::filesystem::path& path, SeenThrough& through) {
  if (held_ && path.native() == heldName_) {
    // This write ends the file's turn, whatever comes of it.
    held_ = false;
    heldName_.clear();
    if (writeOpenError_) {
      file_.Close();
      return writeOpenError_;
    }
    through = SeenThrough::HeldSinceRead;
    return {};
  }
  Release();
  through = SeenThrough::ReadBefore;
  return file_.Open(path, RawFile::Access::ReadWrite);
}

WriteResult FileTagAccess::Unchanged(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen) {
  // Nothing to change: no write, so the time stays and a read-only file is no failure. A file
  // held since its read still ends as read; one read earlier is looked at again, so that
  // another program's change is not reported as bytes already in place.
  const bool held = held_ && path.native() == heldName_;
  Release();
  WriteResult result{WriteResult::Status::Replaced, {}, /*unchanged=*/true};
  if (held) return result;
  if (std::error_code error = file_.Open(path, RawFile::Access::Read)) return {WriteResult::Status::OpenFailed, error};
  const WriteResult check = CheckAsSeen(file_, &path, tagOffset, seen);
  file_.Close();
  if (check.status != WriteResult::Status::Replaced) return check;
  return result;
}

std::error_code FileTagAccess::CloseAfterWrite() { return close_ ? close_(file_) : file_.Close(); }

WriteResult FileTagAccess::Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                                 const TagSeen& seen) {
  if (seen.tag && record == *seen.tag) return Unchanged(path, tagOffset, seen);
  SeenThrough through = SeenThrough::ReadBefore;
  if (std::error_code error = Reopen(path, through)) return {WriteResult::Status::OpenFailed, error};
  if (options_.dryRun) {
    file_.Close();
    return {seen.tag ? WriteResult::Status::Replaced : WriteResult::Status::Appended, {}};
  }
  std::int64_t modified = 0;
  if (options_.keepTimes) {
    if (std::error_code error = TimeToKeep(file_, modified)) {
      file_.Close();
      return {WriteResult::Status::TimeUnknown, error};
    }
  }
  const PendingChange change{path,
                             {.change = JournalChange::TagWritten,
                              .file = seen.file,
                              .sizeBefore = tagOffset + (seen.tag ? static_cast<std::int64_t>(kTagSize) : 0),
                              .before = seen.tag,
                              .after = record}};
  WriteResult result = WriteTagTrailer(file_, path, record, tagOffset, seen, through, Recorder(journal_, change));
  if (result.ok() && options_.keepTimes) result.timeError = file_.SetModifiedTime(modified);
  // A close can still fail after the write (a network file system flushes there).
  const std::error_code closed = CloseAfterWrite();
  if (result.ok() && closed) result = {WriteResult::Status::WriteFailed, closed};
  return result;
}

StripResult FileTagAccess::Strip(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen) {
  if (!seen.tag) {
    Release();
    return {StripResult::Status::Stripped, {}, /*unchanged=*/true};
  }
  SeenThrough through = SeenThrough::ReadBefore;
  if (std::error_code error = Reopen(path, through)) return {StripResult::Status::OpenFailed, error};
  if (options_.dryRun) {
    file_.Close();
    return {StripResult::Status::Stripped, {}};
  }
  std::int64_t modified = 0;
  if (options_.keepTimes) {
    if (std::error_code error = TimeToKeep(file_, modified)) {
      file_.Close();
      return {StripResult::Status::TimeUnknown, error};
    }
  }
  const PendingChange change{path,
                             {.change = JournalChange::TagRemoved,
                              .file = seen.file,
                              .sizeBefore = tagOffset + static_cast<std::int64_t>(kTagSize),
                              .before = seen.tag,
                              .after = std::nullopt}};
  StripResult result = StripTagTrailer(file_, path, tagOffset, seen, through, Recorder(journal_, change));
  if (result.ok() && options_.keepTimes) result.timeError = file_.SetModifiedTime(modified);
  const std::error_code closed = CloseAfterWrite();
  if (result.ok() && closed) result = {StripResult::Status::StripFailed, closed};
  return result;
}

}  // namespace pelmix
