// Reading and writing the trailer in files: where it lies, what is written, and what is refused.
#include "core/tag_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;
using test::WriteFile;
using Read = ReadResult::Status;
using Write = WriteResult::Status;

Bytes RecordBytes(const TagRecord& record) { return Bytes(record.bytes().begin(), record.bytes().end()); }

#ifdef _WIN32
bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#endif

Bytes NewTag() {
  TagRecord record;
  record.InitNew();
  return RecordBytes(record);
}

TEST(ReadTagTrailerTest, FindsTheTrailerOnlyInTheLast128BytesOfALongerFile) {
  Bytes lowerCase = TagBytes("x");
  lowerCase[0] = 't';
  lowerCase[1] = 'a';
  lowerCase[2] = 'g';
  Bytes mixedCase = TagBytes("x");
  mixedCase[1] = 'a';
  struct Case {
    const char* what;
    Bytes content;
    Read status;
    std::int64_t offset;
    Bytes record;
  };
  const Case cases[] = {
      {"empty", {}, Read::Untagged, 0, NewTag()},
      {"one byte", Audio(1), Read::Untagged, 1, NewTag()},
      {"127 bytes", Audio(127), Read::Untagged, 127, NewTag()},
      {"128 bytes beginning with TAG", TagBytes("only"), Read::Untagged, 128, NewTag()},
      {"129 bytes ending in a trailer", Concat(Audio(1), TagBytes("t")), Read::Tagged, 1, TagBytes("t")},
      {"audio and trailer", Concat(Audio(5000), TagBytes("T", "A", "B", "1999", "C", 3, 17)), Read::Tagged, 5000,
       TagBytes("T", "A", "B", "1999", "C", 3, 17)},
      {"lower-case magic", Concat(Audio(300), lowerCase), Read::Untagged, 428, NewTag()},
      {"mixed-case magic", Concat(Audio(300), mixedCase), Read::Untagged, 428, NewTag()},
      {"TAG too early", Concat(TagBytes("x"), Audio(10)), Read::Untagged, 138, NewTag()},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const auto path = dir / "file.mp3";
    WriteFile(path, c.content);
    TagRecord record;
    std::int64_t offset = -7;
    const ReadResult result = ReadTagTrailer(path, record, offset);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_TRUE(result.ok()) << c.what;
    EXPECT_EQ(offset, c.offset) << c.what;
    EXPECT_EQ(RecordBytes(record), c.record) << c.what;
  }
}

TEST(ReadTagTrailerTest, FailureLeavesRecordAndOffsetAlone) {
  test::TempDir dir;
  TagRecord record;
  record.bytes().fill(0x42);
  const TagRecord before = record;
  std::int64_t offset = 99;

  ReadResult result = ReadTagTrailer(dir / "missing.mp3", record, offset);
  EXPECT_EQ(result.status, Read::OpenFailed);
  EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);

  std::filesystem::create_directory(dir / "folder.mp3");
  result = ReadTagTrailer(dir / "folder.mp3", record, offset);
  EXPECT_EQ(result.status, Read::OpenFailed);
  EXPECT_EQ(result.error, std::errc::is_a_directory);

  EXPECT_EQ(record, before);
  EXPECT_EQ(offset, 99);
}

// Reads the file, lets `change` alter it, then writes a new record at the offset read.
struct WriteCase {
  const char* what;
  Bytes content;
  std::function<void(const std::filesystem::path&)> change;
  Write status;
  Bytes expected;  // the file afterwards; empty: as it was just before the write
};

TEST(WriteTagTrailerTest, WritesOnlyWhereTheReadFoundTheEndOfTheAudio) {
  const Bytes audio = Audio(1000);
  const Bytes written = TagBytes("New", "Artist", "", "2024", "", 4, 9);
  const auto none = [](const std::filesystem::path&) {};
  const auto grow = [](const std::filesystem::path& p) { WriteFile(p, Concat(ReadFile(p), Audio(10))); };
  const auto shrink = [](const std::filesystem::path& p) {
    Bytes b = ReadFile(p);
    b.resize(b.size() - 1);
    WriteFile(p, b);
  };
  const auto untag = [](const std::filesystem::path& p) {
    Bytes b = ReadFile(p);
    b[b.size() - 128] = 'X';
    WriteFile(p, b);
  };
  // Another tagger at work between our read and our write: its trailer must survive.
  const auto theirsAppended = [](const std::filesystem::path& p) {
    WriteFile(p, Concat(ReadFile(p), TagBytes("Theirs")));
  };
  const auto theirsInPlace = [](const std::filesystem::path& p) {
    Bytes b = ReadFile(p);
    b[b.size() - 125] = 'Z';  // the title's first byte
    WriteFile(p, b);
  };
  const WriteCase cases[] = {
      {"empty file", {}, none, Write::Appended, written},
      {"128-byte file beginning with TAG", TagBytes("x"), none, Write::Appended, Concat(TagBytes("x"), written)},
      {"untagged", audio, none, Write::Appended, Concat(audio, written)},
      {"tagged", Concat(audio, TagBytes("Old")), none, Write::Replaced, Concat(audio, written)},
      {"grown since the read", audio, grow, Write::ChangedSinceRead, Concat(audio, Audio(10))},
      {"tagged file grown since", Concat(audio, TagBytes("Old")), grow, Write::ChangedSinceRead,
       Concat(Concat(audio, TagBytes("Old")), Audio(10))},
      {"trailer cut off since", Concat(audio, TagBytes("Old")), shrink, Write::ChangedSinceRead, {}},
      {"trailer overwritten since", Concat(audio, TagBytes("Old")), untag, Write::ChangedSinceRead, {}},
      {"another's trailer appended since", audio, theirsAppended, Write::ChangedSinceRead, {}},
      {"another's trailer appended to an empty file", {}, theirsAppended, Write::ChangedSinceRead, {}},
      {"trailer rewritten by another since",
       Concat(audio, TagBytes("Old")),
       theirsInPlace,
       Write::ChangedSinceRead,
       {}},
  };
  test::TempDir dir;
  for (const WriteCase& c : cases) {
    const auto path = dir / "file.mp3";
    WriteFile(path, c.content);
    TagRecord record;
    std::int64_t offset = 0;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    ASSERT_TRUE(read.ok()) << c.what;
    const TagSeen seen = SeenByRead(read, record);
    c.change(path);
    const Bytes before = ReadFile(path);
    std::copy(written.begin(), written.end(), record.bytes().begin());
    const WriteResult result = WriteTagTrailer(path, record, offset, seen);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(ReadFile(path), c.expected.empty() ? before : c.expected) << c.what;
  }
}

// The name read no longer names the file read: whatever it names now is left alone, even
// a byte-for-byte copy.
TEST(WriteTagTrailerTest, WritesOnlyIntoTheFileThatWasRead) {
  namespace fs = std::filesystem;
  const Bytes content = Concat(Audio(700), TagBytes("Old"));
  struct Case {
    const char* what;
    std::function<void(const fs::path& path, const fs::path& other)> change;
    Write status;
    std::errc error;
  };
  const Case cases[] = {
      {"a copy renamed over it",
       [](const fs::path& p, const fs::path& o) { fs::rename(o, p); },
       Write::ChangedSinceRead,
       {}},
      {"removed", [](const fs::path& p, const fs::path&) { fs::remove(p); }, Write::OpenFailed,
       std::errc::no_such_file_or_directory},
      {"replaced by a folder",
       [](const fs::path& p, const fs::path&) {
         fs::remove(p);
         fs::create_directory(p);
       },
       Write::OpenFailed, std::errc::is_a_directory},
#ifndef _WIN32
      {"replaced by a link to a copy",
       [](const fs::path& p, const fs::path& o) {
         fs::remove(p);
         fs::create_symlink(o, p);
       },
       Write::ChangedSinceRead,
       {}},
#endif
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const auto path = dir / "file.mp3";
    const auto other = dir / "other.mp3";
    WriteFile(path, content);
    WriteFile(other, content);
    TagRecord record;
    std::int64_t offset = 0;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    ASSERT_EQ(read.status, Read::Tagged) << c.what;
    const TagSeen seen = SeenByRead(read, record);
    c.change(path, other);
    record.SetFieldText(TagField::Title, "New");
    const WriteResult result = WriteTagTrailer(path, record, offset, seen);
    EXPECT_EQ(result.status, c.status) << c.what;
    if (c.error != std::errc{}) {
      EXPECT_EQ(result.error, c.error) << c.what;
    }
    for (const fs::path& left : {path, other}) {
      if (fs::is_regular_file(left)) {
        EXPECT_EQ(ReadFile(left), content) << c.what << " " << left;
      }
    }
  }
}

TEST(WriteTagTrailerTest, SecondWriteAtTheSameOffsetReplacesTheAppendedTrailer) {
  test::TempDir dir;
  const auto path = dir / "twice.mp3";
  WriteFile(path, Audio(500));
  TagRecord record;
  std::int64_t offset = 0;
  TagSeen seen = SeenByRead(ReadTagTrailer(path, record, offset), record);
  record.SetFieldText(TagField::Title, "one");
  EXPECT_EQ(WriteTagTrailer(path, record, offset, seen).status, Write::Appended);
  seen.tag = record;
  record.SetFieldText(TagField::Title, "two");
  EXPECT_EQ(WriteTagTrailer(path, record, offset, seen).status, Write::Replaced);
  EXPECT_EQ(ReadFile(path), Concat(Audio(500), RecordBytes(record)));
}

// An offset before the start of the file is no place for a trailer, even where the file
// ends 128 bytes past it as one read there would; nor is one past the largest size a file
// can have (an undo journal's record can name any): refused as a change, nothing written.
TEST(WriteTagTrailerTest, AnOffsetNoFileCanHaveIsRefusedAsAChange) {
  test::TempDir dir;
  const auto path = dir / "short.mp3";
  WriteFile(path, Audio(100));
  FileStatus status;
  ASSERT_FALSE(StatusOf(path, status));
  TagRecord record;
  for (const std::int64_t offset : {std::int64_t{-28}, std::int64_t{0x7FFF'FFFF'FFFF'FFA0}}) {
    for (const bool tagged : {true, false}) {
      const TagSeen seen{status.identity, tagged ? std::optional(record) : std::nullopt};
      const WriteResult result = WriteTagTrailer(path, record, offset, seen);
      EXPECT_EQ(result.status, Write::ChangedSinceRead) << offset;
      EXPECT_FALSE(result.error) << offset;
    }
  }
  EXPECT_EQ(ReadFile(path), Audio(100));
}

TEST(WriteTagTrailerTest, NeverCreatesAFile) {
  test::TempDir dir;
  TagRecord record;
  record.InitNew();
  for (std::int64_t offset : {0, 128}) {
    const WriteResult result = WriteTagTrailer(dir / "gone.mp3", record, offset, {});
    EXPECT_EQ(result.status, Write::OpenFailed);
    EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "gone.mp3"));
  std::filesystem::create_directory(dir / "folder.mp3");
  EXPECT_EQ(WriteTagTrailer(dir / "folder.mp3", record, 0, {}).error, std::errc::is_a_directory);
}

TEST(WriteTagTrailerTest, ReadOnlyFileIsLeftAsItIs) {
  test::TempDir dir;
  const auto path = dir / "locked.mp3";
  const Bytes content = Concat(Audio(300), TagBytes("Old"));
  WriteFile(path, content);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  const auto attempt = [&path] {
    TagRecord record;
    std::int64_t offset = 0;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    if (!read.ok()) return 2;
    record.SetFieldText(TagField::Title, "New");
    const WriteResult result = WriteTagTrailer(path, record, offset, SeenByRead(read, record));
    return result.status == Write::OpenFailed && result.error == std::errc::permission_denied ? 0 : 1;
  };
#ifdef _WIN32
  if (RunningUnderWine()) GTEST_SKIP() << "Wine lets the superuser write read-only files";
  EXPECT_EQ(attempt(), 0);
#else
  EXPECT_EQ(test::RunInChild(attempt, /*unprivileged=*/true), 0);
#endif
  EXPECT_EQ(ReadFile(path), content);
}

// Sparse files make multi-gigabyte sizes cheap: the trailer must be found and written at
// its real 64-bit position, not at the position cut to 32 bits.
TEST(WriteTagTrailerTest, LargeFilesAreReadAndWrittenAtTheirEnd) {
  test::TempDir dir;
  for (std::int64_t audioSize : {std::int64_t{1} << 31, (std::int64_t{1} << 32) + 1000}) {
    const auto path = dir / "large.mp3";
    WriteFile(path, Bytes{});
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(audioSize));
    TagRecord record;
    std::int64_t offset = 0;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    ASSERT_EQ(read.status, Read::Untagged);
    EXPECT_EQ(offset, audioSize);
    record.SetFieldText(TagField::Title, "Large");
    ASSERT_EQ(WriteTagTrailer(path, record, offset, SeenByRead(read, record)).status, Write::Appended);
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(audioSize + 128));

    TagRecord again;
    const ReadResult reread = ReadTagTrailer(path, again, offset);
    ASSERT_EQ(reread.status, Read::Tagged);
    EXPECT_EQ(offset, audioSize);
    EXPECT_EQ(again.GetFieldText(TagField::Title), "Large");
    const TagSeen seen = SeenByRead(reread, again);
    again.SetFieldText(TagField::Title, "Larger");
    ASSERT_EQ(WriteTagTrailer(path, again, offset, seen).status, Write::Replaced);
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(audioSize + 128));
    ASSERT_EQ(ReadTagTrailer(path, record, offset).status, Read::Tagged);
    EXPECT_EQ(record.GetFieldText(TagField::Title), "Larger");
    std::filesystem::remove(path);
  }
}

#ifndef _WIN32
// A file size limit stands in for a full disk: the append can write only part of the
// trailer, and that part must not stay behind. Held only by the lock (as "nobody"), a file
// another program appended to in between keeps what it appended.
TEST(WriteTagTrailerTest, AppendThatRunsOutOfRoomLeavesTheOldLength) {
  const Bytes audio = Audio(1000);
  const Bytes theirs = {'o', 't', 'h', 'e', 'r', 's', '\n'};
  struct Case {
    const char* what;
    bool othersAppend;
    rlim_t limit;
    Bytes after;
  };
  const Case cases[] = {
      {"part of the trailer fits", false, 1050, audio},
      {"none of it fits", false, 1000, audio},
      {"another appended, then part fits", true, 1050, Concat(audio, theirs)},
      {"another appended, then none fits", true, 1007, Concat(audio, theirs)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.othersAppend && geteuid() != 0) GTEST_SKIP() << "a file of another owner needs the superuser to make";
    test::TempDir dir;
    const auto path = dir / "limited.mp3";
    WriteFile(path, audio);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(path, std::filesystem::perms::all);
    const int status = test::RunInChild(
        [&] {
          std::signal(SIGXFSZ, SIG_IGN);
          RawFile file;
          if (file.Open(path, RawFile::Access::ReadWrite)) return 2;
          if (c.othersAppend != (file.hold() == RawFile::Hold::Lock)) return 3;
          TagRecord record;
          std::int64_t offset = 0;
          const ReadResult read = ReadTagTrailer(file, record, offset);
          if (!read.ok()) return 2;
          // A program that takes no lock appends between the check and the write.
          const auto between = [&]() -> std::error_code {
            if (c.othersAppend) {
              const int other = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
              const bool wrote = ::write(other, theirs.data(), theirs.size()) == static_cast<ssize_t>(theirs.size());
              ::close(other);
              if (!wrote) return std::make_error_code(std::errc::io_error);
            }
            rlimit limit{c.limit, c.limit};
            setrlimit(RLIMIT_FSIZE, &limit);
            return {};
          };
          const WriteResult result = WriteTagTrailer(file, path, record, offset, SeenByRead(read, record),
                                                     SeenThrough::HeldSinceRead, between);
          return result.status == Write::WriteFailed && result.error == std::errc::file_too_large ? 0 : 1;
        },
        /*unprivileged=*/c.othersAppend);
    EXPECT_EQ(status, 0) << "2: not read, 3: not held as expected";
    EXPECT_EQ(ReadFile(path), c.after);
  }
}

TEST(ReadTagTrailerTest, SpecialFilesAreRefusedWithoutBlocking) {
  test::TempDir dir;
  const auto fifo = dir / "pipe.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  TagRecord record;
  std::int64_t offset = 0;
  EXPECT_EQ(ReadTagTrailer(fifo, record, offset).error, NotARegularFile());
  EXPECT_EQ(WriteTagTrailer(fifo, record, 0, {}).status, Write::OpenFailed);
}
#endif

}  // namespace
}  // namespace pelmix
