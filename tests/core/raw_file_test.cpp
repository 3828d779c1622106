// A RawFile opened again must let go of the file it held before; opened for writing it holds
// the file against every other program where the system allows it, else by the lock.
#include "core/raw_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
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

#ifndef _WIN32
// Nanoseconds since 1970 in 64 bits end in 2262: a later time is refused, not wrapped to 1901.
TEST(RawFileTest, AModifiedTimeBeyondWhatItCanHoldIsRefused) {
  test::TempDir dir;
  const auto path = dir / "a.mp3";
  test::WriteFile(path, test::Audio(10));
  const struct {
    std::int64_t seconds;
    std::error_code error;
    std::int64_t time;
  } cases[] = {
      {7'258'118'400, {}, 7'258'118'400'000'000'000},                         // 2200-01-01
      {10'413'792'000, std::make_error_code(std::errc::value_too_large), 0},  // 2300-01-01
      {-631'152'000, {}, -631'152'000'000'000'000},                           // 1950-01-01
  };
  for (const auto& c : cases) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(c.seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << c.seconds;
    struct stat kept {};
    ASSERT_EQ(::stat(path.c_str(), &kept), 0);
    if (kept.st_mtim.tv_sec != c.seconds) GTEST_SKIP() << "this file system cannot hold the time " << c.seconds;
    RawFile file;
    ASSERT_FALSE(file.Open(path, RawFile::Access::Read));
    std::int64_t time = 0;
    EXPECT_EQ(file.ModifiedTime(time), c.error) << c.seconds;
    EXPECT_EQ(time, c.time) << c.seconds;
  }
}
#endif

#ifndef _WIN32  // leases and owners as Linux has them
// A writer gets the file to itself only while no one else has it open, a reader (a player)
// included; a program that may not take a lease (not the file's owner) falls back to the
// lock instead of failing.
TEST(RawFileTest, AWriterHoldsTheFileAloneWhereTheSystemAllowsElseByTheLock) {
  test::TempDir dir;
  const auto path = dir / "a.mp3";
  test::WriteFile(path, test::Audio(10));
  const int player = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  RawFile file;
  EXPECT_EQ(file.Open(path, RawFile::Access::ReadWrite), std::make_error_code(std::errc::device_or_resource_busy));
  ::close(player);
  ASSERT_FALSE(file.Open(path, RawFile::Access::ReadWrite));
  EXPECT_EQ(file.hold(), RawFile::Hold::Exclusive);
  file.Close();

  if (geteuid() != 0) GTEST_SKIP() << "a file of another owner needs the superuser to make";
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  std::filesystem::permissions(path, std::filesystem::perms::all);
  const int asNobody = test::RunInChild(
      [&path] {
        RawFile other;
        if (other.Open(path, RawFile::Access::ReadWrite)) return 1;
        return other.hold() == RawFile::Hold::Lock ? 0 : 2;
      },
      /*unprivileged=*/true);
  EXPECT_EQ(asNobody, 0) << "1: not opened, 2: not held by the lock";
}
#endif

}  // namespace
}  // namespace pelmix
