// The session's load and update: the values shown, the bytes written, and the files left alone.
#include <gtest/gtest.h>

#include <algorithm>

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
  ReadResult Read(const std::filesystem::path&, TagRecord& record, std::int64_t& offset) override {
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

TEST_F(UpdateTest, TrackTextBecomesTheTrackByte) {
  struct Case {
    std::string text;
    std::uint8_t track;
  };
  const Case cases[] = {{"", 0},
                        {"7", 7},
                        {"200", 200},
                        {"255", 255},
                        {"256", 0},
                        {"257", 1},
                        {"300", 44},
                        {"-1", 255},
                        {"+5", 5},
                        {" \t12", 12},
                        {"3rd", 3},
                        {"abc", 0},
                        {"1000", 232},
                        {"99999999999", 255},
                        {"-99999999999", 0}};
  StartIn(EditMode::Edit);
  const auto path = MakeFile("track.mp3", kTagged);
  for (const Case& c : cases) {
    ASSERT_TRUE(session.LoadFile(path));
    controls().trackText = c.text;
    session.UpdateTag();
    EXPECT_EQ(ReadFile(path)[2000 + 126], c.track) << "'" << c.text << "'";
  }
}

TEST_F(UpdateTest, GenreIsTheChosenEntrysCodeByItsLowByte) {
  struct Case {
    const char* entry;
    std::uint8_t genre;
  };
  StartIn(EditMode::Edit);
  const auto path = MakeFile("genre.mp3", kTagged);
  for (const Case& c : {Case{"Blues", 0}, Case{"Rock", 17}, Case{"Big", 44}, Case{"", 255}}) {
    ASSERT_TRUE(session.LoadFile(path));
    controls().genreIndex = GenreIndex(c.entry);
    session.UpdateTag();
    EXPECT_EQ(ReadFile(path).back(), c.genre) << c.entry;
  }
}

// Other readers see byte 126 as a track number only when byte 125 is zero.
TEST_F(UpdateTest, ATrackNumberTakesTheCommentsLastByte) {
  StartIn(EditMode::Edit);
  const auto path = MakeFile("visible.mp3", Audio(50));
  ASSERT_TRUE(session.LoadFile(path));
  controls().comment = std::string(29, 'c');
  controls().trackText = "";
  session.UpdateTag();
  EXPECT_EQ(ReadFile(path)[50 + 125], 'c');
  controls().trackText = "5";
  session.UpdateTag();
  const Bytes written = ReadFile(path);
  EXPECT_EQ(written[50 + 125], 0);
  EXPECT_EQ(written[50 + 126], 5);
  EXPECT_EQ(session.record().GetFieldText(TagField::Comment), std::string(28, 'c'));
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

TEST_F(UpdateTest, GoesOnWhenValidationFails) {
  StartIn(EditMode::Edit);
  const auto path = MakeFile("long.mp3", Audio(10));
  ASSERT_TRUE(session.LoadFile(path));
  exchange.validationPasses = false;
  controls().trackText = "1000";
  controls().title = std::string(31, 't');
  session.UpdateTag();
  EXPECT_EQ(ReadFile(path), Concat(Audio(10), TagBytes(std::string(30, 't'), "", "", "", "", 232, 255)));
}

// Files whose writes all fail, as a read-only or locked file does.
class RefusingWrites : public TagAccess {
 public:
  ReadResult Read(const std::filesystem::path& path, TagRecord& record, std::int64_t& offset) override {
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
  refused.ProcessFile(path);
  EXPECT_EQ(refused.lastWrite().status, WriteResult::Status::OpenFailed);
  EXPECT_EQ(controls().trackText, "2");
  EXPECT_EQ(ReadFile(path), Audio(100));
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

// The window's rules: nothing that cannot be stored as shown is written.
class StorableValuesTest : public test::SessionTest {
 protected:
  StorableValuesTest() { session.RequireStorableValues(true); }
};

TEST_F(StorableValuesTest, TrackTextThatTheByteCannotHoldWritesNothing) {
  struct Case {
    std::string text;
    FileOutcome outcome;
    int stored;  // the track byte on disk; -1: the file as it was
    std::string shown;
  };
  const Case cases[] = {
      {"", FileOutcome::Written, 0, ""},
      {"0", FileOutcome::Written, 0, ""},
      {"007", FileOutcome::Written, 7, "7"},
      {"255", FileOutcome::Written, 255, "255"},
      {"256", FileOutcome::TrackRefused, -1, "256"},
      {"999", FileOutcome::TrackRefused, -1, "999"},
      {"3rd", FileOutcome::TrackRefused, -1, "3rd"},
      {" 12", FileOutcome::TrackRefused, -1, " 12"},
      {"-1", FileOutcome::TrackRefused, -1, "-1"},
      {"+5", FileOutcome::TrackRefused, -1, "+5"},
  };
  StartIn(EditMode::Edit);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Bytes before = Concat(Audio(20), TagBytes("Old", "", "", "", "", 9, 0));
    const auto path = MakeFile("track.mp3", before);
    ASSERT_TRUE(session.LoadFile(path));
    controls().title = "New";
    controls().trackText = c.text;
    EXPECT_EQ(session.UpdateTag(), c.outcome);
    EXPECT_EQ(ReadFile(path), c.stored < 0 ? before : Concat(Audio(20), TagBytes("New", "", "", "", "", c.stored, 0)));
    EXPECT_EQ(controls().trackText, c.shown);
  }
  // Not taking part in the write, the track text is not looked at.
  exchange.controls.updateFlag[TagField::Track] = 0;
  controls().trackText = "999";
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
}

TEST_F(StorableValuesTest, FailedValidationWritesNothing) {
  StartIn(EditMode::AutoUpdate);
  exchange.controls.incrementFlag[TagField::Track] = 1;
  controls().trackText = "4";
  exchange.validationPasses = false;
  const auto path = MakeFile("long.mp3", Audio(10));
  EXPECT_EQ(session.ProcessFile(path), FileOutcome::ValueRefused);
  EXPECT_EQ(ReadFile(path), Audio(10));
  EXPECT_EQ(controls().trackText, "4");
  EXPECT_EQ(std::count(exchange.calls.begin(), exchange.calls.end(), "Save"), 1) << "one message, not two";
}

TEST_F(StorableValuesTest, AfterAWriteFieldsShowWhatWasStored) {
  StartIn(EditMode::Update);
  exchange.controls.incrementFlag[TagField::Title] = 1;
  controls() = {"Part 1", "Band", "", "1999", std::string(29, 'c'), "5", GenreIndex("Rock")};
  const auto path = MakeFile("shown.mp3", Audio(30));
  ASSERT_TRUE(session.LoadFile(path));
  EXPECT_EQ(session.UpdateTag(), FileOutcome::Written);
  // The comment gave its 29th byte to the new track number; the title counted up.
  EXPECT_EQ(controls(), (FieldValues{"Part 2", "Band", "", "1999", std::string(28, 'c'), "5", GenreIndex("Rock")}));

  // A write that fails leaves what was typed.
  const auto gone = MakeFile("gone.mp3", Audio(30));
  ASSERT_TRUE(session.LoadFile(gone));
  std::filesystem::remove(gone);
  controls().comment = std::string(29, 'd');
  EXPECT_EQ(session.UpdateTag(), FileOutcome::NotWritten);
  EXPECT_EQ(controls().comment, std::string(29, 'd'));
}

TEST_F(StorableValuesTest, BatchOutcomesAndACountThatPassesTheByte) {
  StartIn(EditMode::AutoUpdate);
  for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = field == TagField::Track;
  exchange.controls.incrementFlag[TagField::Track] = 1;
  controls().trackText = "254";
  const Bytes bare = Audio(100);
  std::vector<FileOutcome> outcomes;
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
    outcomes.push_back(session.ProcessFile(MakeFile(name, bare)));
  outcomes.push_back(session.ProcessFile(dir / "missing.mp3"));
  EXPECT_EQ(outcomes, (std::vector{FileOutcome::Written, FileOutcome::Written, FileOutcome::TrackRefused,
                                   FileOutcome::TrackRefused, FileOutcome::NotRead}));
  EXPECT_EQ(ReadFile(dir / "b.mp3"), Concat(bare, TagBytes("", "", "", "", "", 255, 255)));
  EXPECT_EQ(ReadFile(dir / "c.mp3"), bare);
  EXPECT_EQ(controls().trackText, "256");
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
  ReadResult Read(const std::filesystem::path&, TagRecord& record, std::int64_t& offset) override {
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
