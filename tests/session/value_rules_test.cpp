// The one rulebook: which values can be stored as they are, and a batch's check before its
// first file. The front ends only word these answers; their tests check the wording.
#include "session/value_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "session/file_once.h"
#include "tests/support/session_fixture.h"

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;

TEST(ValueRulesTest, TheTrackIsEmptyOrANumberTheByteCanMean) {
  struct Case {
    const char* text;
    int byte;  // -1: refused
  };
  const Case cases[] = {
      {"", 0},     {"1", 1},    {"7", 7},    {"007", 7},  {"0000000000255", 255}, {"255", 255},
      {"0", -1},   {"000", -1}, {"256", -1}, {"999", -1}, {"1000", -1},           {"3rd", -1},
      {" 12", -1}, {"12 ", -1}, {"+5", -1},  {"-1", -1},  {"\xD9\xA3", -1},  // an Arabic-Indic digit is no ASCII digit
  };
  for (const Case& c : cases) {
    const std::optional<std::uint8_t> byte = TrackByte(c.text);
    EXPECT_EQ(byte ? int{*byte} : -1, c.byte) << "'" << c.text << "'";
  }
}

TEST(ValueRulesTest, TextBecomesBytesOfTheCodePageOrSaysWhichCharacterCannot) {
  struct Case {
    CodePage page;
    std::string_view utf8;
    const char* bytes;  // nullptr: refused
    ValueProblem problem;
    char32_t character;
  };
  const Case cases[] = {
      {CodePage::Windows1252, "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80", {}, 0},
      {CodePage::Iso8859_1, "\xE2\x82\xAC", nullptr, ValueProblem::NotInCodePage, U'\u20AC'},
      {CodePage::Windows1251, "\xD0\x9F\xD1\x80", "\xCF\xF0", {}, 0},
      {CodePage::Windows1252, "\xCE\xA9mega", nullptr, ValueProblem::NotInCodePage, U'\u03A9'},
      {CodePage::Windows1250, "\xC5\x99", "\xF8", {}, 0},
      {CodePage::Windows1252, "bad \xFF", nullptr, ValueProblem::InvalidText, 0},
      {CodePage::Utf8, std::string_view("a\0b", 3), nullptr, ValueProblem::NotInCodePage, 0},
  };
  for (const Case& c : cases) {
    const auto result = EncodeValue(c.page, TagField::Artist, c.utf8);
    if (c.bytes) {
      ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.utf8;
      EXPECT_EQ(std::get<std::string>(result), c.bytes);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<FieldProblem>(result)) << c.utf8;
    const FieldProblem& problem = std::get<FieldProblem>(result);
    EXPECT_EQ(problem.problem, c.problem) << c.utf8;
    EXPECT_EQ(problem.field, TagField::Artist);
    EXPECT_EQ(problem.character, c.character) << c.utf8;
  }
}

TEST(ValueRulesTest, EachTickedFieldMustFitAsItIs) {
  GenreList genres;
  genres.Add("Rock", 17);
  genres.Add("Big", 300);
  genres.Add("Wrapped", -5);
  struct Case {
    const char* what;
    void (*change)(BoundValues&);
    bool trackShown;
    std::optional<FieldProblem> problem;
  };
  const auto ok = std::optional<FieldProblem>();
  const Case cases[] = {
      {"every field at its width", [](BoundValues&) {}, false, ok},
      {"a 31-byte title", [](BoundValues& v) { v.fields.title += "x"; }, false,
       FieldProblem{
           .problem = ValueProblem::TooLong, .field = TagField::Title, .value = std::string(31, 'x'), .width = 30}},
      {"a 5-byte year", [](BoundValues& v) { v.fields.year = "20245"; }, false,
       FieldProblem{.problem = ValueProblem::TooLong, .field = TagField::Year, .value = "20245", .width = 4}},
      {"29 comment bytes, no track shown", [](BoundValues&) {}, false, ok},
      {"29 comment bytes and a track shown", [](BoundValues&) {}, true,
       FieldProblem{.problem = ValueProblem::TooLong,
                    .field = TagField::Comment,
                    .value = std::string(29, 'c'),
                    .width = 28,
                    .trackTakesByte = true}},
      {"a track past the byte", [](BoundValues& v) { v.fields.trackText = "256"; }, false,
       FieldProblem{.problem = ValueProblem::NotATrackNumber, .field = TagField::Track, .value = "256"}},
      {"a track not ticked is not looked at",
       [](BoundValues& v) {
         v.fields.trackText = "999";
         v.updateFlag[TagField::Track] = 0;
       },
       false, ok},
      {"a character without a byte", [](BoundValues& v) { v.unstorable[FieldIndex(TagField::Album)] = U'\u03A9'; },
       false, FieldProblem{.problem = ValueProblem::NotInCodePage, .field = TagField::Album, .character = U'\u03A9'}},
      {"a genre code past the byte", [](BoundValues& v) { v.fields.genreIndex = 0; }, false,
       FieldProblem{.problem = ValueProblem::GenreCode, .field = TagField::Genre, .code = 300}},
      {"a negative genre code", [](BoundValues& v) { v.fields.genreIndex = 2; }, false,
       FieldProblem{.problem = ValueProblem::GenreCode, .field = TagField::Genre, .code = -5}},
      {"no genre chosen", [](BoundValues& v) { v.fields.genreIndex = -1; }, false, ok},
      // In the order of the tag: the title before the comment and the track.
      {"several at once",
       [](BoundValues& v) {
         v.fields.trackText = "abc";
         v.fields.title += "x";
       },
       true,
       FieldProblem{
           .problem = ValueProblem::TooLong, .field = TagField::Title, .value = std::string(31, 'x'), .width = 30}},
  };
  ASSERT_EQ(genres.NameAt(0), "Big");
  ASSERT_EQ(genres.NameAt(1), "Rock");
  ASSERT_EQ(genres.NameAt(2), "Wrapped");
  for (const Case& c : cases) {
    BoundValues values;
    for (TagField field : kAllTagFields) values.updateFlag[field] = 1;
    values.fields = {
        std::string(30, 'x'),  std::string(30, 'a'), std::string(30, 'b'), "2024", std::string(29, 'c'), "5",
        genres.IndexOfCode(17)};
    c.change(values);
    EXPECT_EQ(CheckValues(values, genres, c.trackShown), c.problem) << c.what;
  }
}

TEST(ValueRulesTest, CutToFitKeepsWholeCharactersOfTheTickedFieldsOnly) {
  struct Case {
    const char* what;
    CodePage page;
    TagField field;
    std::string text;
    bool trackShown;
    std::string kept;
  };
  const std::string omegas = "\xCE\xA9\xCE\xA9\xCE\xA9";  // 6 bytes, 3 characters
  const Case cases[] = {
      {"a single-byte page cuts at the width", CodePage::Windows1252, TagField::Title, std::string(31, 'x'), false,
       std::string(30, 'x')},
      {"at its width a value stays", CodePage::Windows1252, TagField::Title, std::string(30, 'x'), false,
       std::string(30, 'x')},
      {"UTF-8 cuts before a character that would not fit", CodePage::Utf8, TagField::Year, "1" + omegas, false,
       "1\xCE\xA9"},
      {"the comment keeps 28 with a track shown", CodePage::Utf8, TagField::Comment, std::string(27, 'c') + omegas,
       true, std::string(27, 'c')},
      {"and 29 without", CodePage::Utf8, TagField::Comment, std::string(27, 'c') + omegas, false,
       std::string(27, 'c') + "\xCE\xA9"},
  };
  for (const Case& c : cases) {
    FieldValues fields;
    fields.Text(c.field) = c.text;
    fields.artist = std::string(40, 'a');  // not ticked: left as it is
    FieldFlags ticked;
    ticked[c.field] = 1;
    const FieldFlags cut = CutToFit(fields, ticked, c.page, c.trackShown);
    EXPECT_EQ(fields.Text(c.field), c.kept) << c.what;
    EXPECT_EQ(cut[c.field], c.kept != c.text ? 1 : 0) << c.what;
    EXPECT_EQ(fields.artist, std::string(40, 'a')) << c.what;
    EXPECT_EQ(cut[TagField::Artist], 0) << c.what;
  }
}

class BatchCheckTest : public test::SessionTest {
 protected:
  // Auto Update, the given fields ticked, the given ones counting up.
  void Stamp(std::initializer_list<TagField> ticked, std::initializer_list<TagField> counted) {
    StartIn(EditMode::AutoUpdate);
    for (TagField field : kAllTagFields) {
      exchange.controls.updateFlag[field] = 0;
      exchange.controls.incrementFlag[field] = 0;
    }
    for (TagField field : ticked) exchange.controls.updateFlag[field] = 1;
    for (TagField field : counted) exchange.controls.incrementFlag[field] = 1;
  }
  std::vector<PathName> Files(std::initializer_list<const char*> names, bool make = true) {
    std::vector<PathName> files;
    for (const char* name : names) {
      if (make && !std::filesystem::exists(dir / name)) MakeFile(name, Audio(100));
      files.push_back((dir / name).native());
    }
    return files;
  }
  std::vector<std::string> Names(const std::vector<PathName>& files) {
    std::vector<std::string> names;
    for (const PathName& file : files) names.push_back(std::filesystem::path(file).filename().string());
    return names;
  }
};

TEST_F(BatchCheckTest, ACountedValuePastItsFieldRefusesTheWholeBatchAtTheFileThatWouldGetIt) {
  struct Case {
    const char* what;
    TagField field;
    const char* start;
    std::vector<std::string> names;
    std::optional<std::size_t> file;  // none: the batch can be written
    std::string value;
  };
  const Case cases[] = {
      {"255 is the last track", TagField::Track, "253", {"a.mp3", "b.mp3", "c.mp3"}, std::nullopt, ""},
      {"256 is not", TagField::Track, "254", {"a.mp3", "b.mp3", "c.mp3"}, 2, "256"},
      // A file that cannot be read uses up no number, and neither does a file met again.
      {"a missing file", TagField::Track, "254", {"a.mp3", "missing.mp3", "b.mp3"}, std::nullopt, ""},
      {"a file named twice", TagField::Track, "254", {"a.mp3", "a.mp3", "b.mp3"}, std::nullopt, ""},
      {"named twice, one more", TagField::Track, "254", {"a.mp3", "a.mp3", "b.mp3", "c.mp3"}, 3, "256"},
      {"a title of 30 that grows",
       TagField::Title,
       "Thirty characters long exact 9",
       {"a.mp3", "b.mp3"},
       1,
       "Thirty characters long exact 10"},
      {"a title with room", TagField::Title, "Part 9", {"a.mp3", "b.mp3"}, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Stamp({c.field}, {c.field});
    controls().Text(c.field) = c.start;
    std::vector<PathName> files;
    for (const std::string& name : c.names) {
      if (name != "missing.mp3" && !std::filesystem::exists(dir / name)) MakeFile(name, Audio(100));
      files.push_back((dir / name).native());
    }
    const std::optional<BatchRefusal> refusal = session.CheckBatch(files, {});
    ASSERT_EQ(refusal.has_value(), c.file.has_value());
    if (!refusal) continue;
    EXPECT_EQ(refusal->file, c.file);
    EXPECT_EQ(refusal->problem.field, c.field);
    EXPECT_EQ(refusal->problem.value, c.value);
    EXPECT_EQ(refusal->problem.origin, ValueOrigin::Given);
    for (const std::string& name : c.names) {
      if (name != "missing.mp3") {
        EXPECT_EQ(ReadFile(dir / name), Audio(100)) << name;
      }
    }
  }
}

TEST_F(BatchCheckTest, AValueRefusedForEveryFileNamesNoFile) {
  Stamp({TagField::Track, TagField::Comment}, {});
  controls().trackText = "3";
  controls().comment = std::string(29, 'c');
  std::vector<PathName> files = Files({"a.mp3"});
  const std::optional<BatchRefusal> refusal = session.CheckBatch(files, {});
  ASSERT_TRUE(refusal);
  EXPECT_FALSE(refusal->file);
  EXPECT_EQ(refusal->problem.width, 28u);

  // Counted from no number, the second file is the first to show one.
  controls().trackText = "";
  exchange.controls.incrementFlag[TagField::Track] = 1;
  files = Files({"a.mp3", "b.mp3"});
  const std::optional<BatchRefusal> second = session.CheckBatch(files, {});
  ASSERT_TRUE(second);
  EXPECT_EQ(second->file, 1u);
  EXPECT_EQ(second->problem.field, TagField::Comment);
}

TEST_F(BatchCheckTest, NumbersFollowTheNamesUnlessTheOrderGivenIsKept) {
  const char* dropped[] = {"Track 10.mp3", "Track 2.mp3", "Track 1.mp3"};
  struct Case {
    bool counts;
    bool keepOrder;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {true, false, {"Track 1.mp3", "Track 2.mp3", "Track 10.mp3"}},
      {true, true, {"Track 10.mp3", "Track 2.mp3", "Track 1.mp3"}},
      {false, false, {"Track 10.mp3", "Track 2.mp3", "Track 1.mp3"}},
  };
  for (const Case& c : cases) {
    Stamp({TagField::Track},
          c.counts ? std::initializer_list<TagField>{TagField::Track} : std::initializer_list<TagField>{});
    controls().trackText = "1";
    std::vector<PathName> files = Files({dropped[0], dropped[1], dropped[2]});
    ASSERT_FALSE(session.CheckBatch(files, {.keepOrder = c.keepOrder}));
    EXPECT_EQ(Names(files), c.order);
  }
}

TEST_F(BatchCheckTest, TheSameFileIsStampedOnceUnderAnyName) {
  Stamp({TagField::Track}, {TagField::Track});
  controls().trackText = "1";
  std::vector<PathName> files = Files({"a.mp3", "b.mp3"});
  std::filesystem::create_hard_link(dir / "a.mp3", dir / "c.mp3");
  files.push_back((dir / "c.mp3").native());
  files.push_back((dir / "." / "a.mp3").native());
  const BatchOptions options{.keepOrder = true};
  ASSERT_FALSE(session.CheckBatch(files, options));
  std::vector<FileOutcome> outcomes;
  session.RunBatch(files, options, [&](std::size_t, const FileResult& result) {
    outcomes.push_back(result.outcome);
    return true;
  });
  using enum FileOutcome;
  EXPECT_EQ(outcomes, (std::vector{Written, Written, Repeated, Repeated}));
  EXPECT_EQ(ReadFile(dir / "a.mp3"), Concat(Audio(100), TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(dir / "b.mp3"), Concat(Audio(100), TagBytes("", "", "", "", "", 2, 255)));
  EXPECT_EQ(controls().trackText, "3");
}

// Files are one when the system gives them one device and number; a number of 0 says nothing.
TEST(FileOnceTest, OnlyAKnownIdentityMetAgainIsARepeat) {
  FileOnce once;
  const std::pair<FileIdentity, std::optional<std::size_t>> met[] = {
      {{7, 12}, std::nullopt}, {{8, 12}, std::nullopt}, {{7, 12}, 0}, {{7, 0}, std::nullopt}, {{7, 0}, std::nullopt},
  };
  for (std::size_t place = 0; place < std::size(met); ++place) {
    EXPECT_EQ(once.Earlier(met[place].first, place), met[place].second) << place;
  }
}

TEST_F(BatchCheckTest, ValuesFromNamesAreCheckedBeforeAnyFileAndTakenPerFile) {
  struct Case {
    const char* name;
    std::optional<ValueProblem> problem;
    TagField field;
  };
  const Case cases[] = {
      {"07 - Intro", std::nullopt, {}},
      {"0 - Intro", ValueProblem::NotATrackNumber, TagField::Track},
      {"300 - Intro", ValueProblem::NotATrackNumber, TagField::Track},
      {"08 - A title that is far longer than thirty", ValueProblem::TooLong, TagField::Title},
      {"09 - \xCE\xA9mega", ValueProblem::NotInCodePage, TagField::Title},
      {"Intro", ValueProblem::NameMismatch, {}},
  };
  const BatchOptions options{.names = NameSource{"%n - %t", CodePage::Windows1252}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stamp({TagField::Artist}, {});
    controls().artist = "Band";
    std::vector<PathName> files = Files({"01 - First.mp3"});
    const std::filesystem::path path = dir.path() / PathFromUtf8(std::string(c.name) + ".mp3");
    if (!std::filesystem::exists(path)) test::WriteFile(path, Audio(100));
    files.push_back(path.native());
    const std::optional<BatchRefusal> refusal = session.CheckBatch(files, options);
    ASSERT_EQ(refusal.has_value(), c.problem.has_value());
    if (refusal) {
      EXPECT_EQ(refusal->file, 1u);
      EXPECT_EQ(refusal->problem.problem, *c.problem);
      EXPECT_EQ(refusal->problem.origin, ValueOrigin::Name);
      if (*c.problem != ValueProblem::NameMismatch) {
        EXPECT_EQ(refusal->problem.field, c.field);
      }
      continue;
    }
    session.RunBatch(files, options, {});
    EXPECT_EQ(ReadFile(dir / "01 - First.mp3"), Concat(Audio(100), TagBytes("First", "Band", "", "", "", 1, 255)));
    EXPECT_EQ(ReadFile(path), Concat(Audio(100), TagBytes("Intro", "Band", "", "", "", 7, 255)));
  }
}

}  // namespace
}  // namespace pelmix
