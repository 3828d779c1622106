// Cutting a trailer off: only the bytes read, and only while they still end the file.
#include <gtest/gtest.h>

#include "core/tag_file.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;
using test::WriteFile;

TEST(StripTagTrailerTest, CutsOnlyTheBytesReadAndOnlyWhileTheyEndTheFile) {
  test::TempDir dir;
  const Bytes audio = Audio(400);
  const Bytes tagged = Concat(audio, TagBytes("Read", "Band"));
  struct Case {
    const char* name;
    Bytes between;  // the file's bytes after the read and before the strip; empty: as read
    StripResult::Status status;
    Bytes after;
  };
  const Case cases[] = {
      {"as read", {}, StripResult::Status::Stripped, audio},
      {"retagged since", Concat(audio, TagBytes("Other", "Band")), StripResult::Status::ChangedSinceRead,
       Concat(audio, TagBytes("Other", "Band"))},
      {"grown since", Concat(tagged, Audio(5)), StripResult::Status::ChangedSinceRead, Concat(tagged, Audio(5))},
      {"trailer gone since", audio, StripResult::Status::ChangedSinceRead, audio},
  };
  for (const Case& c : cases) {
    const auto path = dir / "a.mp3";
    WriteFile(path, tagged);
    TagRecord record;
    std::int64_t offset = -1;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    ASSERT_EQ(read.status, ReadResult::Status::Tagged);
    if (!c.between.empty()) WriteFile(path, c.between);
    EXPECT_EQ(StripTagTrailer(path, offset, SeenByRead(read, record)).status, c.status) << c.name;
    EXPECT_EQ(ReadFile(path), c.after) << c.name;
  }
  // A file without a trailer has nothing to cut, whatever lies at its end by now; another
  // file renamed onto the path is not the one seen.
  const auto untagged = dir / "b.mp3";
  WriteFile(untagged, audio);
  TagRecord record;
  std::int64_t offset = -1;
  const ReadResult read = ReadTagTrailer(untagged, record, offset);
  ASSERT_EQ(read.status, ReadResult::Status::Untagged);
  WriteFile(untagged, tagged);
  EXPECT_EQ(StripTagTrailer(untagged, offset, SeenByRead(read, record)).status, StripResult::Status::ChangedSinceRead);
  EXPECT_EQ(ReadFile(untagged), tagged);

  const auto original = dir / "c.mp3";
  WriteFile(original, tagged);
  const ReadResult first = ReadTagTrailer(original, record, offset);
  ASSERT_EQ(first.status, ReadResult::Status::Tagged);
  WriteFile(dir / "same bytes.mp3", tagged);
  std::filesystem::rename(dir / "same bytes.mp3", original);
  EXPECT_EQ(StripTagTrailer(original, offset, SeenByRead(first, record)).status, StripResult::Status::ChangedSinceRead);
  EXPECT_EQ(ReadFile(original), tagged);
  EXPECT_EQ(StripTagTrailer(dir / "missing.mp3", offset, SeenByRead(first, record)).status,
            StripResult::Status::OpenFailed);
}

}  // namespace
}  // namespace pelmix
