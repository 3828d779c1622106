// The one file access: a handle held from read to write, and nothing written to a file that changed.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

#include "session/file_tag_access.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;
using test::TempDir;
using test::WriteFile;

TagRecord Stamped(std::uint8_t track) {
  TagRecord record;
  record.InitNew();
  record.SetTrack(track);
  return record;
}

// Where the system grants the handle an exclusive hold (a sharing mode, a lease), no other
// program gets in; where it does not, a change made in between is still noticed.
TEST(FileTagAccessTest, TheHandleKeptFromReadToWriteKeepsOthersOutOrNoticesThem) {
  TempDir dir;
  struct Case {
    const char* name;
    Bytes before;
  };
  const Case cases[] = {
      {"tagged.mp3", Concat(Audio(300), TagBytes("Old", "", "", "", ""))},
      {"untagged.mp3", Audio(300)},
  };
  for (const Case& c : cases) {
    const auto path = dir / c.name;
    WriteFile(path, c.before);
    FileTagAccess access;
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = access.Read(path, record, tagOffset, true);
    ASSERT_TRUE(read.ok()) << c.name;
    // Another program adds to the file between the read and the write.
#ifdef _WIN32
    std::ofstream other(path, std::ios::binary | std::ios::app);
    EXPECT_FALSE(other.is_open()) << c.name;
    continue;
#else
    // Non-blocking: under a lease a blocking open would wait for a close that this very
    // thread is to make.
    const int other = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (other < 0) {
      EXPECT_EQ(errno, EWOULDBLOCK) << c.name;
      EXPECT_EQ(
          access.Write(path, Stamped(1), tagOffset, SeenByRead(read, record)).status,
          read.status == ReadResult::Status::Tagged ? WriteResult::Status::Replaced : WriteResult::Status::Appended)
          << c.name;
      continue;
    }
    ASSERT_EQ(::write(other, "more audio", 10), 10);
    ::close(other);
#endif
    const WriteResult write = access.Write(path, Stamped(1), tagOffset, SeenByRead(read, record));
    EXPECT_EQ(write.status, WriteResult::Status::ChangedSinceRead) << c.name;
    EXPECT_EQ(ReadFile(path), Concat(c.before, Bytes{'m', 'o', 'r', 'e', ' ', 'a', 'u', 'd', 'i', 'o'})) << c.name;
  }
}

// The kept handle stays on the file it opened whatever happens to the name; the write must
// notice that the name now stands for something else, and leave that alone too.
TEST(FileTagAccessTest, ANameThatNoLongerNamesTheFileReadIsNotWritten) {
  namespace fs = std::filesystem;
  const Bytes content = Concat(Audio(300), TagBytes("Old", "", "", "", ""));
  struct Case {
    const char* what;
    std::function<void(const fs::path& path, const fs::path& other)> change;
    WriteResult::Status status;
    std::errc error;
  };
  const Case cases[] = {
      {"a copy renamed over it",
       [](const fs::path& p, const fs::path& o) { fs::rename(o, p); },
       WriteResult::Status::ChangedSinceRead,
       {}},
      {"removed", [](const fs::path& p, const fs::path&) { fs::remove(p); }, WriteResult::Status::OpenFailed,
       std::errc::no_such_file_or_directory},
      {"replaced by a folder",
       [](const fs::path& p, const fs::path&) {
         fs::remove(p);
         fs::create_directory(p);
       },
       WriteResult::Status::ChangedSinceRead,
       {}},
#ifndef _WIN32
      {"replaced by a link to a copy",
       [](const fs::path& p, const fs::path& o) {
         fs::remove(p);
         fs::create_symlink(o, p);
       },
       WriteResult::Status::ChangedSinceRead,
       {}},
#endif
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path path = dir / "file.mp3";
    const fs::path other = dir / "other.mp3";
    WriteFile(path, content);
    WriteFile(other, content);
    FileTagAccess access;
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = access.Read(path, record, tagOffset, true);
    ASSERT_EQ(read.status, ReadResult::Status::Tagged) << c.what;
    bool refused = false;
    try {
      c.change(path, other);
    } catch (const fs::filesystem_error&) {
      refused = true;
    }
    const WriteResult write = access.Write(path, Stamped(1), tagOffset, SeenByRead(read, record));
#ifdef _WIN32
    // A name held open for writing may not be taken from the file here; then the write goes
    // to the file read, as it should.
    if (refused) {
      EXPECT_EQ(write.status, WriteResult::Status::Replaced) << c.what;
      EXPECT_EQ(ReadFile(path), Concat(Audio(300), TagBytes("", "", "", "", "", 1, 255))) << c.what;
      continue;
    }
#endif
    ASSERT_FALSE(refused) << c.what;
    EXPECT_EQ(write.status, c.status) << c.what;
    if (c.error != std::errc{}) {
      EXPECT_EQ(write.error, c.error) << c.what;
    }
    for (const fs::path& left : {path, other}) {
      if (fs::is_regular_file(left)) {
        EXPECT_EQ(ReadFile(left), content) << c.what << " " << left;
      }
    }
  }
}

TEST(FileTagAccessTest, WritesThroughTheKeptHandleOrNotAtAllInADryRun) {
  TempDir dir;
  for (const bool dryRun : {false, true}) {
    const auto path = dir / (dryRun ? "dry.mp3" : "real.mp3");
    WriteFile(path, Audio(300));
    FileTagAccess access({.dryRun = dryRun});
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = access.Read(path, record, tagOffset, true);
    ASSERT_EQ(read.status, ReadResult::Status::Untagged);
    EXPECT_EQ(access.Write(path, Stamped(7), tagOffset, SeenByRead(read, record)).status,
              WriteResult::Status::Appended);
    const Bytes expected = dryRun ? Audio(300) : Concat(Audio(300), TagBytes("", "", "", "", "", 7, 255));
    EXPECT_EQ(ReadFile(path), expected) << (dryRun ? "dry run" : "real run");
  }
}

// The same 128 bytes again are no write: the file keeps its time, and the result says why.
TEST(FileTagAccessTest, TheTagAlreadyOnDiskIsNotWrittenAndSaysSo) {
  TempDir dir;
  for (const bool dryRun : {false, true}) {
    for (const std::uint8_t track : {7, 8}) {
      const auto path = dir / "same.mp3";
      const Bytes content = Concat(Audio(300), TagBytes("", "", "", "", "", 7, 255));
      WriteFile(path, content);
      const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
      std::filesystem::last_write_time(path, old);
      FileTagAccess access({.dryRun = dryRun});
      TagRecord record;
      std::int64_t tagOffset = 0;
      const ReadResult read = access.Read(path, record, tagOffset, true);
      ASSERT_EQ(read.status, ReadResult::Status::Tagged);
      const WriteResult write = access.Write(path, Stamped(track), tagOffset, SeenByRead(read, record));
      const bool same = track == 7;
      EXPECT_EQ(write.status, WriteResult::Status::Replaced);
      EXPECT_EQ(write.unchanged, same) << int{track} << (dryRun ? " dry run" : "");
      if (same || dryRun) {
        EXPECT_EQ(ReadFile(path), content);
        // Far from now, as the file was left; file systems keep times more coarsely than the clock.
        EXPECT_LT(std::chrono::abs(std::filesystem::last_write_time(path) - old), std::chrono::minutes(1));
      }
    }
  }
}

// Read earlier and let go (the window's Update after editing), a file is looked at again
// even when the same 128 bytes would go back: another program's change is not "unchanged".
TEST(FileTagAccessTest, TheSameBytesAfterALaterLookAreUnchangedOnlyIfTheFileIs) {
  TempDir dir;
  const auto path = dir / "later.mp3";
  const Bytes content = Concat(Audio(300), TagBytes("", "", "", "", "", 7, 255));
  for (const bool changed : {false, true}) {
    WriteFile(path, content);
    FileTagAccess access;
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = access.Read(path, record, tagOffset, false);
    ASSERT_EQ(read.status, ReadResult::Status::Tagged);
    const Bytes theirs = Concat(Audio(300), TagBytes("Theirs", "", "", "", "", 7, 255));
    if (changed) WriteFile(path, theirs);
    const WriteResult write = access.Write(path, Stamped(7), tagOffset, SeenByRead(read, record));
    EXPECT_EQ(write.status, changed ? WriteResult::Status::ChangedSinceRead : WriteResult::Status::Replaced);
    EXPECT_EQ(write.unchanged, !changed);
    EXPECT_EQ(ReadFile(path), changed ? theirs : content);
  }
}

// The bytes may be on disk, but a close that fails means they may not stay there: the
// file is not reported as written, whether it was held since its read (a batch) or opened
// again for the write (the window's Update after editing).
TEST(FileTagAccessTest, AFailingCloseAfterTheWriteIsAFailedWrite) {
  TempDir dir;
  for (const bool held : {true, false}) {
    const auto path = dir / (held ? "held.mp3" : "reopened.mp3");
    WriteFile(path, Audio(300));
    FileTagAccess access({}, [](RawFile& file) {
      file.Close();
      return std::make_error_code(std::errc::io_error);
    });
    TagRecord record;
    std::int64_t tagOffset = 0;
    const ReadResult read = access.Read(path, record, tagOffset, held);
    ASSERT_TRUE(read.ok());
    const WriteResult write = access.Write(path, Stamped(7), tagOffset, SeenByRead(read, record));
    EXPECT_EQ(write.status, WriteResult::Status::WriteFailed) << held;
    EXPECT_EQ(write.error, std::make_error_code(std::errc::io_error)) << held;
  }
}

TEST(FileTagAccessTest, AFileThatCannotBeReadLeavesNothingOpen) {
  TempDir dir;
  FileTagAccess access;
  TagRecord record;
  std::int64_t tagOffset = 0;
  EXPECT_EQ(access.Read(dir / "missing.mp3", record, tagOffset, true).status, ReadResult::Status::OpenFailed);
  // The session never writes after a failed read; if it did, the write goes to the path itself.
  EXPECT_EQ(access.Write(dir / "missing.mp3", Stamped(1), 0, {}).status, WriteResult::Status::OpenFailed);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.mp3"));
}

}  // namespace
}  // namespace pelmix
