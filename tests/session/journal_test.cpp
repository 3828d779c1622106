// The undo journal: records come back as written, a record cut short at the end is dropped,
// damage anywhere else or a foreign format refuses the batch, and undos chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "session/journal.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TagRecord Tag(std::uint8_t track) {
  TagRecord tag;
  tag.InitNew();
  tag.SetTrack(track);
  return tag;
}

JournalRecord Written(std::uint64_t number) {
  return {JournalChange::TagWritten, {7, number}, 1000, std::nullopt, Tag(static_cast<std::uint8_t>(number))};
}

#ifdef _WIN32
const fs::path kMusic = L"C:\\m";
#else
const fs::path kMusic = "/m";
#endif

// A batch of three written files; returns its file.
fs::path ThreeRecords(const fs::path& folder) {
  BatchJournal journal(folder, {0, "pelmix-cli", "stamp", {}});
  for (std::uint64_t n = 1; n <= 3; ++n) {
    EXPECT_FALSE(journal.Record(kMusic / ("song" + std::to_string(n)), Written(n)));
  }
  const fs::path file = BatchFile(folder, journal.id());
  EXPECT_FALSE(journal.Finish());
  return file;
}

// A record framed as the journal frames it, with a CRC-32 worked out bit by bit here.
Bytes Framed(const Bytes& payload) {
  Bytes record;
  const auto length = static_cast<std::uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) record.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  record.insert(record.end(), payload.begin(), payload.end());
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::uint8_t byte : record) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
  }
  crc = ~crc;
  for (int i = 0; i < 4; ++i) record.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  return record;
}

TEST(JournalTest, ACutLastRecordIsDroppedAndDamageElsewhereRefusesTheBatch) {
  const Bytes magic = {'P', 'E', 'L', 'M', 'I', 'X', 'J', 0x1A};
  const Bytes header = Framed(
      {0, 1, 0, static_cast<std::uint8_t>(sizeof(fs::path::value_type)), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
    std::size_t files;
    std::string problem;
  };
  // Each record of ThreeRecords: 4 + 1 + 16 + 8 + 1 + 128 + 4 + the units of the name + 4.
  const std::size_t record = 166 + (kMusic / "song1").native().size() * sizeof(fs::path::value_type);
  const auto alone = [&](const Bytes& payload) {
    return [&, payload](Bytes& b) { b = test::Concat(test::Concat(magic, header), Framed(payload)); };
  };
  // A rename (kind 3) whose old name "a" is all there is; a write (kind 1) of a file of 16 bytes.
  Bytes rename(1 + 16 + 8 + 1, 0), written(1 + 16 + 8 + 1 + 4, 0);
  rename[0] = 3;
  rename.insert(rename.end(), {1, 0, 0, 0, 'a'});
  if (sizeof(fs::path::value_type) == 2) rename.push_back(0);
  written[0] = 1;
  written[17] = 0x10;
  // A write (kind 1) of 128 bytes to a file of 2^63 - 1 bytes, named "a".
  Bytes huge(1 + 16, 0);
  huge[0] = 1;
  huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 2});
  huge.resize(huge.size() + 128, 0);
  huge.insert(huge.end(), {1, 0, 0, 0, 'a'});
  if (sizeof(fs::path::value_type) == 2) huge.push_back(0);
  const Case cases[] = {
      {"as written", [](Bytes&) {}, 3, ""},
      {"cut inside the last record", [&](Bytes& b) { b.resize(b.size() - record / 2); }, 2, ""},
      {"cut inside the last record's length", [&](Bytes& b) { b.resize(b.size() - record + 2); }, 2, ""},
      {"a byte of the last record changed", [&](Bytes& b) { b[b.size() - 10] ^= 1; }, 2, ""},
      {"a byte of the first record changed", [&](Bytes& b) { b[b.size() - 3 * record + 10] ^= 1; }, 0,
       "is damaged (record 1 fails its check)"},
      {"the second record's length past any record", [&](Bytes& b) { b[b.size() - 2 * record + 3] = 0x7F; }, 0,
       "is damaged (record 2 fails its check)"},
      // Damage, not a record cut short: the rest of the file holds more than its start.
      {"the first record's length past the end of the file", [&](Bytes& b) { b[b.size() - 3 * record + 1] ^= 0x10; }, 0,
       "is damaged (record 1 fails its check)"},
      {"a size no file can have", alone(huge), 0, "is damaged (record 1 fails its check)"},
      {"a byte of the header changed", [](Bytes& b) { b[14] ^= 1; }, 0, "is damaged (its header fails its check)"},
      {"not a journal", [](Bytes& b) { b[0] = 'X'; }, 0, "is not a Pelmix journal"},
      {"format 2",
       [&](Bytes& b) {
         b = test::Concat(magic, Framed({0, 2, 0}));
       },
       0, "was written by another version of Pelmix (journal format 2)"},
      {"a change of kind 4, which no version writes yet", alone({4, 1, 2, 3}), 0,
       "holds a change this version of Pelmix does not know (record 1)"},
      {"a rename without its new name", alone(rename), 0, "is damaged (record 1 fails its check)"},
      {"a written record without the bytes written", alone(written), 0, "is damaged (record 1 fails its check)"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path file = ThreeRecords(dir.path());
    Bytes bytes = ReadFile(file);
    c.change(bytes);
    WriteFile(file, bytes);
    const BatchRead read = ReadBatch(file, "id");
    EXPECT_EQ(read.problem, c.problem) << c.what;
    EXPECT_EQ(read.batch ? read.batch->files.size() : 0, c.files) << c.what;
    EXPECT_EQ(read.batch.has_value(), c.problem.empty()) << c.what;
  }
}

TEST(JournalTest, NamesAndBytesComeBackExactly) {
  TempDir dir;
#ifdef _WIN32
  // An unpaired surrogate: a name no text conversion could carry.
  const fs::path name(std::wstring(L"C:\\m\\\xD800 x.mp3"));
#else
  const fs::path name(std::string("/m/\xFF\xFE \x01.mp3"));
#endif
  TagRecord before = Tag(4);
  before.bytes()[127] = 0;
  const JournalRecord records[] = {
      {JournalChange::TagWritten, {1, 0xFFFFFFFFFFFFFFFF}, 0x1'0000'0080, before, Tag(5)},
      {JournalChange::TagWritten, {2, 3}, 129, std::nullopt, Tag(6)},
      {JournalChange::TagRemoved, {4, 5}, 4096, before, std::nullopt},
  };
  BatchJournal journal(dir.path(), {0, "Pelmix", "update", "20261208-140203-1"});
  for (const JournalRecord& record : records) ASSERT_FALSE(journal.Record(name, record));
  const std::string id = journal.id();
  journal.Finish();
  const BatchRead read = ReadBatch(BatchFile(dir.path(), id), id);
  ASSERT_TRUE(read.batch) << read.problem;
  EXPECT_EQ(read.batch->header.program, "Pelmix");
  EXPECT_EQ(read.batch->header.command, "update");
  EXPECT_EQ(read.batch->header.undoes, "20261208-140203-1");
  ASSERT_EQ(read.batch->files.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const JournalRecord& got = read.batch->files[i].record;
    EXPECT_EQ(read.batch->files[i].path.native(), name.native()) << i;
    EXPECT_EQ(got.change, records[i].change) << i;
    EXPECT_EQ(got.file, records[i].file) << i;
    EXPECT_EQ(got.sizeBefore, records[i].sizeBefore) << i;
    EXPECT_EQ(got.before, records[i].before) << i;
    EXPECT_EQ(got.after, records[i].after) << i;
  }
}

// A name given relative to the working folder is kept from the root: an undo started from
// another folder (the window's, another shell's) still finds the file.
TEST(JournalTest, ARelativeNameIsKeptFromTheRoot) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  BatchJournal journal(dir / "state", {0, "pelmix-cli", "stamp", {}});
  JournalRecord renamed{JournalChange::Renamed, {7, 1}, 1000};
  renamed.renamedTo = "new.mp3";
  const bool recorded = !journal.Record("song.mp3", Written(1)) && !journal.Record("old.mp3", renamed);
  fs::current_path(before);
  ASSERT_TRUE(recorded);
  const std::string id = journal.id();
  journal.Finish();
  const BatchRead read = ReadBatch(BatchFile(dir / "state", id), id);
  ASSERT_TRUE(read.batch) << read.problem;
  ASSERT_EQ(read.batch->files.size(), 2u);
  EXPECT_EQ(read.batch->files[0].path, dir / "song.mp3");
  EXPECT_EQ(read.batch->files[1].path, dir / "old.mp3");
  EXPECT_EQ(read.batch->files[1].record.renamedTo, dir / "new.mp3");
}

TEST(JournalTest, AnUndoTakesBackItsBatchUntilItIsTakenBackItself) {
  TempDir dir;
  const auto batch = [&](const char* command, const std::string& undoes) {
    BatchJournal journal(dir.path(), {0, "pelmix-cli", command, undoes});
    EXPECT_FALSE(journal.Record("a.mp3", Written(1)));
    return journal.id();
  };
  // A batch that writes nothing leaves no file and does not show.
  { BatchJournal empty(dir.path(), {0, "pelmix-cli", "stamp", {}}); }
  const std::string first = batch("stamp", "");
  const std::string stamp = batch("stamp", "");
  const std::string undo = batch("undo", stamp);
  std::error_code error;
  std::vector<BatchEntry> list = ListBatches(dir.path(), error);
  ASSERT_FALSE(error);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].takenBackBy, undo);
  EXPECT_EQ(list[2].takenBackBy, "");
  // The newest not taken back is the undo itself: undo again and the stamp is back.
  EXPECT_EQ(NewestNotTakenBack(list)->id, undo);

  const std::string redo = batch("undo", undo);
  list = ListBatches(dir.path(), error);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].id, redo);
  EXPECT_EQ(list[1].takenBackBy, redo);
  EXPECT_EQ(list[2].takenBackBy, "") << "the stamp is in place again";
  EXPECT_EQ(list[3].id, first);
  EXPECT_EQ(NewestNotTakenBack(list)->id, redo);
}

TEST(JournalTest, OldBatchesArePrunedAndTheFolderIsTheOwnersAlone) {
  TempDir dir;
  const fs::path folder = dir / "state" / "pelmix";
  std::string newest;
  std::error_code error;
  // Ten small batches gather before the journal is pruned back to 50.
  for (int i = 0; i < 61; ++i) {
    if (i == 60) {
      EXPECT_EQ(ListBatches(folder, error).size(), 60u);
    }
    BatchJournal journal(folder, {0, "pelmix-cli", "stamp", {}});
    ASSERT_FALSE(journal.Record("a.mp3", Written(static_cast<std::uint64_t>(i))));
    newest = journal.id();
  }
  const std::vector<BatchEntry> list = ListBatches(folder, error);
  ASSERT_EQ(list.size(), 50u);
  EXPECT_EQ(list.front().id, newest);
#ifndef _WIN32
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(BatchFile(folder, newest)).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
}

// A long batch still being written is older than the short ones that finish meanwhile and
// prune: it must not go from under its writer, or none of its files could be taken back.
TEST(JournalTest, ABatchStillBeingWrittenIsNeitherPrunedNorTakenBack) {
  TempDir dir;
  BatchJournal running(dir.path(), {0, "pelmix-cli", "stamp", {}});
  ASSERT_FALSE(running.Record("a.mp3", Written(1)));
  for (int i = 0; i < 61; ++i) {
    BatchJournal quick(dir.path(), {0, "pelmix-cli", "stamp", {}});
    ASSERT_FALSE(quick.Record("b.mp3", Written(2)));
  }
  ASSERT_FALSE(running.Record("c.mp3", Written(3)));
  const std::string id = running.id();
  // Nor is it taken back in part, as if it were done.
  std::error_code error;
  std::vector<BatchEntry> list = ListBatches(dir.path(), error);
  const auto entry = std::find_if(list.begin(), list.end(), [&](const BatchEntry& e) { return e.id == id; });
  ASSERT_NE(entry, list.end());
  EXPECT_EQ(entry->problem, "is still being written (the batch is still running)");
  ASSERT_FALSE(running.Finish());
  list = ListBatches(dir.path(), error);
  EXPECT_EQ(std::count_if(list.begin(), list.end(), [&](const BatchEntry& e) { return !e.problem.empty(); }), 0);
  const BatchRead read = ReadBatch(BatchFile(dir.path(), id), id);
  ASSERT_TRUE(read.batch) << read.problem;
  EXPECT_EQ(read.batch->files.size(), 2u);
}

#ifndef _WIN32
void Put(const char* name, const char* value) {
  if (value) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
}

TEST(JournalTest, TheFolderComesFromTheEnvironment) {
  const char* names[] = {"PELMIX_STATE_DIR", "XDG_STATE_HOME", "HOME"};
  // Each row: the three variables (null: unset), then the folder.
  const char* cases[][4] = {
      {"/s/j", "/x", "/h", "/s/j"},
      {nullptr, "/x", "/h", "/x/pelmix"},
      {nullptr, "relative", "/h", "/h/.local/state/pelmix"},
      {"", "", "/h", "/h/.local/state/pelmix"},
      {nullptr, nullptr, nullptr, ""},
  };
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i) {
    if (const char* value = std::getenv(names[i])) saved[i] = value;
  }
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) Put(names[i], c[i]);
    EXPECT_EQ(JournalFolder(), fs::path(c[3])) << (c[0] ? c[0] : "-") << " " << (c[1] ? c[1] : "-");
  }
  for (int i = 0; i < 3; ++i) Put(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}
#endif

}  // namespace
}  // namespace pelmix
