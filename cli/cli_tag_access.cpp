// One handle from a file's read to its write: opened for writing at the read, checked and closed at the write.
#include "cli/cli_tag_access.h"

namespace pelmix::cli {

// A dry run opens the file the same way, so that it can tell a file it could not write.
ReadResult CliTagAccess::Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) {
  // Open closes the file of the last turn first.
  openPath_.clear();
  // A file that cannot be opened for writing is still read, as the window reads it; its
  // write then fails with the reason the open for writing gave.
  writeOpenError_ = file_.Open(path, RawFile::Access::ReadWrite);
  if (writeOpenError_) {
    if (std::error_code error = file_.Open(path, RawFile::Access::Read)) {
      return {ReadResult::Status::OpenFailed, error};
    }
  }
  const ReadResult result = ReadTagTrailer(file_, record, tagOffset);
  if (result.ok()) {
    openPath_ = path;
  } else {
    file_.Close();
  }
  return result;
}

WriteResult CliTagAccess::Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                                const TagSeen& seen) {
  timeError_.clear();
  // What was seen at tagOffset says which write it would be: a trailer is replaced, an end appended to.
  const WriteResult wouldWrite{seen.tag ? WriteResult::Status::Replaced : WriteResult::Status::Appended, {}};
  // The session writes the file it read last; anything else goes the window's way.
  if (openPath_.empty() || path != openPath_)
    return dryRun_ ? wouldWrite : WriteTagTrailer(path, record, tagOffset, seen);
  openPath_.clear();
  if (seen.tag && record == *seen.tag) {
    // Nothing to change: no write, so the time stays and a read-only file is no failure.
    file_.Close();
    return {WriteResult::Status::Replaced, {}, /*unchanged=*/true};
  }
  if (writeOpenError_) {
    file_.Close();
    return {WriteResult::Status::OpenFailed, writeOpenError_};
  }
  if (dryRun_) {
    file_.Close();
    return wouldWrite;
  }
  std::filesystem::file_time_type modified;
  if (keepTimes_) modified = std::filesystem::last_write_time(path, timeError_);
  // WriteTagTrailer checks that the path still names the file held and that it still ends
  // as the read found it.
  WriteResult result = WriteTagTrailer(file_, path, record, tagOffset, seen);
  // A close can still fail after the write (a network file system flushes there).
  const std::error_code closed = close_ ? close_(file_) : file_.Close();
  if (result.ok() && closed) result = {WriteResult::Status::WriteFailed, closed};
  if (result.ok() && keepTimes_ && !timeError_) std::filesystem::last_write_time(path, modified, timeError_);
  return result;
}

}  // namespace pelmix::cli
