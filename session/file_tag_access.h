// The one way both front ends read and write tags in files. A file written right after
// its read (a batch, pelmix-cli) is opened once, for reading and writing, and held against
// other writers from the read to the write, so the 128 bytes read need no second look; a
// write that comes later (the window's Update after editing) opens the file again and
// checks that it still is exactly as it was read. Either way a file renamed or linked onto
// the name in between is not written, 128 bytes equal to those on disk are not written at
// all (the file keeps its time), and a file that cannot be opened for writing is still read.
#pragma once

#include <functional>
#include <system_error>

#include "core/raw_file.h"
#include "session/journal.h"
#include "session/tag_access.h"

namespace pelmix {

class FileTagAccess final : public TagAccess {
 public:
  struct Options {
    // Open and read as for real, decide what the write would do, write nothing.
    bool dryRun = false;
    // A written file gets its modification time back; a time that cannot be read stops the write.
    bool keepTimes = false;
  };
  // Closes a file after its write and says what the system said; tests stand in for it.
  using Closer = std::function<std::error_code(RawFile&)>;

  FileTagAccess() = default;
  explicit FileTagAccess(Options options, Closer close = {}) : options_(options), close_(std::move(close)) {}
  FileTagAccess(const FileTagAccess&) = delete;
  FileTagAccess& operator=(const FileTagAccess&) = delete;

  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset,
                  bool holdForWrite) override;
  WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                    const TagSeen& seen) override;
  // Removes the tag seen at tagOffset: the file is cut to tagOffset, under the same checks
  // as a write. A file seen without a tag is left as it is (StripResult::unchanged).
  StripResult Strip(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen);
  void Release() override;

  // Every write and cut from now on is first recorded there; one that cannot be recorded is
  // not made (NotJournaled). None: nothing is recorded.
  void SetJournal(WriteJournal* journal) { journal_ = journal; }
  // Where changes made beside this access (a rename taken back) are recorded as well.
  WriteJournal* journal() const { return journal_; }
  const Options& options() const { return options_; }

 private:
  // The file to write: the one held since its read, or the name opened again.
  std::error_code Reopen(const std::filesystem::path& path, SeenThrough& through);
  std::error_code CloseAfterWrite();
  WriteResult Unchanged(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen);

  Options options_;
  Closer close_;
  // The file last read for a write, still open, and why it could not be opened for writing.
  RawFile file_;
  // As the system spells it: compared for every write, and a path compares by components.
  std::filesystem::path::string_type heldName_;
  bool held_ = false;
  std::error_code writeOpenError_;
  WriteJournal* journal_ = nullptr;
};

}  // namespace pelmix
