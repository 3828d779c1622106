#include "cli/cli_trailer_access.h"

namespace pelmix::cli {

ReadResult CliTrailerAccess::Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& tagOffset) {
  const ReadResult result = ReadTagTrailer(path, record, tagOffset);
  if (result.ok()) {
    lastRead_ = record;
    lastReadTagged_ = result.status == ReadResult::Status::Tagged;
  }
  return result;
}

WriteResult CliTrailerAccess::Write(const std::filesystem::path& path, const TagRecord& record,
                                    std::int64_t tagOffset) {
  lastWritten_ = record;
  if (dryRun_) {
    return {lastReadTagged_ ? WriteResult::Status::Replaced : WriteResult::Status::Appended, {}};
  }
  return WriteTagTrailer(path, record, tagOffset);
}

}  // namespace pelmix::cli
