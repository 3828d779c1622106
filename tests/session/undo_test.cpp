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
    seen.push_back({static_cast<std::int64_t>(fs::file_size(path)), record});
    return fails_;
  }
  struct Seen {
    std::int64_t sizeThen;
    JournalRecord record;
  };
  std::vector<Seen> seen;

 private:
  std::error_code fails_;
};

const std::error_code kFull = std::make_error_code(std::errc::no_space_on_device);

TagRecord Stamped(std::uint8_t track) {
  TagRecord record;
  record.InitNew();
  record.SetTrack(track);
  return record;
}

struct Changed {
  bool ok = false;
  bool notJournaled = false;
  std::error_code error;
  FileIdentity file;
};

// A write (track 9) or a strip of the file, through the access, as a batch makes it.
Changed Change(FileTagAccess& access, const fs::path& path, bool strip) {
  TagRecord record;
  std::int64_t offset = 0;
  const ReadResult read = access.Read(path, record, offset, true);
  if (!read.ok()) return {};
  if (strip) {
    const StripResult r = access.Strip(path, offset, SeenByRead(read, record));
    return {r.ok(), r.status == StripResult::Status::NotJournaled, r.error, read.file};
  }
  const WriteResult r = access.Write(path, Stamped(9), offset, SeenByRead(read, record));
  return {r.ok(), r.status == WriteResult::Status::NotJournaled, r.error, read.file};
}

// A batch in the folder's journal of what `body` changes; returns its id.
std::string InBatch(const fs::path& folder, const std::function<void(FileTagAccess&)>& body) {
  BatchJournal journal(folder, {0, "test", "stamp", {}});
  FileTagAccess access;
  access.SetJournal(&journal);
  body(access);
  return journal.id();
}

std::vector<UndoOutcome> Undo(const fs::path& folder, const std::string& id, bool dryRun = false,
                              WriteJournal* instead = nullptr) {
  const BatchRead read = ReadBatch(BatchFile(folder, id), id);
  EXPECT_TRUE(read.batch) << read.problem;
  std::vector<UndoOutcome> outcomes;
  if (!read.batch) return outcomes;
  FileTagAccess access({.dryRun = dryRun});
  BatchJournal journal(folder, {0, "test", "undo", id});
  access.SetJournal(instead ? instead : &journal);
  UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
    outcomes.push_back(result.outcome);
    if (result.outcome == UndoOutcome::Failed) {
      EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);
    }
    return true;
  });
  return outcomes;
}

TEST(UndoTest, TheRecordGoesOutBeforeTheWriteAndAFailedOneStopsIt) {
  const Bytes tagged = Concat(Audio(300), TagBytes("Old", "", "", "", "", 2, 17));
  struct Case {
    const char* what;
    Bytes before;
    bool strip;
    JournalChange change;
    std::int64_t sizeBefore;
  };
  const Case cases[] = {
      {"a tag replaced", tagged, false, JournalChange::TagWritten, 428},
      {"a tag appended", Audio(300), false, JournalChange::TagWritten, 300},
      {"a tag removed", tagged, true, JournalChange::TagRemoved, 428},
  };
  for (const Case& c : cases) {
    for (const bool fails : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (fails ? ", journal full" : ""));
      TempDir dir;
      WriteFile(dir / "a.mp3", c.before);
      FakeJournal journal(fails ? kFull : std::error_code{});
      FileTagAccess access;
      access.SetJournal(&journal);
      const Changed result = Change(access, dir / "a.mp3", c.strip);
      ASSERT_EQ(journal.seen.size(), 1u);
      // An append or a cut changes the size: seen unchanged, the record went out first. A failed
      // record leaving the file as it was (below) shows the same for a replaced tag.
      EXPECT_EQ(journal.seen[0].sizeThen, c.sizeBefore) << "the record went out after the write";
      const JournalRecord& got = journal.seen[0].record;
      EXPECT_EQ(got.change, c.change);
      EXPECT_EQ(got.file, result.file);
      EXPECT_EQ(got.sizeBefore, c.sizeBefore);
      EXPECT_EQ(got.before.has_value(), c.sizeBefore == 428);
      EXPECT_EQ(got.after, c.strip ? std::nullopt : std::optional(Stamped(9)));
      EXPECT_EQ(result.notJournaled, fails);
      if (fails) {
        EXPECT_EQ(result.error, std::errc::no_space_on_device);
        EXPECT_EQ(ReadFile(dir / "a.mp3"), c.before);
      }
    }
  }
}

TEST(UndoTest, NoRecordForADryRunOrBytesAlreadyThere) {
  TempDir dir;
  const fs::path path = dir / "a.mp3";
  WriteFile(path, Concat(Audio(300), TagBytes("", "", "", "", "", 9, 255)));
  FakeJournal journal;
  for (const bool dryRun : {true, false}) {
    FileTagAccess access({.dryRun = dryRun});
    access.SetJournal(&journal);
    EXPECT_TRUE(Change(access, path, false).ok);  // unchanged: the tag already says track 9
    EXPECT_TRUE(Change(access, path, /*strip=*/true).ok);
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
  const std::string id = InBatch(folder, [&](FileTagAccess& access) {
    for (const File& file : files) {
      WriteFile(dir / file.name, file.before);
      ASSERT_TRUE(Change(access, dir / file.name, file.strip).ok) << file.name;
      after.push_back(ReadFile(dir / file.name));
    }
  });
  const std::vector<UndoOutcome> restored(3, UndoOutcome::Restored);
  EXPECT_EQ(Undo(folder, id, /*dryRun=*/true), restored);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ReadFile(dir / files[i].name), after[i]) << "dry run " << i;

  EXPECT_EQ(Undo(folder, id), restored);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ReadFile(dir / files[i].name), files[i].before) << i;
  std::error_code error;
  const std::vector<BatchEntry> list = ListBatches(folder, error);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(Undo(folder, list[0].id), restored);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ReadFile(dir / files[i].name), after[i]) << "redone " << i;
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
    WriteFile(path, before);
    const std::string id = InBatch(dir / "journal",
                                   [&](FileTagAccess& access) { ASSERT_TRUE(Change(access, path, false).ok); });
    WriteFile(dir / "other.mp3", ReadFile(path));
    c.change(path, dir / "other.mp3");
    const Bytes changed = fs::exists(path) ? ReadFile(path) : Bytes{};
    EXPECT_EQ(Undo(dir / "journal", id), std::vector<UndoOutcome>{c.outcome});
    if (fs::exists(path)) {
      EXPECT_EQ(ReadFile(path), changed);
    }
  }
}

TEST(UndoTest, AnUndoWhoseJournalFailsRestoresNothingMore) {
  TempDir dir;
  const std::string id = InBatch(dir / "journal", [&](FileTagAccess& access) {
    for (const char* name : {"a.mp3", "b.mp3"}) {
      WriteFile(dir / name, Audio(300));
      ASSERT_TRUE(Change(access, dir / name, false).ok);
    }
  });
  const Bytes stamped = ReadFile(dir / "a.mp3");
  FakeJournal full(kFull);
  EXPECT_EQ(Undo(dir / "journal", id, false, &full), std::vector<UndoOutcome>{UndoOutcome::NotJournaled});
  EXPECT_EQ(ReadFile(dir / "a.mp3"), stamped);
  EXPECT_EQ(ReadFile(dir / "b.mp3"), stamped);
}

}  // namespace
}  // namespace pelmix
