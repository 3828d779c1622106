// Trailer file access: one open, one 128-byte read or write, one close per call.
#include "core/tag_file.h"

#include <array>

namespace pelmix {

ReadResult ReadTagTrailer(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::Read)) {
    return {ReadResult::Status::OpenFailed, error};
  }
  return ReadTagTrailer(file, record, tagOffset);
}

ReadResult ReadTagTrailer(const RawFile& file, TagRecord& record, std::int64_t& tagOffset) {
  std::int64_t size = 0;
  if (std::error_code error = file.SizeAtOpen(size)) return {ReadResult::Status::ReadFailed, error};

  TagRecord read;
  // A file of 128 bytes or fewer never has a trailer: only a longer file's last 128 bytes
  // are looked at. Bytes that do not arrive stay zero and so fail the magic test.
  if (size > static_cast<std::int64_t>(kTrailerSize)) {
    std::size_t got = 0;
    const std::int64_t at = size - static_cast<std::int64_t>(kTrailerSize);
    if (std::error_code error = file.ReadAt(at, read.bytes(), got)) {
      return {ReadResult::Status::ReadFailed, error};
    }
  }

  if (read.HasMagic()) {
    record = read;
    tagOffset = size - static_cast<std::int64_t>(kTrailerSize);
    return {ReadResult::Status::Tagged, {}};
  }
  record.InitNew();
  tagOffset = size;
  return {ReadResult::Status::Untagged, {}};
}

WriteResult WriteTagTrailer(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::ReadWrite)) {
    return {WriteResult::Status::OpenFailed, error};
  }
  const WriteResult result = WriteTagTrailer(file, record, tagOffset);
  if (!result.ok()) return result;
  if (std::error_code error = file.Close()) return {WriteResult::Status::WriteFailed, error};
  return result;
}

WriteResult WriteTagTrailer(RawFile& file, const TagRecord& record, std::int64_t tagOffset) {
  std::int64_t size = 0;
  if (std::error_code error = file.Size(size)) return {WriteResult::Status::WriteFailed, error};

  // The write goes only where the read found the end of the audio; anything else means the
  // file was changed in between and 128 bytes at tagOffset could land inside the audio.
  const auto changed = [] {
    return WriteResult{WriteResult::Status::ChangedSinceRead, {}};
  };
  WriteResult::Status status;
  if (tagOffset < 0) return changed();
  if (size == tagOffset) {
    status = WriteResult::Status::Appended;
  } else if (size - tagOffset == static_cast<std::int64_t>(kTrailerSize)) {
    TagRecord present;
    std::size_t got = 0;
    if (std::error_code error = file.ReadAt(tagOffset, std::span(present.bytes()).first(3), got)) {
      return {WriteResult::Status::WriteFailed, error};
    }
    if (got != 3 || !present.HasMagic()) return changed();
    status = WriteResult::Status::Replaced;
  } else {
    return changed();
  }

  if (std::error_code error = file.WriteAt(tagOffset, record.bytes())) {
    // No partial trailer stays behind an append that ran out of room.
    if (status == WriteResult::Status::Appended) file.Truncate(size);
    return {WriteResult::Status::WriteFailed, error};
  }
  return {status, {}};
}

}  // namespace pelmix

namespace pelmix {

StripResult StripTagTrailer(const std::filesystem::path& path, const TagRecord& read, std::int64_t tagOffset) {
  RawFile file;
  if (std::error_code error = file.Open(path, RawFile::Access::ReadWrite)) {
    return {StripResult::Status::OpenFailed, error};
  }
  const StripResult result = StripTagTrailer(file, read, tagOffset);
  if (!result.ok()) return result;
  if (std::error_code error = file.Close()) return {StripResult::Status::StripFailed, error};
  return result;
}

StripResult StripTagTrailer(RawFile& file, const TagRecord& read, std::int64_t tagOffset) {
  std::int64_t size = 0;
  if (std::error_code error = file.Size(size)) return {StripResult::Status::StripFailed, error};
  // A cut is final: it goes ahead only where the file still ends with the very bytes read.
  if (tagOffset < 0 || size - tagOffset != static_cast<std::int64_t>(kTrailerSize) || !read.HasMagic()) {
    return {StripResult::Status::ChangedSinceRead, {}};
  }
  TagRecord present;
  std::size_t got = 0;
  if (std::error_code error = file.ReadAt(tagOffset, present.bytes(), got)) {
    return {StripResult::Status::StripFailed, error};
  }
  if (got != kTrailerSize || present != read) return {StripResult::Status::ChangedSinceRead, {}};
  if (std::error_code error = file.Truncate(tagOffset)) return {StripResult::Status::StripFailed, error};
  return {StripResult::Status::Stripped, {}};
}

}  // namespace pelmix
