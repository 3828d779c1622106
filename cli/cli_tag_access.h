// The session's file access for the command line. Each file is written right after it is
// read, so one handle, opened for reading and writing, serves both: a batch costs one open
// per file instead of two. A dry run opens and reads the same way and writes nothing, so it
// still tells a file that could not be written. The handle holds the file against other
// writers from the read to the write; a file renamed or linked onto the path in between is
// not written. A trailer that would be written as it already is, is not written at all, so
// the file keeps its modification time.
#pragma once

#include <functional>
#include <system_error>
#include <utility>

#include "core/raw_file.h"
#include "session/tag_access.h"

namespace pelmix::cli {

class CliTagAccess final : public TagAccess {
 public:
  // Closes the handle after a write and says what the system said; tests stand in for it.
  using Closer = std::function<std::error_code(RawFile&)>;

  // With keepTimes, a written file gets its modification time back.
  explicit CliTagAccess(bool dryRun, bool keepTimes = false, Closer close = {})
      : dryRun_(dryRun), keepTimes_(keepTimes), close_(std::move(close)) {}

  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) override;
  // In a dry run: the outcome the write would have, and no write.
  WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                    const TagSeen& seen) override;

  // Why the last written file's modification time could not be kept, if it could not.
  const std::error_code& timeError() const { return timeError_; }

 private:
  bool dryRun_;
  bool keepTimes_;
  Closer close_;
  std::error_code timeError_;
  // The file last read, still open for its write, and why it could not be opened for writing.
  RawFile file_;
  std::filesystem::path openPath_;
  std::error_code writeOpenError_;
};

}  // namespace pelmix::cli
