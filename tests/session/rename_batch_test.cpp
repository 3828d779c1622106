// Renaming after tags: the check of a whole batch before its first rename, a rename that
// never replaces a file, its journal record, and taking it back.
#include "session/rename_batch.h"

#include <gtest/gtest.h>

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

struct TestFile {
  const char* name;
  Bytes bytes;
};

RenamePlan Plan(const TempDir& dir, const std::vector<TestFile>& files, const char* pattern) {
  std::vector<fs::path> paths;
  for (const TestFile& file : files) {
    if (!file.bytes.empty()) WriteFile(dir / file.name, file.bytes);
    paths.push_back(dir / file.name);
  }
  return PlanRenames(paths, std::get<NameTemplate>(ParseNameTemplate(pattern)), CodePage::Windows1252);
}

Bytes Tagged(const char* title, std::uint8_t track, const char* artist = "") {
  return Concat(Audio(50), TagBytes(title, artist, "", "", "", track));
}

TEST(RenameBatchTest, EveryNewNameIsMadeBeforeTheFirstRename) {
  TempDir dir;
  // Tracks 3 and 12: the batch's width is 2; a repeat is done once; a name kept is unchanged.
  const RenamePlan plan = Plan(dir,
                               {{"a.mp3", Tagged("Caf\xE9", 3)},
                                {"b.MP3", Tagged("Last: Part?", 12)},
                                {"a.mp3", {}},
                                {"12 - Same.mp3", Tagged("Same", 12, "x")}},
                               "%n - %t");
  ASSERT_FALSE(plan.refusal) << static_cast<int>(plan.refusal->reason);
  ASSERT_EQ(plan.files.size(), 4u);
  EXPECT_EQ(plan.files[0].to, dir.path() / PathFromUtf8("03 - Caf\xC3\xA9.mp3"));
  EXPECT_EQ(plan.files[1].to, dir / "12 - Last_ Part_.MP3");
  EXPECT_TRUE(plan.files[2].repeated);
  EXPECT_TRUE(plan.files[3].unchanged);
  EXPECT_FALSE(plan.files[0].unchanged || plan.files[0].repeated);
}

TEST(RenameBatchTest, ABatchThatCannotBeRenamedWholeIsRefusedWithItsFirstReason) {
  using Reason = RenameRefusal::Reason;
  struct Case {
    std::vector<TestFile> files;
    const char* pattern;
    Reason reason;
    std::size_t file;
    std::size_t other;
    const char* name;     // the new name the refusal names, if any
    const char* outside;  // a file in the folder, not in the batch
  };
  const Case cases[] = {
      {{{"a.mp3", Tagged("A", 1)}, {"missing.mp3", {}}}, "%t", Reason::NotRead, 1, 0, "", ""},
      {{{"a.mp3", Tagged("A", 1)}, {"b.mp3", Audio(300)}}, "%t", Reason::NoValue, 1, 0, "", ""},
      {{{"a.mp3", Tagged("A", 0)}}, "%n %t", Reason::NoValue, 0, 0, "", ""},
      {{{"a.mp3", Tagged(" .. ", 1)}}, "%t", Reason::EmptyName, 0, 0, "", ""},
      // Made the same only once the rule has replaced what names may not hold.
      {{{"a.mp3", Tagged("A:B", 1)}, {"b.mp3", Tagged("A?B", 2)}}, "%t", Reason::SameName, 0, 1, "A_B.mp3", ""},
      // A file that keeps its name holds it against the rest of the batch.
      {{{"X.mp3", Tagged("X", 1)}, {"a.mp3", Tagged("X", 2)}}, "%t", Reason::SameName, 0, 1, "X.mp3", ""},
      // Taken by a file outside the batch, or by one the batch would rename itself.
      {{{"b.mp3", Tagged("X", 2)}, {"a.mp3", Tagged("In", 1)}}, "%t", Reason::Exists, 1, 0, "In.mp3", "In.mp3"},
      {{{"a.mp3", Tagged("b", 1)}, {"b.mp3", Tagged("c", 2)}}, "%t", Reason::Exists, 0, 0, "b.mp3", ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (*c.outside) WriteFile(dir / c.outside, Audio(10));
    const RenamePlan plan = Plan(dir, c.files, c.pattern);
    ASSERT_TRUE(plan.refusal) << c.files[c.file].name;
    EXPECT_EQ(plan.refusal->reason, c.reason) << c.files[c.file].name;
    EXPECT_EQ(plan.refusal->file, c.file);
    EXPECT_EQ(plan.refusal->other, c.other);
    EXPECT_EQ(plan.refusal->name, fs::path(c.name));
  }
  TempDir dir;
  const RenamePlan notRead = Plan(dir, {{"missing.mp3", {}}}, "%t");
  EXPECT_EQ(notRead.refusal->error, std::errc::no_such_file_or_directory);
  const RenamePlan noArtist = Plan(dir, {{"a.mp3", Tagged("A", 1)}}, "%a - %t");
  EXPECT_EQ(noArtist.refusal->field, TagField::Artist);

  // Windows takes names that differ only in letter case for one; elsewhere they are two.
  TempDir cased;
  const RenamePlan plan = Plan(cased, {{"a.mp3", Tagged("Intro", 1)}, {"b.mp3", Tagged("INTRO", 2)}}, "%t");
#ifdef _WIN32
  ASSERT_TRUE(plan.refusal);
  EXPECT_EQ(plan.refusal->reason, Reason::SameName);
#else
  EXPECT_FALSE(plan.refusal);
#endif
}

// Records what would be renamed, looking at the disk as the record goes out.
class FakeJournal final : public WriteJournal {
 public:
  explicit FakeJournal(std::error_code fails = {}) : fails_(fails) {}
  std::error_code Record(const fs::path& path, const JournalRecord& record) override {
    stillThere.push_back(fs::exists(path) && !fs::exists(record.renamedTo));
    records.push_back({path, record});
    return fails_;
  }
  std::vector<JournaledFile> records;
  std::vector<bool> stillThere;

 private:
  std::error_code fails_;
};

FileIdentity IdentityOf(const fs::path& path) {
  FileStatus status;
  EXPECT_FALSE(StatusOf(path, status));
  return status.identity;
}

TEST(RenameBatchTest, ARenameIsRecordedFirstAndNeverReplacesAFile) {
  TempDir dir;
  WriteFile(dir / "a.mp3", Tagged("A", 1));
  const FileIdentity a = IdentityOf(dir / "a.mp3");

  // The new name appears between the check and the rename: nothing moves, nothing is lost.
  WriteFile(dir / "new.mp3", Audio(7));
  FakeJournal journal;
  const RenameResult late = RenameFile(dir / "a.mp3", dir / "new.mp3", a, &journal, false);
  EXPECT_EQ(late.status, RenameResult::Status::Exists);
  EXPECT_EQ(ReadFile(dir / "new.mp3"), Audio(7));
  EXPECT_EQ(ReadFile(dir / "a.mp3"), Tagged("A", 1));
  EXPECT_TRUE(journal.records.empty());
  // Right past the look, the rename itself refuses to replace.
  EXPECT_EQ(RenameNoReplace(dir / "a.mp3", dir / "new.mp3"), std::errc::file_exists);
  EXPECT_EQ(ReadFile(dir / "new.mp3"), Audio(7));

  // Another file put under the old name is not renamed in its place.
  WriteFile(dir / "b.mp3", Audio(9));
  const RenameResult other = RenameFile(dir / "b.mp3", dir / "c.mp3", a, &journal, false);
  EXPECT_EQ(other.status, RenameResult::Status::Changed);
  EXPECT_TRUE(fs::exists(dir / "b.mp3"));

  FakeJournal failing(std::make_error_code(std::errc::no_space_on_device));
  const RenameResult unjournaled = RenameFile(dir / "a.mp3", dir / "d.mp3", a, &failing, false);
  EXPECT_EQ(unjournaled.status, RenameResult::Status::NotJournaled);
  EXPECT_EQ(unjournaled.error, std::errc::no_space_on_device);
  EXPECT_TRUE(fs::exists(dir / "a.mp3"));
  EXPECT_FALSE(fs::exists(dir / "d.mp3"));

  EXPECT_EQ(RenameFile(dir / "a.mp3", dir / "d.mp3", a, &journal, false).status, RenameResult::Status::Renamed);
  EXPECT_EQ(ReadFile(dir / "d.mp3"), Tagged("A", 1));
  EXPECT_FALSE(fs::exists(dir / "a.mp3"));
  ASSERT_EQ(journal.records.size(), 1u);
  EXPECT_TRUE(journal.stillThere[0]);
  EXPECT_EQ(journal.records[0].path, dir / "a.mp3");
  EXPECT_EQ(journal.records[0].record.change, JournalChange::Renamed);
  EXPECT_EQ(journal.records[0].record.renamedTo, dir / "d.mp3");
  EXPECT_EQ(journal.records[0].record.file, a);
}

TEST(RenameBatchTest, ARenameComesBackOnlyWhileItsOldNameIsFree) {
  TempDir dir;
  WriteFile(dir / "old.mp3", Tagged("A", 1));
  const FileIdentity file = IdentityOf(dir / "old.mp3");
  BatchJournal journal(dir / "journal", {0, "test", "rename", {}});
  ASSERT_EQ(RenameFile(dir / "old.mp3", dir / "new.mp3", file, &journal, false).status, RenameResult::Status::Renamed);
  const std::string id = journal.id();
  journal.Finish();
  const BatchRead read = ReadBatch(BatchFile(dir / "journal", id), id);
  ASSERT_TRUE(read.batch) << read.problem;

  const auto undo = [&](WriteJournal* undoJournal) {
    FileTagAccess access;
    access.SetJournal(undoJournal);
    std::vector<UndoFileResult> results;
    UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
      results.push_back(result);
      return true;
    });
    return results;
  };

  // The old name taken meanwhile: both files stay as they are.
  WriteFile(dir / "old.mp3", Audio(3));
  std::vector<UndoFileResult> taken = undo(nullptr);
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].outcome, UndoOutcome::Changed);
  EXPECT_EQ(taken[0].error, std::errc::file_exists);
  EXPECT_EQ(*taken[0].path, dir / "new.mp3");
  EXPECT_EQ(ReadFile(dir / "old.mp3"), Audio(3));
  EXPECT_EQ(ReadFile(dir / "new.mp3"), Tagged("A", 1));

  fs::remove(dir / "old.mp3");
  FakeJournal undoJournal;
  std::vector<UndoFileResult> back = undo(&undoJournal);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].outcome, UndoOutcome::Restored);
  EXPECT_EQ(ReadFile(dir / "old.mp3"), Tagged("A", 1));
  EXPECT_FALSE(fs::exists(dir / "new.mp3"));
  // The undo is a rename the other way, recorded as one.
  ASSERT_EQ(undoJournal.records.size(), 1u);
  EXPECT_EQ(undoJournal.records[0].path, dir / "new.mp3");
  EXPECT_EQ(undoJournal.records[0].record.renamedTo, dir / "old.mp3");

  // Once back, it is as before the batch; another file under the new name is not touched.
  WriteFile(dir / "new.mp3", Audio(4));
  std::vector<UndoFileResult> again = undo(nullptr);
  EXPECT_EQ(again[0].outcome, UndoOutcome::AlreadyAsBefore);
  EXPECT_EQ(ReadFile(dir / "new.mp3"), Audio(4));
}

}  // namespace
}  // namespace pelmix
