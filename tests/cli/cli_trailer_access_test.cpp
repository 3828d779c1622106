#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_trailer_access.h"
#include "tests/support/temp_dir.h"

namespace pelmix::cli {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TempDir;
using test::Trailer;
using test::WriteFile;

TagRecord Stamped(std::uint8_t track) {
  TagRecord record;
  record.InitNew();
  record.SetTrack(track);
  return record;
}

TEST(CliTrailerAccessTest, TheHandleKeptFromReadToWriteStillNoticesAChange) {
  TempDir dir;
  struct Case {
    const char* name;
    Bytes before;
  };
  const Case cases[] = {
      {"tagged.mp3", Concat(Audio(300), Trailer("Old", "", "", "", ""))},
      {"untagged.mp3", Audio(300)},
  };
  for (const Case& c : cases) {
    const auto path = dir / c.name;
    WriteFile(path, c.before);
    CliTrailerAccess access(false);
    TagRecord record;
    std::int64_t tagOffset = 0;
    ASSERT_TRUE(access.Read(path, record, tagOffset).ok()) << c.name;
    // Another program adds to the file between the read and the write.
    std::ofstream(path, std::ios::binary | std::ios::app) << "more audio";
    const WriteResult write = access.Write(path, Stamped(1), tagOffset);
    EXPECT_EQ(write.status, WriteResult::Status::ChangedSinceRead) << c.name;
    EXPECT_EQ(ReadFile(path), Concat(c.before, Bytes{'m', 'o', 'r', 'e', ' ', 'a', 'u', 'd', 'i', 'o'})) << c.name;
  }
}

TEST(CliTrailerAccessTest, WritesThroughTheKeptHandleOrNotAtAllInADryRun) {
  TempDir dir;
  for (const bool dryRun : {false, true}) {
    const auto path = dir / (dryRun ? "dry.mp3" : "real.mp3");
    WriteFile(path, Audio(300));
    CliTrailerAccess access(dryRun);
    TagRecord record;
    std::int64_t tagOffset = 0;
    ASSERT_EQ(access.Read(path, record, tagOffset).status, ReadResult::Status::Untagged);
    EXPECT_EQ(access.Write(path, Stamped(7), tagOffset).status, WriteResult::Status::Appended);
    EXPECT_EQ(access.lastWritten(), Stamped(7));
    const Bytes expected = dryRun ? Audio(300) : Concat(Audio(300), Trailer("", "", "", "", "", 7, 255));
    EXPECT_EQ(ReadFile(path), expected) << (dryRun ? "dry run" : "real run");
  }
}

TEST(CliTrailerAccessTest, AFileThatCannotBeReadLeavesNothingOpen) {
  TempDir dir;
  CliTrailerAccess access(false);
  TagRecord record;
  std::int64_t tagOffset = 0;
  EXPECT_EQ(access.Read(dir / "missing.mp3", record, tagOffset).status, ReadResult::Status::OpenFailed);
  // The session never writes after a failed read; if it did, the write goes to the path itself.
  EXPECT_EQ(access.Write(dir / "missing.mp3", Stamped(1), 0).status, WriteResult::Status::OpenFailed);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.mp3"));
}

}  // namespace
}  // namespace pelmix::cli
