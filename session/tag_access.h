// Where the session reads and writes trailers: the files themselves, unless a front end
// (a dry run, a test) puts something else in their place.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/tag_file.h"
#include "core/tag_record.h"

namespace pelmix {

class TagAccess {
 public:
  virtual ~TagAccess() = default;
  virtual ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) = 0;
  // Writes only while the file is as `seen` says it was (see WriteTagTrailer).
  virtual WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                            const TagSeen& seen) = 0;
};

// ReadTagTrailer and WriteTagTrailer on the files.
class FileTagAccess final : public TagAccess {
 public:
  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) override {
    return ReadTagTrailer(path, record, tagOffset);
  }
  WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                    const TagSeen& seen) override {
    return WriteTagTrailer(path, record, tagOffset, seen);
  }
};

}  // namespace pelmix
