// A RawFile opened again must let go of the file it held before.
#include "core/raw_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

TEST(RawFileTest, OpeningAgainReleasesTheFileOpenBefore) {
  test::TempDir dir;
  test::WriteFile(dir / "first.mp3", test::Audio(10));
  test::WriteFile(dir / "second.mp3", test::Audio(20));
  RawFile file;
  ASSERT_FALSE(file.Open(dir / "first.mp3", RawFile::Access::ReadWrite));
  ASSERT_FALSE(file.Open(dir / "second.mp3", RawFile::Access::ReadWrite));
  std::int64_t size = 0;
  ASSERT_FALSE(file.Size(size));
  EXPECT_EQ(size, 20);
  // A writer still holding the first file would keep this one out as busy.
  RawFile other;
  EXPECT_EQ(other.Open(dir / "first.mp3", RawFile::Access::ReadWrite), std::error_code{});
}

}  // namespace
}  // namespace pelmix
