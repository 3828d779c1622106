// Tag file access: one open, one 128-byte read or write, one close per call.
#include "core/tag_file.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace pelmix {

ReadResult ReadTagTrailer(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::Read)) {
    return {ReadResult::Status::OpenFailed, error};
  }
  return ReadTagTrailer(file, record, tagOffset);
}

TagSeen SeenByRead(const ReadResult& read, const TagRecord& record) {
  TagSeen seen{read.file, std::nullopt};
  if (read.status == ReadResult::Status::Tagged) seen.tag = record;
  return seen;
}

ReadResult ReadTagTrailer(const RawFile& file, TagRecord& record, std::int64_t& tagOffset) {
  std::int64_t size = 0;
  if (std::error_code error = file.SizeAtOpen(size)) return {ReadResult::Status::ReadFailed, error};
  FileIdentity identity;
  if (std::error_code error = file.Identity(identity)) return {ReadResult::Status::ReadFailed, error};

  TagRecord read;
  // A file of 128 bytes or fewer never has a trailer: only a longer file's last 128 bytes
  // are looked at. Bytes that do not arrive stay zero and so fail the magic test.
  if (size > static_cast<std::int64_t>(kTagSize)) {
    std::size_t got = 0;
    const std::int64_t at = size - static_cast<std::int64_t>(kTagSize);
    if (std::error_code error = file.ReadAt(at, read.bytes(), got)) {
      return {ReadResult::Status::ReadFailed, error};
    }
  }

  if (read.HasMagic()) {
    record = read;
    tagOffset = size - static_cast<std::int64_t>(kTagSize);
    return {ReadResult::Status::Tagged, {}, identity};
  }
  record.InitNew();
  tagOffset = size;
  return {ReadResult::Status::Untagged, {}, identity};
}

WriteResult CheckAsSeen(const RawFile& file, const std::filesystem::path* named, std::int64_t tagOffset,
                        const TagSeen& seen, SeenThrough through) {
  // The write goes only where the last look found the end of the audio, and only into the
  // file looked at; anything else means another program got there in between, and 128
  // bytes at tagOffset could land inside the audio or overwrite what it wrote.
  const WriteResult changed{WriteResult::Status::ChangedSinceRead, {}};
  if (tagOffset < 0 || tagOffset > std::numeric_limits<std::int64_t>::max() - static_cast<std::int64_t>(kTagSize)) {
    return changed;
  }
  FileIdentity held;
  if (std::error_code error = file.Identity(held)) return {WriteResult::Status::WriteFailed, error};
  if (held != seen.file) return changed;
  std::int64_t size = 0;
  if (named) {
    FileStatus status;
    if (std::error_code error = StatusOf(*named, status)) return {WriteResult::Status::OpenFailed, error};
    if (status.identity != held) return changed;
    size = status.size;
  } else if (std::error_code error = file.Size(size)) {
    return {WriteResult::Status::WriteFailed, error};
  }

  if (size != tagOffset + (seen.tag ? static_cast<std::int64_t>(kTagSize) : 0)) return changed;
  if (!seen.tag) return {WriteResult::Status::Appended, {}};
  // Held against every other writer since it was read through this handle, the tag is as
  // read. A lock alone keeps out only those who ask for it: then the bytes are looked at again.
  if (through == SeenThrough::HeldSinceRead && file.hold() == RawFile::Hold::Exclusive) {
    return {WriteResult::Status::Replaced, {}};
  }
  TagRecord present;
  std::size_t got = 0;
  if (std::error_code error = file.ReadAt(tagOffset, present.bytes(), got)) {
    return {WriteResult::Status::WriteFailed, error};
  }
  if (got != kTagSize || present != *seen.tag) return changed;
  return {WriteResult::Status::Replaced, {}};
}

namespace {

// Held only by a lock, the file stays open to programs that write without asking for it:
// one that wrote between the check and our write or cut leaves the file at another length
// than ours alone gives. The write is then no success, whatever it did.
bool ChangedDuringWrite(const RawFile& file, std::int64_t expectedSize, std::error_code& error) {
  if (file.hold() == RawFile::Hold::Exclusive) return false;
  std::int64_t size = 0;
  error = file.Size(size);
  return !error && size != expectedSize;
}

// Held only by a lock, an append that failed part-way cuts off only what it wrote itself:
// another program may have appended before it, and what that wrote stays. Our bytes are the
// last `written` ones, and cut only while they still are the start of our trailer.
void CutPartOfAppend(RawFile& file, std::int64_t tagOffset, const TagRecord& record, std::size_t written) {
  std::int64_t size = 0;
  if (written == 0 || written > kTagSize || file.Size(size)) return;
  const std::int64_t ours = size - static_cast<std::int64_t>(written);
  if (ours < tagOffset) return;
  TagRecord present;
  std::size_t got = 0;
  const std::span part = std::span(present.bytes()).first(written);
  if (file.ReadAt(ours, part, got) || got != written) return;
  if (std::equal(part.begin(), part.end(), record.bytes().begin())) file.Truncate(ours);
}

WriteResult WriteChecked(RawFile& file, const std::filesystem::path* named, const TagRecord& record,
                         std::int64_t tagOffset, const TagSeen& seen, SeenThrough through,
                         const BeforeChange& beforeChange) {
  const WriteResult check = CheckAsSeen(file, named, tagOffset, seen, through);
  if (!check.ok()) return check;
  if (beforeChange) {
    if (std::error_code error = beforeChange()) return {WriteResult::Status::NotJournaled, error};
  }
  // Held only by a lock, an append goes where the end is at that moment: a program that
  // appended since the check keeps what it wrote, and the size below tells of it.
  const bool atEnd = check.status == WriteResult::Status::Appended && file.hold() != RawFile::Hold::Exclusive;
  std::size_t written = 0;
  if (std::error_code error = atEnd ? file.WriteAtEnd(tagOffset, record.bytes(), written)
                                    : file.WriteAt(tagOffset, record.bytes())) {
    // No partial trailer stays behind an append that ran out of room.
    if (check.status == WriteResult::Status::Appended) {
      if (atEnd) {
        CutPartOfAppend(file, tagOffset, record, written);
      } else {
        file.Truncate(tagOffset);
      }
    }
    return {WriteResult::Status::WriteFailed, error};
  }
  std::error_code error;
  if (ChangedDuringWrite(file, tagOffset + static_cast<std::int64_t>(kTagSize), error)) {
    return {WriteResult::Status::ChangedSinceRead, {}};
  }
  if (error) return {WriteResult::Status::WriteFailed, error};
  return check;
}

}  // namespace

WriteResult WriteTagTrailer(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                            const TagSeen& seen) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::ReadWrite)) {
    return {WriteResult::Status::OpenFailed, error};
  }
  const WriteResult result = WriteChecked(file, nullptr, record, tagOffset, seen, SeenThrough::ReadBefore, {});
  if (!result.ok()) return result;
  if (std::error_code error = file.Close()) return {WriteResult::Status::WriteFailed, error};
  return result;
}

WriteResult WriteTagTrailer(RawFile& file, const std::filesystem::path& path, const TagRecord& record,
                            std::int64_t tagOffset, const TagSeen& seen, SeenThrough through,
                            const BeforeChange& beforeChange) {
  return WriteChecked(file, &path, record, tagOffset, seen, through, beforeChange);
}

}  // namespace pelmix

namespace pelmix {

namespace {

StripResult StripChecked(RawFile& file, const std::filesystem::path* named, std::int64_t tagOffset, const TagSeen& seen,
                         SeenThrough through, const BeforeChange& beforeChange) {
  // A cut is final: it goes ahead only in the file seen, while it still ends with the very
  // trailer seen there. Without a trailer seen there is nothing to cut.
  if (!seen.tag) return {StripResult::Status::ChangedSinceRead, {}};
  const WriteResult check = CheckAsSeen(file, named, tagOffset, seen, through);
  // With a trailer seen, the check never offers the end of the file for an append.
  assert(check.status != WriteResult::Status::Appended);
  switch (check.status) {
    case WriteResult::Status::Replaced: break;
    case WriteResult::Status::OpenFailed: return {StripResult::Status::OpenFailed, check.error};
    case WriteResult::Status::WriteFailed: return {StripResult::Status::StripFailed, check.error};
    default: return {StripResult::Status::ChangedSinceRead, {}};
  }
  if (beforeChange) {
    if (std::error_code error = beforeChange()) return {StripResult::Status::NotJournaled, error};
  }
  if (std::error_code error = file.Truncate(tagOffset)) return {StripResult::Status::StripFailed, error};
  std::error_code error;
  if (ChangedDuringWrite(file, tagOffset, error)) return {StripResult::Status::ChangedSinceRead, {}};
  if (error) return {StripResult::Status::StripFailed, error};
  return {StripResult::Status::Stripped, {}};
}

}  // namespace

StripResult StripTagTrailer(const std::filesystem::path& path, std::int64_t tagOffset, const TagSeen& seen) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::ReadWrite)) {
    return {StripResult::Status::OpenFailed, error};
  }
  const StripResult result = StripChecked(file, nullptr, tagOffset, seen, SeenThrough::ReadBefore, {});
  if (!result.ok()) return result;
  if (std::error_code error = file.Close()) return {StripResult::Status::StripFailed, error};
  return result;
}

StripResult StripTagTrailer(RawFile& file, const std::filesystem::path& path, std::int64_t tagOffset,
                            const TagSeen& seen, SeenThrough through, const BeforeChange& beforeChange) {
  return StripChecked(file, &path, tagOffset, seen, through, beforeChange);
}

}  // namespace pelmix
