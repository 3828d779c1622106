// Reading a file's tag trailer and writing it back in place or appending it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>

#include "core/raw_file.h"
#include "core/tag_record.h"

namespace pelmix {

struct ReadResult {
  enum class Status { Tagged, Untagged, OpenFailed, ReadFailed };
  Status status = Status::OpenFailed;
  std::error_code error;
  // The file that was read, when the read succeeded.
  FileIdentity file{};

  // True when the record and offset were given: the file has a trailer or will get one.
  bool ok() const { return status == Status::Tagged || status == Status::Untagged; }
};

struct WriteResult {
  // TimeUnknown: the file's modification time was to be kept and could not be read or set,
  // so nothing was written.
  // NotJournaled: the record the caller keeps of every change could not be made, so
  // nothing was written.
  enum class Status { Replaced, Appended, OpenFailed, ChangedSinceRead, WriteFailed, TimeUnknown, NotJournaled };
  Status status = Status::OpenFailed;
  std::error_code error;
  // Replaced without a write: the file already ended in exactly these 128 bytes.
  bool unchanged = false;
  // Written, but the modification time to be kept could not be set back.
  std::error_code timeError{};

  bool ok() const { return status == Status::Replaced || status == Status::Appended; }
};

// What the last read or write of a file found there: which file it was, and what it then
// held at tagOffset: the trailer's 128 bytes, or nothing when the file ended there. After a
// write it is what was written.
struct TagSeen {
  FileIdentity file{};
  std::optional<TagRecord> tag;
};

// What a successful read saw.
TagSeen SeenByRead(const ReadResult& read, const TagRecord& record);

// Gives the file's trailer and its position, or a new record and the file's size when
// it has none. Only the last 128 bytes of a file longer than 128 bytes are looked at.
// Record and offset are left untouched unless the result is ok().
ReadResult ReadTagTrailer(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset);

// Writes the record's 128 bytes at tagOffset, but only while the path names the file that was
// seen and that file is exactly as it was seen: it still ends at tagOffset (the write
// appends), or it ends 128 bytes later with exactly the trailer seen (the write replaces
// it). Anything else is ChangedSinceRead: another program wrote in between. The file is
// held from the check to the end of the write; where only by a lock (RawFile::Hold), an
// append goes to the end as it is then, and a file that is not exactly 128 bytes longer
// than tagOffset afterwards is ChangedSinceRead too. Never creates a file; an append that
// fails leaves the old length.
WriteResult WriteTagTrailer(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                            const TagSeen& seen);

// How sure a check can be of the bytes seen: read through the very handle that has held
// the file since (HeldSinceRead), so they need no second read where that hold keeps every
// other writer out; or read earlier, through a handle since closed (ReadBefore), so they
// are read again.
enum class SeenThrough { HeldSinceRead, ReadBefore };

// Whether the file the handle holds is still exactly as `seen` says and, given `named`,
// still the file that path names (a handle stays on its file whatever happens to the name).
// The status is what a write at tagOffset would do: Replaced (the file ends in the tag
// seen) or Appended (it ends at tagOffset); else ChangedSinceRead, or OpenFailed when the
// name is gone. A front end that removes a tag asks this before it cuts the file.
WriteResult CheckAsSeen(const RawFile& file, const std::filesystem::path* named, std::int64_t tagOffset,
                        const TagSeen& seen, SeenThrough through = SeenThrough::ReadBefore);

// The read and the write on a file the caller has opened (for reading and writing, to
// write) and closes itself: a front end that writes each file right after reading it keeps
// one handle for both. The open is the caller's, so no read is OpenFailed. The read takes
// the size the file had at its open, so it belongs right after the open. `path` is the name
// the file was opened by; the write goes ahead only while it names the same file.
// `beforeChange`, when given, is called once the checks have passed and before the file's
// own write or cut; an error from it stops the change with nothing written (NotJournaled).
using BeforeChange = std::function<std::error_code()>;
ReadResult ReadTagTrailer(const RawFile& file, TagRecord& record, std::int64_t& tagOffset);
WriteResult WriteTagTrailer(RawFile& file, const std::filesystem::path& path, const TagRecord& record,
                            std::int64_t tagOffset, const TagSeen& seen, SeenThrough through = SeenThrough::ReadBefore,
                            const BeforeChange& beforeChange = {});

}  // namespace pelmix

namespace pelmix {

struct StripResult {
  enum class Status { Stripped, OpenFailed, ChangedSinceRead, StripFailed, TimeUnknown, NotJournaled };
  Status status = Status::OpenFailed;
  std::error_code error;
  // Stripped without a cut: the file had no tag to remove.
  bool unchanged = false;
  // Cut, but the modification time to be kept could not be set back.
  std::error_code timeError{};

  bool ok() const { return status == Status::Stripped; }
};

// Removes the trailer a read found: the file is cut to tagOffset and so loses exactly the
// 128 bytes seen there, but only while the path names the file seen and it still ends with
// exactly that trailer at tagOffset. Anything else (no trailer seen, another file, other
// bytes, another length) is ChangedSinceRead, and nothing is cut. Where the file is held
// only by a lock, a file that does not end at tagOffset after the cut is ChangedSinceRead.
StripResult StripTagTrailer(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen);
// The same on a file the caller opened, for reading and writing, by `path`; as with
// WriteTagTrailer, the cut goes ahead only while the path still names the file held.
StripResult StripTagTrailer(RawFile& file, const std::filesystem::path& path, std::int64_t tagOffset,
                            const TagSeen& seen, SeenThrough through = SeenThrough::ReadBefore,
                            const BeforeChange& beforeChange = {});

}  // namespace pelmix
