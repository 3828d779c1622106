// Where the session reads and writes tags: the files themselves (FileTagAccess), unless a
// test puts something else in their place.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/tag_file.h"
#include "core/tag_record.h"

namespace pelmix {

class TagAccess {
 public:
  virtual ~TagAccess() = default;
  // holdForWrite: a write of the same file follows at once, so the file may stay held
  // from the read to the write; otherwise nothing stays open after the read.
  virtual ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset,
                          bool holdForWrite) = 0;
  // Writes only while the file is as `seen` says it was (see WriteTagTrailer); 128 bytes
  // equal to those seen are not written at all (WriteResult::unchanged).
  virtual WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset,
                            const TagSeen& seen) = 0;
  // A file held for a write that will not come is let go.
  virtual void Release() {}
};

}  // namespace pelmix
