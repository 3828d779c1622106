// A RawFile opened again must let go of the file it held before; opened for writing it holds
// the file against every other program where the system allows it, else by the lock.
#include "core/raw_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include "tests/support/child_process.h"
#endif

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

#ifndef _WIN32  // leases and owners as Linux has them
// The lease is had only while no one else has the file open, a reader (a player) included,
// and only by the file's owner or a program with the lease capability; anyone else falls
// back to the lock instead of failing.
TEST(RawFileTest, AWriterHoldsTheFileAloneWhereTheSystemAllowsElseByTheLock) {
  test::TempDir dir;
  const auto path = dir / "a.mp3";
  test::WriteFile(path, test::Audio(10));
  struct Case {
    const char* name;
    int otherOpen;  // flags of another descriptor kept open meanwhile, or -1
    std::error_code error;
    RawFile::Hold hold;
  };
  const Case cases[] = {
      {"alone", -1, {}, RawFile::Hold::Exclusive},
      {"another reader", O_RDONLY, std::make_error_code(std::errc::device_or_resource_busy), RawFile::Hold::None},
      {"another writer", O_WRONLY | O_APPEND, std::make_error_code(std::errc::device_or_resource_busy),
       RawFile::Hold::None},
  };
  for (const Case& c : cases) {
    const int other = c.otherOpen == -1 ? -1 : ::open(path.c_str(), c.otherOpen | O_CLOEXEC);
    RawFile file;
    EXPECT_EQ(file.Open(path, RawFile::Access::ReadWrite), c.error) << c.name;
    EXPECT_EQ(file.hold(), c.hold) << c.name;
    if (other != -1) ::close(other);
  }
  RawFile reader;
  ASSERT_FALSE(reader.Open(path, RawFile::Access::Read));
  EXPECT_EQ(reader.hold(), RawFile::Hold::None);

  if (geteuid() != 0) GTEST_SKIP() << "a file of another owner needs the superuser to make";
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  std::filesystem::permissions(path, std::filesystem::perms::all);
  const int asNobody = test::RunInChild(
      [&path] {
        RawFile file;
        if (file.Open(path, RawFile::Access::ReadWrite)) return 1;
        return file.hold() == RawFile::Hold::Lock ? 0 : 2;
      },
      /*unprivileged=*/true);
  EXPECT_EQ(asNobody, 0) << "1: not opened, 2: not held by the lock";
}
#endif

}  // namespace
}  // namespace pelmix
