// Batches whose values come per file from a table, and batches that cut values to fit.
#include <gtest/gtest.h>

#include <utility>

#include "core/file_error.h"
#include "tests/support/session_fixture.h"

namespace pelmix {
namespace {

using test::Audio;
using test::Bytes;
using test::Concat;
using test::ReadFile;
using test::TagBytes;

class BatchSourcesTest : public test::SessionTest {
 protected:
  // Auto Update with no field given: the table, or the test, gives the values.
  void SetUp() override {
    StartIn(EditMode::AutoUpdate);
    for (TagField field : kAllTagFields) {
      exchange.controls.updateFlag[field] = 0;
      exchange.controls.incrementFlag[field] = 0;
    }
  }

  static RowValues Row(std::initializer_list<std::pair<TagField, std::string>> cells,
                       std::optional<int> genreIndex = std::nullopt) {
    RowValues row;
    for (const auto& [field, text] : cells) row.text[FieldIndex(field)] = text;
    row.genreIndex = genreIndex;
    return row;
  }

  // The files in the table's order, each with its row.
  std::vector<PathName> Table(BatchOptions& options, CodePage page,
                              const std::vector<std::pair<std::string, RowValues>>& rows) {
    options.table.emplace(page);
    std::vector<PathName> files;
    for (const auto& [name, row] : rows) {
      files.push_back((dir / name).native());
      options.table->Add(files.back(), row);
    }
    return files;
  }

  std::vector<FileResult> Run(std::vector<PathName>& files, const BatchOptions& options) {
    std::vector<FileResult> results;
    const std::optional<BatchRefusal> refusal = session.CheckBatch(files, options);
    EXPECT_FALSE(refusal) << "refused at file " << refusal->file.value_or(99);
    if (refusal) return results;
    session.RunBatch(files, options, [&results](std::size_t, const FileResult& result) {
      results.push_back(result);
      return true;
    });
    return results;
  }
};

// A row stands for what the file held when the table was made: a cell equal to it does
// not rewrite its field, so bytes after the field's first zero byte stay, and a row equal
// in every cell leaves its file alone, a file without a tag included.
TEST_F(BatchSourcesTest, OnlyTheCellsThatDifferFromTheFileAreWritten) {
  const Bytes hidden = Concat(Audio(100), TagBytes(std::string_view("Intro\0junk", 10), "Band", "", "", "", 3, 17));
  const Bytes same = Concat(Audio(100), TagBytes("Song", "Band", "", "1999", "", 7, 17));
  MakeFile("hidden.mp3", hidden);
  MakeFile("same.mp3", same);
  MakeFile("bare.mp3", Audio(100));
  BatchOptions options;
  using enum TagField;
  std::vector<PathName> files = Table(
      options, CodePage::Windows1252,
      {{"hidden.mp3", Row({{Title, "Intro"}, {Artist, "New"}, {Track, "3"}}, GenreIndex("Rock"))},
       {"same.mp3", Row({{Title, "Song"}, {Artist, "Band"}, {Year, "1999"}, {Track, "007"}}, GenreIndex("Rock"))},
       {"bare.mp3", Row({{Title, ""}, {Comment, ""}, {Track, ""}}, -1)}});

  const std::vector<FileResult> results = Run(files, options);
  ASSERT_EQ(results.size(), 3u);
  using enum FileOutcome;
  EXPECT_EQ(results[0].outcome, Written);
  EXPECT_EQ(results[1].outcome, Unchanged);
  EXPECT_EQ(results[2].outcome, Unchanged);
  EXPECT_EQ(ReadFile(dir / "hidden.mp3"),
            Concat(Audio(100), TagBytes(std::string_view("Intro\0junk", 10), "New", "", "", "", 3, 17)));
  EXPECT_EQ(ReadFile(dir / "same.mp3"), same);
  EXPECT_EQ(ReadFile(dir / "bare.mp3"), Audio(100));
}

// A UTF-8 field another tagger cut inside a character shows U+FFFD; the cell showing it
// still stands for the field as it is.
TEST_F(BatchSourcesTest, AUtf8CellIsComparedAsTheTextShownForTheField) {
  const Bytes cutShort = Concat(Audio(100), TagBytes("Caf\xC3", "", "", "", ""));
  MakeFile("cut.mp3", cutShort);
  BatchOptions options;
  std::vector<PathName> files = Table(
      options, CodePage::Utf8,
      {{"cut.mp3", Row({{TagField::Title, "Caf\xEF\xBF\xBD"}, {TagField::Artist, "Zo\xC3\xAB"}})}});
  const std::vector<FileResult> results = Run(files, options);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, FileOutcome::Written);
  EXPECT_EQ(ReadFile(dir / "cut.mp3"), Concat(Audio(100), TagBytes("Caf\xC3", "Zo\xC3\xAB", "", "", "")));
}

// Every file of a table is read before the first is written; one the batch cannot take
// whole stops it, with the reason and the file.
TEST_F(BatchSourcesTest, ATableThatCannotBeWrittenWholeWritesNothing) {
  const Bytes first = Concat(Audio(100), TagBytes("First"));
  const Bytes numbered = Concat(Audio(100), TagBytes("", "", "", "", "short", 4));
  struct Case {
    const char* what;
    std::string second;  // the second row's file; the first row is first.mp3's
    RowValues row;
    BatchRefusal::Reason reason;
    std::optional<ValueProblem> problem;
  };
  using enum BatchRefusal::Reason;
  const Case cases[] = {
      {"a missing file", "missing.mp3", Row({{TagField::Title, "x"}}), NotRead, std::nullopt},
      {"the first file again", "./first.mp3", Row({{TagField::Title, "x"}}), SameFile, std::nullopt},
      {"a cell too long", "numbered.mp3", Row({{TagField::Title, std::string(31, 't')}}), Value, ValueProblem::TooLong},
      {"a comment that would hide the file's track number", "numbered.mp3",
       Row({{TagField::Comment, std::string(29, 'c')}}), Value, ValueProblem::TooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeFile("first.mp3", first);
    MakeFile("numbered.mp3", numbered);
    BatchOptions options;
    std::vector<PathName> files = Table(options, CodePage::Windows1252,
                                        {{"first.mp3", Row({{TagField::Title, "Changed"}})}, {c.second, c.row}});
    const std::optional<BatchRefusal> refusal = session.CheckBatch(files, options);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->file, 1u);
    EXPECT_EQ(refusal->reason, c.reason);
    EXPECT_EQ(KindOf(refusal->error) == FileErrorKind::NotFound, c.reason == NotRead);
    EXPECT_EQ(refusal->earlier, 0u);
    if (c.problem) {
      EXPECT_EQ(refusal->problem.problem, *c.problem);
      EXPECT_EQ(refusal->problem.origin, ValueOrigin::Table);
    }
    EXPECT_EQ(ReadFile(dir / "first.mp3"), first);
    EXPECT_EQ(ReadFile(dir / "numbered.mp3"), numbered);
  }
}

// A value counted past its field is cut for the file that gets it, and the count goes on
// from the whole value.
TEST_F(BatchSourcesTest, TruncatingCutsEachFilesValueAndSaysWhichFields) {
  exchange.controls.updateFlag[TagField::Title] = 1;
  exchange.controls.incrementFlag[TagField::Title] = 1;
  controls().title = "Thirty characters long exact 9";
  std::vector<PathName> files;
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) files.push_back(MakeFile(name, Audio(100)).native());
  const BatchOptions options{.truncate = CodePage::Windows1252};

  const std::vector<FileResult> results = Run(files, options);
  ASSERT_EQ(results.size(), 3u);
  const char* titles[] = {"Thirty characters long exact 9", "Thirty characters long exact 1",
                          "Thirty characters long exact 1"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(ReadFile(files[i]), Concat(Audio(100), TagBytes(titles[i]))) << i;
    EXPECT_EQ(results[i].cut[TagField::Title], i == 0 ? 0 : 1) << i;
  }
  EXPECT_EQ(controls().title, "Thirty characters long exact 12");
}

}  // namespace
}  // namespace pelmix
