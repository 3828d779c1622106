// The reader and the writer against the generated fixture files: every trailer layout and
// neighbour the corpus shows, read as each file was made and written back without a change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "core/tag_file.h"
#include "core/tag_record.h"
#include "tests/support/file_sets.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// What each file reads as, from how tests/fixtures/make_fixtures.py builds it. A file
// without a trailer reads as empty fields, track 0 and genre 255, to be appended at its end.
struct Expected {
  const char* file;
  bool tagged;
  std::int64_t offset;
  std::string title, artist, album, year, comment;
  int track;
  int genre;
};

const std::string kBlanks25(25, ' ');

const Expected kFixtures[] = {
    {"v11_track.mp3", true, 2000, "Title", "Artist", "Album", "2003", "Comment", 12, 17},
    // A 30-byte comment: 29 shown, the 30th ('s') is byte 126, the track.
    {"v10_full_comment.mp3", true, 2000, "Old Title", "", "", "", "A comment of thirty character", 115, 8},
    {"v10_short_comment.mp3", true, 2000, "Short", "", "", "", "Short comment", 0, 0},
    {"b125_zero_b126_7.mp3", true, 1500, "", "", "", "", "Seven", 7, 255},
    {"b125_zero_b126_255.mp3", true, 1500, "", "", "", "", "Last", 255, 255},
    {"b125_set_b126_zero.mp3", true, 1500, "", "", "", "", "29 characters in the comment.", 0, 255},
    {"comment_cut_by_zero.mp3", true, 1500, "", "", "", "", "Cut", 3, 13},
    {"title_cut_by_zero.mp3", true, 1500, "Shown", "", "", "", "", 0, 1},
    {"full_width.mp3", true, 1000, std::string(30, 'T'), std::string(30, 'A'), std::string(30, 'L'), "2024",
     std::string(28, 'C'), 1, 2},
    // Blanks are text; in a 1.0 trailer padded with them, byte 126 is a blank: track 32.
    {"space_padded_v10.mp3", true, 1000, "Title" + kBlanks25, "Artist" + std::string(24, ' '), "Album" + kBlanks25,
     "1999", "Spaces" + std::string(23, ' '), 32, 12},
    {"space_padded_v11.mp3", true, 1000, "Title" + kBlanks25, std::string(30, ' '), std::string(30, ' '), "    ",
     "Spaces" + std::string(22, ' '), 5, 12},
    {"genre_255.mp3", true, 800, "No genre", "", "", "", "", 0, 255},
    {"genre_0.mp3", true, 800, "Blues", "", "", "", "", 0, 0},
    {"genre_191.mp3", true, 800, "Last known", "", "", "", "", 0, 191},
    {"genre_192.mp3", true, 800, "First unknown", "", "", "", "", 0, 192},
    {"genre_254.mp3", true, 800, "Unknown", "", "", "", "", 0, 254},
    // Text is the code page's bytes, as stored.
    {"cp1250.mp3", true, 800, "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2", "Dvo\xF8\xE1k", "", "", "", 0, 32},
    {"cp1251.mp3", true, 800, "\xCA\xE8\xED\xEE",
     "\xC7\xE2\xE5\xE7\xE4\xE0 \xEF\xEE \xE8\xEC\xE5\xED\xE8 \xD1\xEE\xEB\xED\xF6\xE5", "", "", "", 0, 17},
    {"cp1252.mp3", true, 800, "Caf\xE9 D\xE9j\xE0 Vu", "", "", "",
     "\x80"
     "5 \x96 na\xEFve",
     4, 17},
    {"latin1.mp3", true, 800, "Se\xF1or \xBD \xA9", "", "", "", "\x80\x9F", 9, 17},
    {"after_id3v2.mp3", true, 1329, "After ID3v2", "", "", "", "", 3, 255},
    {"id3v2_only.mp3", false, 1329, "", "", "", "", "", 0, 255},
    {"after_apev2.mp3", true, 1286, "After APEv2", "", "", "", "", 0, 20},
    {"after_lyrics3.mp3", true, 1336, "After Lyrics3", "", "", "", "", 0, 20},
    {"after_tag_plus.mp3", true, 1427, "After TAG+", "", "", "", "", 0, 24},
    {"empty.mp3", false, 0, "", "", "", "", "", 0, 255},
    {"three_bytes.mp3", false, 3, "", "", "", "", "", 0, 255},
    {"127_bytes.mp3", false, 127, "", "", "", "", "", 0, 255},
    {"128_bytes.mp3", false, 128, "", "", "", "", "", 0, 255},
    {"129_bytes.mp3", true, 1, "One byte before", "", "", "", "", 0, 17},
    {"lowercase_head.mp3", false, 1128, "", "", "", "", "", 0, 255},
    {"one_byte_after.mp3", false, 1129, "", "", "", "", "", 0, 255},
    {"no_trailer.mp3", false, 3000, "", "", "", "", "", 0, 255},
};

class FixtureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The build makes them: without them nothing here would be checked, which is a failure.
    ASSERT_FALSE(dir_.empty()) << "PELMIX_FIXTURES is not set";
    ASSERT_TRUE(fs::is_directory(dir_)) << dir_.string();
  }
  const fs::path dir_ = test::FixtureDir();
};

TEST_F(FixtureFilesTest, EachFileReadsAsItWasMade) {
  std::set<std::string> made;
  for (const fs::path& file : test::Mp3FilesIn(dir_)) made.insert(file.filename().string());
  std::set<std::string> expected;
  for (const Expected& e : kFixtures) expected.insert(e.file);
  EXPECT_EQ(made, expected) << "the generator and this table disagree on the files";

  for (const Expected& e : kFixtures) {
    SCOPED_TRACE(e.file);
    const fs::path path = dir_ / e.file;
    TagRecord record;
    std::int64_t offset = -1;
    const ReadResult read = ReadTagTrailer(path, record, offset);
    ASSERT_TRUE(read.ok()) << read.error.message();
    EXPECT_EQ(read.status, e.tagged ? ReadResult::Status::Tagged : ReadResult::Status::Untagged);
    EXPECT_EQ(offset, e.offset);
    EXPECT_EQ(record.GetFieldText(TagField::Title), e.title);
    EXPECT_EQ(record.GetFieldText(TagField::Artist), e.artist);
    EXPECT_EQ(record.GetFieldText(TagField::Album), e.album);
    EXPECT_EQ(record.GetFieldText(TagField::Year), e.year);
    EXPECT_EQ(record.GetFieldText(TagField::Comment), e.comment);
    EXPECT_EQ(record.GetTrack(), e.track);
    EXPECT_EQ(record.GetGenre(), e.genre);
    // The record holds the file's last 128 bytes exactly, whatever it shows of them.
    const Bytes bytes = test::ReadFile(path);
    if (e.tagged) {
      EXPECT_TRUE(std::equal(bytes.end() - 128, bytes.end(), record.bytes().begin()));
    }
  }
}

// What was read, written back, changes no byte; a file without a trailer only gains one.
TEST_F(FixtureFilesTest, WritingBackWhatWasReadChangesNoByte) {
  test::TempDir temp;
  for (const Expected& e : kFixtures) {
    SCOPED_TRACE(e.file);
    const Bytes original = test::ReadFile(dir_ / e.file);
    const fs::path copy = temp / e.file;
    test::WriteFile(copy, original);
    TagRecord record;
    std::int64_t offset = -1;
    const ReadResult read = ReadTagTrailer(copy, record, offset);
    ASSERT_TRUE(read.ok());
    const WriteResult write = WriteTagTrailer(copy, record, offset, SeenByRead(read, record));
    ASSERT_TRUE(write.ok()) << write.error.message();
    const Bytes after = test::ReadFile(copy);
    if (e.tagged) {
      EXPECT_EQ(write.status, WriteResult::Status::Replaced);
      EXPECT_EQ(after, original);
    } else {
      EXPECT_EQ(write.status, WriteResult::Status::Appended);
      Bytes added(128, 0);
      std::copy_n("TAG", 3, added.begin());
      added[127] = 255;
      EXPECT_EQ(after, test::Concat(original, added));
    }
  }
}

}  // namespace
}  // namespace pelmix
