// The trailer record: where each field lies, widths, and the byte shared by comment and track.
#include "core/tag_record.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

using test::Bytes;

TagRecord FromBytes(const Bytes& bytes) {
  TagRecord record;
  std::copy(bytes.begin(), bytes.end(), record.bytes().begin());
  return record;
}

TEST(TagRecordTest, LayoutOfEveryField) {
  TagRecord record;
  record.InitNew();
  record.SetFieldText(TagField::Title, "Title");
  record.SetFieldText(TagField::Artist, "Artist");
  record.SetFieldText(TagField::Album, "Album");
  record.SetFieldText(TagField::Year, "2003");
  record.SetFieldText(TagField::Comment, "Comment");
  record.SetTrack(12);
  record.SetGenre(7);
  const Bytes expected = test::TagBytes("Title", "Artist", "Album", "2003", "Comment", 12, 7);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), record.bytes().begin()));
}

TEST(TagRecordTest, NewRecordIsMagicZerosAndNoGenre) {
  TagRecord record;
  record.bytes().fill(0xAA);
  record.InitNew();
  EXPECT_TRUE(record.HasMagic());
  EXPECT_EQ(record.GetGenre(), kNoGenre);
  EXPECT_EQ(record.GetTrack(), kNoTrack);
  for (std::size_t i = 3; i < 127; ++i) EXPECT_EQ(record.bytes()[i], 0) << "byte " << i;
}

TEST(TagRecordTest, MagicIsCaseSensitiveAndSetMagicTouchesNothingElse) {
  struct Case {
    const char* head;
    bool magic;
  };
  for (const Case& c :
       {Case{"TAG", true}, Case{"tag", false}, Case{"Tag", false}, Case{"TAg", false}, Case{"XAG", false}}) {
    Bytes bytes(128, 0x41);
    std::copy(c.head, c.head + 3, bytes.begin());
    EXPECT_EQ(FromBytes(bytes).HasMagic(), c.magic) << c.head;
  }
  TagRecord record = FromBytes(Bytes(128, 0x55));
  record.SetMagic();
  EXPECT_TRUE(record.HasMagic());
  EXPECT_TRUE(std::all_of(record.bytes().begin() + 3, record.bytes().end(), [](auto b) { return b == 0x55; }));
}

struct TextCase {
  TagField field;
  std::string written;
  std::string readBack;
};

TEST(TagRecordTest, TextIsCutToItsWidthAndZeroFilled) {
  const TextCase cases[] = {
      {TagField::Title, std::string(30, 'T'), std::string(30, 'T')},
      {TagField::Title, std::string(31, 'T'), std::string(30, 'T')},
      {TagField::Artist, "padded   ", "padded   "},
      {TagField::Album, "", ""},
      {TagField::Year, "99", "99"},
      {TagField::Year, "20031", "2003"},
      {TagField::Comment, std::string(29, 'c'), std::string(29, 'c')},
      {TagField::Comment, std::string(40, 'c'), std::string(29, 'c')},
      {TagField::Title, "caf\xE9 \xFF", "caf\xE9 \xFF"},
      {TagField::Title, std::string("a\0b", 3), "a"},
  };
  for (const TextCase& c : cases) {
    TagRecord record;
    record.bytes().fill(0xEE);
    record.SetFieldText(c.field, c.written);
    EXPECT_EQ(record.GetFieldText(c.field), c.readBack) << c.written;
    const FieldSpan span = TextFieldSpan(c.field);
    const std::size_t kept = std::min(c.written.size(), span.width);
    for (std::size_t i = kept; i < span.width; ++i) EXPECT_EQ(record.bytes()[span.offset + i], 0);
    // Neighbouring bytes stay as they were.
    EXPECT_EQ(record.bytes()[span.offset - 1], 0xEE);
    EXPECT_EQ(record.bytes()[span.offset + span.width], 0xEE);
  }
}

TEST(TagRecordTest, LayoutTableGivesEachFieldsPlaceAndWidth) {
  struct Case {
    TagField field;
    std::size_t offset;
    std::size_t width;
    std::size_t widthWithTrack;
  };
  const Case cases[] = {
      {TagField::Title, 3, 30, 30}, {TagField::Artist, 33, 30, 30},  {TagField::Album, 63, 30, 30},
      {TagField::Year, 93, 4, 4},   {TagField::Comment, 97, 29, 28},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextFieldSpan(c.field).offset, c.offset) << FieldIndex(c.field);
    EXPECT_EQ(TextFieldSpan(c.field).width, c.width) << FieldIndex(c.field);
    EXPECT_EQ(TextFieldWidth(c.field, false), c.width) << FieldIndex(c.field);
    EXPECT_EQ(TextFieldWidth(c.field, true), c.widthWithTrack) << FieldIndex(c.field);
  }
  EXPECT_THROW(TextFieldSpan(TagField::Track), std::invalid_argument);
  EXPECT_THROW(TextFieldSpan(TagField::Genre), std::invalid_argument);
  TagRecord record;
  record.SetTrack(0x11);
  record.SetGenre(0x22);
  EXPECT_EQ(record.bytes()[126], 0x11);
  EXPECT_EQ(record.bytes()[127], 0x22);
}

TEST(TagRecordTest, ShorterValueClearsWhatStoodBehindTheOldOne) {
  TagRecord record;
  record.InitNew();
  record.SetFieldText(TagField::Title, "A long title here");
  record.SetFieldText(TagField::Title, "Short");
  EXPECT_EQ(record.bytes()[3 + 5], 0);
  EXPECT_EQ(record.bytes()[3 + 10], 0);
  EXPECT_EQ(record.GetFieldText(TagField::Title), "Short");
}

// Byte 125 is zeroed only for a track number that is new to the file; a 30-byte v1.0
// comment whose last byte reads as a "track" stays whole when the number is left alone.
TEST(TagRecordTest, Byte125GivesWayOnlyToATrackNumberNewToTheFile) {
  struct Case {
    const char* what;
    std::uint8_t before125;
    std::uint8_t beforeTrack;
    std::uint8_t track;
    std::uint8_t expected125;
  };
  const Case cases[] = {
      {"no track number", 'c', 'x', 0, 'c'},
      {"v1.0 comment, track byte left as read", 'c', 'x', 'x', 'c'},
      {"v1.0 comment, new track number", 'c', 'x', 5, 0},
      {"v1.1, same track number", 0, 4, 4, 0},
      {"v1.1, other track number", 0, 4, 9, 0},
      {"no trailer before", 0, 0, 5, 0},
  };
  for (const Case& c : cases) {
    TagRecord before;
    before.InitNew();
    before.bytes()[125] = c.before125;
    before.SetTrack(c.beforeTrack);
    TagRecord record = before;
    record.SetFieldText(TagField::Comment, std::string(29, 'c'));
    record.SetTrack(c.track);
    record.MakeTrackVisible(before);
    EXPECT_EQ(record.bytes()[125], c.expected125) << c.what;
    EXPECT_EQ(record.GetTrack(), c.track) << c.what;
  }
}

}  // namespace
}  // namespace pelmix
