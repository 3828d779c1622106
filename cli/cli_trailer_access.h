// The session's file access for the command line: the real read, and the real write or,
// for a dry run, none; either way it keeps what was read and what was (or would be) written.
#pragma once

#include "session/trailer_access.h"

namespace pelmix::cli {

class CliTrailerAccess final : public TrailerAccess {
 public:
  explicit CliTrailerAccess(bool dryRun) : dryRun_(dryRun) {}

  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) override;
  // In a dry run: the outcome the write would have if nothing went wrong, and no file call.
  WriteResult Write(const std::filesystem::path& path, const TagRecord& record, std::int64_t tagOffset) override;

  // The trailer as the last successful read gave it (a new one for a file without).
  const TagRecord& lastRead() const { return lastRead_; }
  const TagRecord& lastWritten() const { return lastWritten_; }

 private:
  bool dryRun_;
  bool lastReadTagged_ = false;
  TagRecord lastRead_;
  TagRecord lastWritten_;
};

}  // namespace pelmix::cli
