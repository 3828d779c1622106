// The session's load and update: the values shown, the bytes written, and the files left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "tests/support/session_fixture.h"

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::SessionTest;
using test::TagBytes;

const Bytes kTagged = Concat(Audio(2000), TagBytes("Song", "Band", "Record", "1999", "Fine", 7, 17));

class LoadTest : public SessionTest {};

TEST_F(LoadTest, TakesTheFieldsThatAreNotKeptForStamping) {
  struct Case {
    EditMode mode;
    bool titleFlagged;  // the other six "Update" boxes stay ticked
    bool titleFromFile;
    bool othersFromFile;
  };
  const Case cases[] = {
      {EditMode::Edit, true, true, true},         {EditMode::View, true, true, true},
      {EditMode::Update, true, false, false},     {EditMode::Update, false, true, false},
      {EditMode::AutoUpdate, true, false, false}, {EditMode::AutoUpdate, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    test::RecordingExchange exchange;
    TagEditSession session(genres, exchange);
    session.Start();
    exchange.controls.mode = static_cast<int>(c.mode);
    exchange.controls.updateFlag[TagField::Title] = c.titleFlagged ? 1 : 0;
    exchange.controls.fields = {"Typed", "Typed", "Typed", "2024", "Typed", "3", GenreIndex("Blues")};
    const auto path = MakeFile("song.mp3", kTagged);
    ASSERT_TRUE(session.LoadFile(path));
    const FieldValues& v = session.fields();
    EXPECT_EQ(v.title, c.titleFromFile ? "Song" : "Typed");
    EXPECT_EQ(v.artist, c.othersFromFile ? "Band" : "Typed");
    EXPECT_EQ(v.album, c.othersFromFile ? "Record" : "Typed");
    EXPECT_EQ(v.year, c.othersFromFile ? "1999" : "2024");
    EXPECT_EQ(v.comment, c.othersFromFile ? "Fine" : "Typed");
    EXPECT_EQ(v.trackText, c.othersFromFile ? "7" : "3");
    EXPECT_EQ(v.genreIndex, c.othersFromFile ? GenreIndex("Alt Rock") : GenreIndex("Blues"));
    EXPECT_EQ(exchange.controls.fields, v);
  }
}

TEST_F(LoadTest, FileWithoutTagGivesEmptyFieldsAndTheNoGenreEntry) {
  StartIn(EditMode::Edit);
  controls() = {"x", "x", "x", "x", "x", "9", GenreIndex("Blues")};
  ASSERT_TRUE(session.LoadFile(MakeFile("bare.mp3", Audio(500))));
  EXPECT_EQ(session.fields(), (FieldValues{"", "", "", "", "", "", GenreIndex("No genre")}));
  EXPECT_EQ(session.tagOffset(), 500);
}

TEST_F(LoadTest, GenreWithoutAnEntryKeepsTheSelection) {
  StartIn(EditMode::Edit);
  controls().genreIndex = GenreIndex("Blues");
  ASSERT_TRUE(session.LoadFile(MakeFile("odd.mp3", Concat(Audio(10), TagBytes("t", "", "", "", "", 200, 44)))));
  EXPECT_EQ(session.fields().genreIndex, GenreIndex("Blues"));
  EXPECT_EQ(session.fields().trackText, "200");
}

TEST_F(LoadTest, SetsTheTitleFromTheLastPathComponentAfterSavingAndBeforeShowing) {
  StartIn(EditMode::Edit);
  ASSERT_TRUE(session.LoadFile(MakeFile("01 Intro.mp3", kTagged)));
  EXPECT_EQ(session.windowTitle(), "Pelmix -  01 Intro.mp3");
  EXPECT_EQ(exchange.calls, (std::vector<std::string>{"Save", "Title Pelmix -  01 Intro.mp3", "Show"}));
  EXPECT_EQ(session.currentPath(), dir / "01 Intro.mp3");
}

// Any path reads as a file without a trailer.
class EveryPathReads : public TagAccess {
 public:
  ReadResult Read(const std::filesystem::path&, TagRecord& record, std::int64_t& offset, bool) override {
    record.InitNew();
    offset = 0;
    return {ReadResult::Status::Untagged, {}};
  }
  WriteResult Write(const std::filesystem::path&, const TagRecord&, std::int64_t, const TagSeen&) override {
    return {};
  }
};

TEST_F(LoadTest, TitleShowsAnyFileNameAsUtf8) {
  EveryPathReads access;
  TagEditSession named(genres, exchange, &access);
  named.Start();
#ifdef _WIN32
  // An unpaired surrogate is a valid Windows name but has no UTF-8 form.
  const std::filesystem::path odd = std::wstring(L"C:\\music\\a") + wchar_t(0xD800) + L"\u00E9.mp3";
  const std::string shown = "a\xEF\xBF\xBD\xC3\xA9.mp3";
#else
  const std::filesystem::path odd = "/music/a\xFF\xC3\xA9.mp3";  // names are bytes here
  const std::string shown = "a\xFF\xC3\xA9.mp3";
#endif
  ASSERT_TRUE(named.LoadFile(odd));
  EXPECT_EQ(exchange.title, "Pelmix -  " + shown);
}

TEST_F(LoadTest, FileThatCannotBeOpenedChangesNothing) {
  StartIn(EditMode::Edit);
  ASSERT_TRUE(session.LoadFile(MakeFile("first.mp3", kTagged)));
  exchange.ClearCalls();
  const BoundValues before = session.values();
  EXPECT_FALSE(session.LoadFile(dir / "missing.mp3"));
  EXPECT_TRUE(exchange.calls.empty());
  EXPECT_EQ(session.values(), before);
  EXPECT_EQ(session.currentPath(), dir / "first.mp3");
  EXPECT_EQ(session.windowTitle(), "Pelmix -  first.mp3");
  EXPECT_EQ(session.lastRead().status, ReadResult::Status::OpenFailed);
}

TEST(GenreFileTest, LoadedGenreSelectsItsEntryAndUpdateWritesTheChosenCode) {
  GenreList genres;
  ASSERT_TRUE(genres.Load(std::filesystem::path(PELMIX_SOURCE_DIR) / "res"));
  test::RecordingExchange exchange;
  TagEditSession session(genres, exchange);
  session.Start();
  session.OnModeClicked();
  test::TempDir dir;
  const auto path = dir / "rock.mp3";
  test::WriteFile(path, Concat(Audio(64), TagBytes("Song", "", "", "", "", 1, 17)));
  ASSERT_TRUE(session.LoadFile(path));
  EXPECT_EQ(genres.NameAt(session.fields().genreIndex), "Rock");

  const int jazz = genres.IndexOfCode(8);
  ASSERT_EQ(genres.NameAt(jazz), "Jazz");
  exchange.controls.fields.genreIndex = jazz;
  session.UpdateTag();
  EXPECT_EQ(ReadFile(path).back(), 8);
}

class UpdateTest : public SessionTest {};

TEST_F(UpdateTest, WritesNothingBeforeAFileIsLoaded) {
  StartIn(EditMode::Edit);
  controls().title = "Nowhere";
  session.UpdateTag();
  EXPECT_EQ(exchange.calls, (std::vector<std::string>{"Save", "Show"}));
  EXPECT_EQ(session.fields().title, "Nowhere");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(UpdateTest, EditWritesInPlaceOrAppends) {
  StartIn(EditMode::Edit);
  const auto tagged = MakeFile("tagged.mp3", kTagged);
  ASSERT_TRUE(session.LoadFile(tagged));
  controls().title = "Better Song";
  controls().genreIndex = GenreIndex("Blues");
  session.UpdateTag();
  EXPECT_EQ(ReadFile(tagged), Concat(Audio(2000), TagBytes("Better Song", "Band", "Record", "1999", "Fine", 7, 0)));

  const auto bare = MakeFile("bare.mp3", Audio(300));
  ASSERT_TRUE(session.LoadFile(bare));
  controls().title = "Fresh";
  session.UpdateTag();
  session.UpdateTag();  // the second write replaces the appended trailer
  EXPECT_EQ(ReadFile(bare), Concat(Audio(300), TagBytes("Fresh", "", "", "", "", 0, 255)));
  EXPECT_EQ(session.lastWrite().status, WriteResult::Status::Replaced);
}

// What another program does to the file between the load and the update is not
// overwritten; loading the file again takes it in, and the update goes ahead.
TEST_F(UpdateTest, AFileChangedSinceItsLoadIsLeftAsTheOtherProgramLeftIt) {
  StartIn(EditMode::Edit);
  const Bytes theirs = Concat(Audio(300), TagBytes("Theirs", "Band"));
  struct Case {
    const char* what;
    Bytes before;
  };
  const Case cases[] = {
      {"a trailer appended", Audio(300)},
      {"the trailer rewritten", Concat(Audio(300), TagBytes("Mine", "Band"))},
  };
  for (const Case& c : cases) {
    const auto path = MakeFile("changed.mp3", c.before);
    ASSERT_TRUE(session.LoadFile(path)) << c.what;
    test::WriteFile(path, theirs);
    controls().title = "Mine again";
    session.UpdateTag();
    EXPECT_EQ(session.lastWrite().status, WriteResult::Status::ChangedSinceRead) << c.what;
    EXPECT_EQ(ReadFile(path), theirs) << c.what;

    ASSERT_TRUE(session.LoadFile(path)) << c.what;
    controls().title = "Mine again";
    session.UpdateTag();
    EXPECT_EQ(session.lastWrite().status, WriteResult::Status::Replaced) << c.what;
    EXPECT_EQ(ReadFile(path), Concat(Audio(300), TagBytes("Mine again", "Band"))) << c.what;
  }
}

TEST_F(UpdateTest, UnflaggedFieldsGoBackByteForByte) {
  StartIn(EditMode::Edit);
  Bytes trailer = TagBytes("Ab", "Band", "Record", "1999", "Fine", 7, 17);
  trailer[3 + 5] = 'z';  // behind the title's first zero byte
  const auto path = MakeFile("keep.mp3", Concat(Audio(100), trailer));
  ASSERT_TRUE(session.LoadFile(path));
  for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = field == TagField::Year ? 1 : 0;
  controls().year = "2001";
  session.UpdateTag();
  Bytes expected = trailer;
  std::copy_n("2001", 4, expected.begin() + 93);
  EXPECT_EQ(ReadFile(path), Concat(Audio(100), expected));
}

TEST_F(UpdateTest, GenreIsTheChosenEntrysCode) {
  struct Case {
    const char* entry;
    std::uint8_t genre;
  };
  StartIn(EditMode::Edit);
  const auto path = MakeFile("genre.mp3", kTagged);
  for (const Case& c : {Case{"Blues", 0}, Case{"Rock", 17}, Case{"", 255}}) {
    ASSERT_TRUE(session.LoadFile(path));
    controls().genreIndex = GenreIndex(c.entry);
    session.UpdateTag();
    EXPECT_EQ(ReadFile(path).back(), c.genre) << c.entry;
  }
}

// Other readers see byte 126 as a track number only when byte 125 is zero: a comment typed
// with all 29 bytes and a track number cannot both be stored, and neither is cut.
TEST_F(UpdateTest, ATypedCommentDoesNotLoseItsLastByteToATrackNumber) {
  StartIn(EditMode::Edit);
  const auto path = MakeFile("visible.mp3", Audio(50));
  ASSERT_TRUE(session.LoadFile(path));
  controls().comment = std::string(29, 'c');
  controls().trackText = "";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  EXPECT_EQ(ReadFile(path)[50 + 125], 'c');
  controls().trackText = "5";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::ValueRefused);
  EXPECT_EQ(session.lastResult().problem->width, 28u);
  EXPECT_EQ(ReadFile(path), Concat(Audio(50), TagBytes("", "", "", "", std::string(29, 'c'), 0, 255)));
  controls().comment = std::string(28, 'c');
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  EXPECT_EQ(ReadFile(path), Concat(Audio(50), TagBytes("", "", "", "", std::string(28, 'c'), 5, 255)));
}

// A v1.0 trailer whose comment fills 30 bytes reads its last byte as a "track". Stamping
// another field keeps all 30; a new track number makes it v1.1.
TEST_F(UpdateTest, AThirtyByteCommentStaysWholeUntilATrackNumberIsGiven) {
  const std::string comment30 = "thirty characters of comment!!";
  const Bytes v10 = Concat(Audio(40), TagBytes("T", "", "", "", comment30.substr(0, 29), '!', 12));
  StartIn(EditMode::Update);
  for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = 0;
  exchange.controls.updateFlag[TagField::Genre] = 1;
  controls().genreIndex = GenreIndex("Rock");
  const auto path = MakeFile("v10.mp3", v10);
  ASSERT_TRUE(session.LoadFile(path));
  session.UpdateTag();
  EXPECT_EQ(ReadFile(path), Concat(Audio(40), TagBytes("T", "", "", "", comment30.substr(0, 29), '!', 17)));

  exchange.controls.updateFlag[TagField::Track] = 1;
  controls().trackText = "5";
  ASSERT_TRUE(session.LoadFile(path));
  session.UpdateTag();
  EXPECT_EQ(ReadFile(path), Concat(Audio(40), TagBytes("T", "", "", "", comment30.substr(0, 28), 5, 17)));
}

TEST_F(UpdateTest, CountsUpOnlyInTheUpdateModes) {
  for (EditMode mode : {EditMode::Edit, EditMode::Update}) {
    SCOPED_TRACE(static_cast<int>(mode));
    test::RecordingExchange exchange;
    TagEditSession session(genres, exchange);
    session.Start();
    exchange.controls.mode = static_cast<int>(mode);
    session.OnModeClicked();
    for (TagField field : kAllTagFields) exchange.controls.incrementFlag[field] = HasIncrementBox(field);
    ASSERT_TRUE(session.LoadFile(MakeFile("count.mp3", Audio(10))));
    exchange.controls.fields = {"Part 9", "A1", "B", "1999", "C", "9", -1};
    session.UpdateTag();
    const bool counts = mode == EditMode::Update;
    EXPECT_EQ(session.fields(), (counts ? FieldValues{"Part 10", "A2", "B1", "1999", "C1", "10", -1}
                                        : FieldValues{"Part 9", "A1", "B", "1999", "C", "9", -1}));
    EXPECT_EQ(ReadFile(dir / "count.mp3"), Concat(Audio(10), TagBytes("Part 9", "A1", "B", "1999", "C", 9, 255)));
  }
}

// A value counted past what its field holds is refused, not written cut or by its low byte;
// nothing counts up, so the user sees the value that was refused.
TEST_F(UpdateTest, AValuePastItsFieldIsRefusedNotCut) {
  StartIn(EditMode::Update);
  for (TagField field : {TagField::Track, TagField::Title}) exchange.controls.incrementFlag[field] = 1;
  const auto path = MakeFile("long.mp3", Audio(10));
  ASSERT_TRUE(session.LoadFile(path));
  controls().trackText = "255";
  controls().title = std::string(29, 't') + "9";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  EXPECT_EQ(controls().title, std::string(29, 't') + "10");
  EXPECT_EQ(session.UpdateTag(), FileOutcome::ValueRefused);
  EXPECT_EQ(session.lastResult().problem->field, TagField::Title);
  EXPECT_EQ(ReadFile(path), Concat(Audio(10), TagBytes(std::string(29, 't') + "9", "", "", "", "", 255, 255)));
  EXPECT_EQ(controls().trackText, "256");
  EXPECT_EQ(controls().title, std::string(29, 't') + "10");
}

// An Update that would write what the file holds writes nothing: the file keeps its time.
TEST_F(UpdateTest, AnUpdateThatChangesNothingIsUnchanged) {
  StartIn(EditMode::Edit);
  const auto path = MakeFile("same.mp3", kTagged);
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::filesystem::last_write_time(path, old);
  ASSERT_TRUE(session.LoadFile(path));
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Unchanged);
  EXPECT_LT(std::chrono::abs(std::filesystem::last_write_time(path) - old), std::chrono::minutes(1));
  EXPECT_EQ(ReadFile(path), kTagged);
}

// Files whose writes all fail, as a read-only or locked file does.
class RefusingWrites : public TagAccess {
 public:
  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& offset, bool) override {
    return ReadTagTrailer(path, record, offset);
  }
  WriteResult Write(const std::filesystem::path&, const TagRecord&, std::int64_t, const TagSeen&) override {
    return {WriteResult::Status::OpenFailed, std::make_error_code(std::errc::permission_denied)};
  }
};

class BatchTest : public SessionTest {
 protected:
  void StartAutoUpdate(const std::string& trackText) {
    StartIn(EditMode::AutoUpdate);
    for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = field == TagField::Track;
    exchange.controls.incrementFlag[TagField::Track] = 1;
    controls().trackText = trackText;
  }
  std::uint8_t TrackOnDisk(const std::string& name) { return ReadFile(dir / name)[100 + 126]; }
};

TEST_F(BatchTest, AutoUpdateStampsConsecutiveNumbers) {
  StartAutoUpdate("1");
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
    session.ProcessFile(MakeFile(name, Concat(Audio(100), TagBytes(name))));
  EXPECT_EQ(TrackOnDisk("a.mp3"), 1);
  EXPECT_EQ(TrackOnDisk("b.mp3"), 2);
  EXPECT_EQ(TrackOnDisk("c.mp3"), 3);
  EXPECT_EQ(controls().trackText, "4");
  EXPECT_EQ(ReadFile(dir / "b.mp3"), Concat(Audio(100), TagBytes("b.mp3", "", "", "", "", 2, 255)));
}

TEST_F(BatchTest, EmptyTrackTextStampsNoNumberThenCountsFromOne) {
  StartAutoUpdate("");
  session.ProcessFile(MakeFile("a.mp3", Audio(100)));
  EXPECT_EQ(TrackOnDisk("a.mp3"), 0);
  EXPECT_EQ(controls().trackText, "1");
}

TEST_F(BatchTest, UnreadableFileUsesUpNoNumber) {
  StartAutoUpdate("1");
  session.ProcessFile(MakeFile("a.mp3", Audio(100)));
  session.ProcessFile(dir / "missing.mp3");
  session.ProcessFile(MakeFile("c.mp3", Audio(100)));
  EXPECT_EQ(TrackOnDisk("a.mp3"), 1);
  EXPECT_EQ(TrackOnDisk("c.mp3"), 2);
}

TEST_F(BatchTest, UnwritableFileUsesUpItsNumber) {
  RefusingWrites refusing;
  TagEditSession refused(genres, exchange, &refusing);
  refused.Start();
  exchange.controls.mode = static_cast<int>(EditMode::AutoUpdate);
  exchange.controls.incrementFlag[TagField::Track] = 1;
  controls().trackText = "1";
  const auto path = MakeFile("locked.mp3", Audio(100));
  const std::vector<PathName> files{path.native(), MakeFile("locked 2.mp3", Audio(100)).native()};
  refused.RunBatch(files, BatchOptions{}, {});
  EXPECT_EQ(refused.lastWrite().status, WriteResult::Status::OpenFailed);
  EXPECT_EQ(controls().trackText, "3");
  EXPECT_EQ(ReadFile(path), Audio(100));
}

// A file written alone (Update, or one file in Auto Update) that cannot be written keeps the
// values as they were refused: clicking again after the cause is mended writes the same.
TEST_F(SessionTest, AFileAloneThatCannotBeWrittenCountsNothingUp) {
  for (EditMode mode : {EditMode::Update, EditMode::AutoUpdate}) {
    SCOPED_TRACE(static_cast<int>(mode));
    RefusingWrites refusing;
    TagEditSession refused(genres, exchange, &refusing);
    refused.Start();
    exchange.controls.mode = static_cast<int>(mode);
    for (TagField field : {TagField::Track, TagField::Title}) exchange.controls.incrementFlag[field] = 1;
    controls() = {"Part 9", "", "", "", "", "5", -1};
    const auto path = MakeFile("locked.mp3", Audio(100));
    EXPECT_EQ(refused.ProcessFile(path), mode == EditMode::AutoUpdate ? FileOutcome::NotWritten : FileOutcome::Loaded);
    if (mode == EditMode::Update) {
      EXPECT_EQ(refused.UpdateTag(), FileOutcome::NotWritten);
    }
    EXPECT_EQ(controls().trackText, "5");
    EXPECT_EQ(controls().title, "Part 9");
    EXPECT_EQ(ReadFile(path), Audio(100));
  }
}

TEST_F(BatchTest, OnlyAutoUpdateWritesOnLoad) {
  for (EditMode mode : {EditMode::Edit, EditMode::View, EditMode::Update}) {
    exchange.controls.mode = static_cast<int>(mode);
    const auto path = MakeFile("quiet.mp3", Audio(100));
    session.ProcessFile(path);
    EXPECT_EQ(ReadFile(path), Audio(100)) << static_cast<int>(mode);
  }
}

}  // namespace
}  // namespace pelmix

namespace pelmix {
namespace {

class RefusedValuesTest : public test::SessionTest {};

// Refused, a value writes nothing and counts nothing up; the typed value stays as typed.
TEST_F(RefusedValuesTest, NothingIsWrittenAndTheValueStaysAsTyped) {
  StartIn(EditMode::Update);
  exchange.controls.incrementFlag[TagField::Track] = 1;
  const Bytes before = Concat(Audio(20), TagBytes("Old", "", "", "", "", 9, 0));
  for (const char* track : {"256", "0", "3rd"}) {
    SCOPED_TRACE(track);
    const auto path = MakeFile("track.mp3", before);
    ASSERT_TRUE(session.LoadFile(path));
    controls().title = "New";
    controls().trackText = track;
    EXPECT_EQ(session.UpdateTag(), FileOutcome::ValueRefused);
    EXPECT_EQ(session.lastResult().problem->problem, ValueProblem::NotATrackNumber);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(controls().trackText, track);
  }
  // Not taking part in the write, the track text is not looked at.
  exchange.controls.updateFlag[TagField::Track] = 0;
  controls().trackText = "999";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
}

// A control holding a character the code page cannot store: refused at the write, never on a
// load, which replaces the value (in Edit) or keeps it for the next write (in Update).
TEST_F(RefusedValuesTest, ACharacterWithoutAByteIsRefusedWhenWrittenNotWhenLoaded) {
  StartIn(EditMode::AutoUpdate);
  exchange.controls.unstorable[FieldIndex(TagField::Title)] = U'\u03A9';
  const auto path = MakeFile("omega.mp3", Audio(30));
  EXPECT_EQ(session.ProcessFile(path), FileOutcome::ValueRefused);
  EXPECT_EQ(session.lastResult().problem->character, U'\u03A9');
  EXPECT_EQ(ReadFile(path), Audio(30));
  EXPECT_EQ(std::count(exchange.calls.begin(), exchange.calls.end(), "Save"), 2) << "the load, the write";

  exchange.controls.mode = static_cast<int>(EditMode::Edit);
  session.OnModeClicked();
  ASSERT_TRUE(session.LoadFile(MakeFile("other.mp3", Concat(Audio(30), TagBytes("Plain")))));
  EXPECT_EQ(session.values().unstorable[FieldIndex(TagField::Title)], 0u);
  EXPECT_EQ(session.fields().title, "Plain");
}

TEST_F(RefusedValuesTest, AfterAWriteFieldsShowWhatWasStored) {
  StartIn(EditMode::Update);
  exchange.controls.incrementFlag[TagField::Title] = 1;
  controls() = {"Part 1", "Band", "", "1999", std::string(28, 'c'), "005", GenreIndex("Rock")};
  const auto path = MakeFile("shown.mp3", Audio(30));
  ASSERT_TRUE(session.LoadFile(path));
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  // "005" was stored as 5; the title counted up.
  EXPECT_EQ(controls(), (FieldValues{"Part 2", "Band", "", "1999", std::string(28, 'c'), "5", GenreIndex("Rock")}));

  // A write that fails leaves what was typed.
  const auto gone = MakeFile("gone.mp3", Audio(30));
  ASSERT_TRUE(session.LoadFile(gone));
  std::filesystem::remove(gone);
  controls().trackText = "007";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::NotWritten);
  EXPECT_EQ(controls().trackText, "007");
}

}  // namespace
}  // namespace pelmix

namespace pelmix {
namespace {

// Reads a tagged file whose track is 3, or fails to open it; writes by the result given.
class ScriptedAccess : public TagAccess {
 public:
  ReadResult read{ReadResult::Status::Tagged, {}};
  WriteResult write{};
  ReadResult Read(const std::filesystem::path&, TagRecord& record, std::int64_t& offset, bool) override {
    if (!read.ok()) return read;
    record.InitNew();
    record.SetTrack(3);
    offset = 1000;
    return read;
  }
  WriteResult Write(const std::filesystem::path&, const TagRecord&, std::int64_t, const TagSeen&) override {
    return write;
  }
};

TEST(FileResultTest, EachTurnIsReportedAsOneValue) {
  using Status = WriteResult::Status;
  const std::error_code denied = std::make_error_code(std::errc::permission_denied);
  const std::error_code missing = std::make_error_code(std::errc::no_such_file_or_directory);
  struct Case {
    const char* what;
    ReadResult read;
    WriteResult write;
    FileOutcome outcome;
    bool failed;
    bool appended;
    bool changedSinceRead;
    std::error_code error;
  };
  const Case cases[] = {
      {"replaced",
       {ReadResult::Status::Tagged, {}},
       {Status::Replaced, {}},
       FileOutcome::Written,
       false,
       false,
       false,
       {}},
      {"appended",
       {ReadResult::Status::Tagged, {}},
       {Status::Appended, {}},
       FileOutcome::Written,
       false,
       true,
       false,
       {}},
      {"same bytes",
       {ReadResult::Status::Tagged, {}},
       {Status::Replaced, {}, true},
       FileOutcome::Unchanged,
       false,
       false,
       false,
       {}},
      {"changed",
       {ReadResult::Status::Tagged, {}},
       {Status::ChangedSinceRead, {}},
       FileOutcome::NotWritten,
       true,
       false,
       true,
       {}},
      {"read-only",
       {ReadResult::Status::Tagged, {}},
       {Status::OpenFailed, denied},
       FileOutcome::NotWritten,
       true,
       false,
       false,
       denied},
      // The write's status belongs to no turn that did not read.
      {"not found",
       {ReadResult::Status::OpenFailed, missing},
       {Status::ChangedSinceRead, denied},
       FileOutcome::NotRead,
       true,
       false,
       false,
       missing},
  };
  for (const Case& c : cases) {
    test::RecordingExchange exchange;
    ScriptedAccess access;
    access.read = c.read;
    access.write = c.write;
    GenreList genres;
    TagEditSession session(genres, exchange, &access);
    session.Start();
    exchange.controls.mode = static_cast<int>(EditMode::AutoUpdate);
    for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = field == TagField::Track ? 1 : 0;
    exchange.controls.fields.trackText = "9";
    EXPECT_EQ(session.ProcessFile("/m/a.mp3"), c.outcome) << c.what;
    const FileResult& result = session.lastResult();
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    EXPECT_EQ(result.path, "/m/a.mp3") << c.what;
    EXPECT_EQ(result.failed(), c.failed) << c.what;
    EXPECT_EQ(result.appended(), c.appended) << c.what;
    EXPECT_EQ(result.changedSinceRead(), c.changedSinceRead) << c.what;
    EXPECT_EQ(result.error(), c.error) << c.what;
    if (c.outcome == FileOutcome::NotRead) continue;
    EXPECT_EQ(result.tagOffset, 1000) << c.what;
    EXPECT_EQ(result.before.GetTrack(), 3) << c.what;
    EXPECT_EQ(result.after.GetTrack(), 9) << c.what;
  }
}

TEST(FileResultTest, AnUpdateReportsTheReadOfTheFileItWrites) {
  test::RecordingExchange exchange;
  ScriptedAccess access;
  GenreList genres;
  TagEditSession session(genres, exchange, &access);
  session.Start();
  ASSERT_TRUE(session.LoadFile("/m/a.mp3"));
  access.read = {ReadResult::Status::OpenFailed, std::make_error_code(std::errc::no_such_file_or_directory)};
  EXPECT_FALSE(session.LoadFile("/m/gone.mp3"));
  access.write = {WriteResult::Status::Replaced, {}};
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  EXPECT_EQ(session.lastResult().path, "/m/a.mp3");
  EXPECT_EQ(session.lastResult().read.status, ReadResult::Status::Tagged);
}

}  // namespace
}  // namespace pelmix
