// Writes through FileTagAccess with a journal, and their undo: the record goes out before the
// file's write or not at all, and a file comes back only while it is as the batch left it.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "session/file_tag_access.h"
#include "session/undo.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;
using test::TempDir;
using test::WriteFile;

// Takes each record as the journal would, looking at the file as the record goes out.
class FakeJournal final : public WriteJournal {
 public:
  explicit FakeJournal(std::error_code fails = {}) : fails_(fails) {}
  std::error_code Record(const fs::path& path, const JournalRecord& record) override {
    // The size, not the bytes: opening the file here would wait on our own write lease.
    seen.push_back({path, static_cast<std::int64_t>(fs::file_size(path)), record});
    return fails_;
  }
  struct Seen {
    fs::path path;
    std::int64_t sizeThen;
    JournalRecord record;
  };
  std::vector<Seen> seen;

 private:
  std::error_code fails_;
};

TagRecord Stamped(std::uint8_t track) {
  TagRecord record;
  record.InitNew();
  record.SetTrack(track);
  return record;
}

// A write or a strip of the file, through the access, as a batch makes it.
bool Change(FileTagAccess& access, const fs::path& path, bool strip) {
  TagRecord record;
  std::int64_t offset = 0;
  const ReadResult read = access.Read(path, record, offset, true);
  if (!read.ok()) return false;
  if (strip) return access.Strip(path, offset, SeenByRead(read, record)).ok();
  return access.Write(path, Stamped(9), offset, SeenByRead(read, record)).ok();
}

std::vector<UndoFileResult> Undo(const fs::path& folder, const std::string& id, bool dryRun = false) {
  const BatchRead read = ReadBatch(BatchFile(folder, id), id);
  EXPECT_TRUE(read.batch) << read.problem;
  std::vector<UndoFileResult> results;
  if (!read.batch) return results;
  FileTagAccess access({.dryRun = dryRun});
  BatchJournal journal(folder, {0, "test", "undo", id});
  access.SetJournal(&journal);
  UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
    results.push_back(result);
    results.back().path = nullptr;  // the batch read is gone after this
    return true;
  });
  return results;
}

TEST(UndoTest, TheRecordGoesOutBeforeTheWriteAndAFailedOneStopsIt) {
  const Bytes tagged = Concat(Audio(300), TagBytes("Old", "", "", "", "", 2, 17));
  const Bytes untagged = Audio(300);
  struct Case {
    const char* what;
    Bytes before;
    bool strip;
    JournalChange change;
    std::int64_t sizeBefore;
    bool hadTag;
  };
  const Case cases[] = {
      {"a tag replaced", tagged, false, JournalChange::TagWritten, 428, true},
      {"a tag appended", untagged, false, JournalChange::TagWritten, 300, false},
      {"a tag removed", tagged, true, JournalChange::TagRemoved, 428, true},
  };
  for (const Case& c : cases) {
    for (const bool fails : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (fails ? ", journal full" : ""));
      TempDir dir;
      const fs::path path = dir / "a.mp3";
      WriteFile(path, c.before);
      FakeJournal journal(fails ? std::make_error_code(std::errc::no_space_on_device) : std::error_code{});
      FileTagAccess access;
      access.SetJournal(&journal);
      TagRecord record;
      std::int64_t offset = 0;
      const ReadResult read = access.Read(path, record, offset, true);
      ASSERT_TRUE(read.ok());
      std::error_code error;
      bool notJournaled = false;
      if (c.strip) {
        const StripResult result = access.Strip(path, offset, SeenByRead(read, record));
        notJournaled = result.status == StripResult::Status::NotJournaled;
        error = result.error;
      } else {
        const WriteResult result = access.Write(path, Stamped(9), offset, SeenByRead(read, record));
        notJournaled = result.status == WriteResult::Status::NotJournaled;
        error = result.error;
      }
      ASSERT_EQ(journal.seen.size(), 1u);
      // An append or a cut changes the size: seen unchanged, the record went out first. A failed
      // record leaving the file as it was (below) shows the same for a replaced tag.
      EXPECT_EQ(journal.seen[0].sizeThen, c.sizeBefore) << "the record went out after the write";
      const JournalRecord& got = journal.seen[0].record;
      EXPECT_EQ(got.change, c.change);
      EXPECT_EQ(got.file, read.file);
      EXPECT_EQ(got.sizeBefore, c.sizeBefore);
      EXPECT_EQ(got.before.has_value(), c.hadTag);
      EXPECT_EQ(got.after, c.strip ? std::nullopt : std::optional(Stamped(9)));
      EXPECT_EQ(notJournaled, fails);
      if (fails) {
        EXPECT_EQ(error, std::errc::no_space_on_device);
        EXPECT_EQ(ReadFile(path), c.before);
      }
    }
  }
}

TEST(UndoTest, NoRecordForADryRunOrBytesAlreadyThere) {
  TempDir dir;
  const fs::path path = dir / "a.mp3";
  const Bytes bytes = Concat(Audio(300), TagBytes("", "", "", "", "", 9, 255));
  WriteFile(path, bytes);
  FakeJournal journal;
  for (const bool dryRun : {true, false}) {
    FileTagAccess access({.dryRun = dryRun});
    access.SetJournal(&journal);
    EXPECT_TRUE(Change(access, path, false));  // unchanged: the tag already says track 9
    EXPECT_TRUE(Change(access, path, /*strip=*/true));
  }
  EXPECT_EQ(journal.seen.size(), 1u) << "only the real strip is recorded";
}

TEST(UndoTest, EveryKindOfChangeComesBackByteForByteAndTheUndoCanBeTakenBack) {
  TempDir dir;
  const fs::path folder = dir / "journal";
  struct File {
    const char* name;
    Bytes before;
    bool strip;
  };
  const File files[] = {
      {"tagged.mp3", Concat(Audio(300), TagBytes("Old", "Band", "", "1999", "A note", 0, 17)), false},
      {"untagged.mp3", Audio(500), false},
      {"stripped.mp3", Concat(Audio(200), TagBytes("Gone", "", "", "", "", 3, 1)), true},
  };
  std::vector<Bytes> after;
  std::string id;
  {
    BatchJournal journal(folder, {0, "test", "stamp", {}});
    FileTagAccess access;
    access.SetJournal(&journal);
    for (const File& file : files) {
      WriteFile(dir / file.name, file.before);
      ASSERT_TRUE(Change(access, dir / file.name, file.strip)) << file.name;
      after.push_back(ReadFile(dir / file.name));
    }
    id = journal.id();
  }
  const std::vector<UndoFileResult> looked = Undo(folder, id, /*dryRun=*/true);
  ASSERT_EQ(looked.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(looked[i].outcome, UndoOutcome::Restored);
    EXPECT_EQ(ReadFile(dir / files[i].name), after[i]) << "a dry run wrote " << files[i].name;
  }

  const std::vector<UndoFileResult> undone = Undo(folder, id);
  ASSERT_EQ(undone.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(undone[i].outcome, UndoOutcome::Restored) << i;
    EXPECT_EQ(ReadFile(dir / files[i].name), files[i].before) << files[i].name;
  }
  std::error_code error;
  const std::vector<BatchEntry> list = ListBatches(folder, error);
  ASSERT_EQ(list.size(), 2u);
  const std::vector<UndoFileResult> redone = Undo(folder, list[0].id);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(redone[i].outcome, UndoOutcome::Restored) << i;
    EXPECT_EQ(ReadFile(dir / files[i].name), after[i]) << files[i].name;
  }
}

TEST(UndoTest, AFileNotAsTheBatchLeftItIsLeftAlone) {
  const Bytes before = Concat(Audio(300), TagBytes("Old", "", "", "", "", 2, 17));
  struct Case {
    const char* what;
    std::function<void(const fs::path& path, const fs::path& other)> change;
    UndoOutcome outcome;
  };
  const Case cases[] = {
      {"its tag written again by another program",
       [](const fs::path& p, const fs::path&) {
         Bytes bytes = ReadFile(p);
         bytes[bytes.size() - 2] = 4;
         WriteFile(p, bytes);
       },
       UndoOutcome::Changed},
      {"audio added after the tag",
       [](const fs::path& p, const fs::path&) { std::ofstream(p, std::ios::binary | std::ios::app) << "x"; },
       UndoOutcome::Changed},
      {"a copy with the same bytes put in its place", [](const fs::path& p, const fs::path& o) { fs::rename(o, p); },
       UndoOutcome::Changed},
      {"removed", [](const fs::path& p, const fs::path&) { fs::remove(p); }, UndoOutcome::Failed},
      {"its old tag already back",
       [&](const fs::path& p, const fs::path&) {
         std::ofstream(p, std::ios::binary | std::ios::in | std::ios::out)
             .write(reinterpret_cast<const char*>(before.data()), static_cast<std::streamsize>(before.size()));
       },
       UndoOutcome::AlreadyAsBefore},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const fs::path path = dir / "a.mp3";
    const fs::path other = dir / "other.mp3";
    WriteFile(path, before);
    std::string id;
    {
      BatchJournal journal(dir / "journal", {0, "test", "stamp", {}});
      FileTagAccess access;
      access.SetJournal(&journal);
      ASSERT_TRUE(Change(access, path, false));
      id = journal.id();
    }
    WriteFile(other, ReadFile(path));
    c.change(path, other);
    const Bytes changed = fs::exists(path) ? ReadFile(path) : Bytes{};
    const std::vector<UndoFileResult> results = Undo(dir / "journal", id);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, c.outcome);
    if (c.outcome == UndoOutcome::Failed) {
      EXPECT_EQ(results[0].error, std::errc::no_such_file_or_directory);
    }
    if (fs::exists(path)) {
      EXPECT_EQ(ReadFile(path), changed);
    }
  }
}

TEST(UndoTest, AnUndoWhoseJournalFailsRestoresNothingMore) {
  TempDir dir;
  std::string id;
  {
    BatchJournal journal(dir / "journal", {0, "test", "stamp", {}});
    FileTagAccess access;
    access.SetJournal(&journal);
    for (const char* name : {"a.mp3", "b.mp3"}) {
      WriteFile(dir / name, Audio(300));
      ASSERT_TRUE(Change(access, dir / name, false));
    }
    id = journal.id();
  }
  const Bytes stamped = ReadFile(dir / "a.mp3");
  const BatchRead read = ReadBatch(BatchFile(dir / "journal", id), id);
  ASSERT_TRUE(read.batch);
  FakeJournal full(std::make_error_code(std::errc::no_space_on_device));
  FileTagAccess access;
  access.SetJournal(&full);
  std::vector<UndoOutcome> outcomes;
  UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
    outcomes.push_back(result.outcome);
    return true;
  });
  EXPECT_EQ(outcomes, std::vector<UndoOutcome>{UndoOutcome::NotJournaled});
  EXPECT_EQ(ReadFile(dir / "a.mp3"), stamped);
  EXPECT_EQ(ReadFile(dir / "b.mp3"), stamped);
}

}  // namespace
}  // namespace pelmix
