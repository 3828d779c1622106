// The text codec: code-page tables, UTF-8, UTF-16 for the platform calls, and paths as text.
#include <gtest/gtest.h>

#include "core/text_codec.h"

namespace pelmix {
namespace {

constexpr CodePage kPages[] = {CodePage::Windows1250, CodePage::Windows1251, CodePage::Windows1252,
                               CodePage::Iso8859_1};

// Whatever a tag holds must survive being shown and typed back in.
TEST(CodePageTest, EveryByteConvertsBackToItself) {
  for (CodePage page : kPages) {
    for (int byte = 1; byte <= 255; ++byte) {
      const std::string stored(1, static_cast<char>(byte));
      const EncodeResult back = EncodeText(page, DecodeText(page, stored));
      ASSERT_EQ(back.status, EncodeResult::Status::Ok) << CodePageName(page) << " byte " << byte;
      EXPECT_EQ(back.bytes, stored) << CodePageName(page) << " byte " << byte;
    }
  }
}

TEST(CodePageTest, CharactersTakeTheirCodePagesBytes) {
  struct Case {
    CodePage page;
    const char* utf8;
    const char* bytes;
  };
  const Case cases[] = {
      {CodePage::Windows1252, "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80"},
      {CodePage::Windows1250,
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "\xA3\xF3"
       "d\x9F"},
      {CodePage::Windows1251, "\xD0\x96\xD1\x8F", "\xC6\xFF"},
      {CodePage::Iso8859_1, "\xC3\xA9\xC2\x80", "\xE9\x80"},
  };
  for (const Case& c : cases) {
    const EncodeResult result = EncodeText(c.page, c.utf8);
    EXPECT_EQ(result.status, EncodeResult::Status::Ok) << c.utf8;
    EXPECT_EQ(result.bytes, c.bytes) << c.utf8;
    EXPECT_EQ(DecodeText(c.page, c.bytes), c.utf8);
  }
}

TEST(CodePageTest, RefusesWhatItCannotStoreAndNamesTheCharacter) {
  struct Case {
    CodePage page;
    const char* utf8;
    EncodeResult::Status status;
    char32_t character;
  };
  const Case cases[] = {
      {CodePage::Windows1252, "ab\xCE\xA9", EncodeResult::Status::Unencodable, 0x3A9},
      {CodePage::Iso8859_1, "\xE2\x82\xAC", EncodeResult::Status::Unencodable, 0x20AC},
      {CodePage::Windows1251, "\xC3\xA9", EncodeResult::Status::Unencodable, 0xE9},
      {CodePage::Windows1252, "\xF0\x9F\x8E\xB5", EncodeResult::Status::Unencodable, 0x1F3B5},
      {CodePage::Windows1252, "caf\xC3", EncodeResult::Status::InvalidUtf8, 0},
      {CodePage::Windows1252, "\xC0\xAF", EncodeResult::Status::InvalidUtf8, 0},
      {CodePage::Windows1252, "\xED\xA0\x80", EncodeResult::Status::InvalidUtf8, 0},
      {CodePage::Windows1252, "\xE9t\xE9", EncodeResult::Status::InvalidUtf8, 0},
  };
  for (const Case& c : cases) {
    const EncodeResult result = EncodeText(c.page, c.utf8);
    EXPECT_EQ(result.status, c.status) << c.utf8;
    if (c.status == EncodeResult::Status::Unencodable) {
      EXPECT_EQ(result.character, c.character) << c.utf8;
    }
  }
}

// Bytes 0x80 to 0xFF of each table, written out as the characters the code pages define
// (undefined bytes stand for the C1 control of the same number, as Windows maps them).
TEST(CodePageTest, HighHalvesMatchThePublishedTables) {
  std::string high;
  for (int byte = 0x80; byte <= 0xFF; ++byte) high += static_cast<char>(byte);
  struct Case {
    CodePage page;
    const char* utf8;
  };
  const Case cases[] = {
      {CodePage::Windows1250,
       "\xE2\x82\xAC\xC2\x81\xE2\x80\x9A\xC2\x83\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xC2\x88\xE2\x80\xB0\xC5\xA0\xE2\x80\xB9\xC5\x9A\xC5\xA4\xC5\xBD\xC5\xB9"
       "\xC2\x90\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xC2\x98\xE2\x84\xA2\xC5\xA1\xE2\x80\xBA\xC5\x9B\xC5\xA5\xC5\xBE\xC5\xBA"
       "\xC2\xA0\xCB\x87\xCB\x98\xC5\x81\xC2\xA4\xC4\x84\xC2\xA6\xC2\xA7\xC2\xA8\xC2\xA9\xC5\x9E\xC2\xAB\xC2\xAC\xC2\xAD\xC2\xAE\xC5\xBB"
       "\xC2\xB0\xC2\xB1\xCB\x9B\xC5\x82\xC2\xB4\xC2\xB5\xC2\xB6\xC2\xB7\xC2\xB8\xC4\x85\xC5\x9F\xC2\xBB\xC4\xBD\xCB\x9D\xC4\xBE\xC5\xBC"
       "\xC5\x94\xC3\x81\xC3\x82\xC4\x82\xC3\x84\xC4\xB9\xC4\x86\xC3\x87\xC4\x8C\xC3\x89\xC4\x98\xC3\x8B\xC4\x9A\xC3\x8D\xC3\x8E\xC4\x8E"
       "\xC4\x90\xC5\x83\xC5\x87\xC3\x93\xC3\x94\xC5\x90\xC3\x96\xC3\x97\xC5\x98\xC5\xAE\xC3\x9A\xC5\xB0\xC3\x9C\xC3\x9D\xC5\xA2\xC3\x9F"
       "\xC5\x95\xC3\xA1\xC3\xA2\xC4\x83\xC3\xA4\xC4\xBA\xC4\x87\xC3\xA7\xC4\x8D\xC3\xA9\xC4\x99\xC3\xAB\xC4\x9B\xC3\xAD\xC3\xAE\xC4\x8F"
       "\xC4\x91\xC5\x84\xC5\x88\xC3\xB3\xC3\xB4\xC5\x91\xC3\xB6\xC3\xB7\xC5\x99\xC5\xAF\xC3\xBA\xC5\xB1\xC3\xBC\xC3\xBD\xC5\xA3\xCB\x99"},
      {CodePage::Windows1251,
       "\xD0\x82\xD0\x83\xE2\x80\x9A\xD1\x93\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xE2\x82\xAC\xE2\x80\xB0\xD0\x89\xE2\x80\xB9\xD0\x8A\xD0\x8C\xD0\x8B\xD0\x8F"
       "\xD1\x92\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xC2\x98\xE2\x84\xA2\xD1\x99\xE2\x80\xBA\xD1\x9A\xD1\x9C\xD1\x9B\xD1\x9F"
       "\xC2\xA0\xD0\x8E\xD1\x9E\xD0\x88\xC2\xA4\xD2\x90\xC2\xA6\xC2\xA7\xD0\x81\xC2\xA9\xD0\x84\xC2\xAB\xC2\xAC\xC2\xAD\xC2\xAE\xD0\x87"
       "\xC2\xB0\xC2\xB1\xD0\x86\xD1\x96\xD2\x91\xC2\xB5\xC2\xB6\xC2\xB7\xD1\x91\xE2\x84\x96\xD1\x94\xC2\xBB\xD1\x98\xD0\x85\xD1\x95\xD1\x97"
       "\xD0\x90\xD0\x91\xD0\x92\xD0\x93\xD0\x94\xD0\x95\xD0\x96\xD0\x97\xD0\x98\xD0\x99\xD0\x9A\xD0\x9B\xD0\x9C\xD0\x9D\xD0\x9E\xD0\x9F"
       "\xD0\xA0\xD0\xA1\xD0\xA2\xD0\xA3\xD0\xA4\xD0\xA5\xD0\xA6\xD0\xA7\xD0\xA8\xD0\xA9\xD0\xAA\xD0\xAB\xD0\xAC\xD0\xAD\xD0\xAE\xD0\xAF"
       "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC\xD0\xBD\xD0\xBE\xD0\xBF"
       "\xD1\x80\xD1\x81\xD1\x82\xD1\x83\xD1\x84\xD1\x85\xD1\x86\xD1\x87\xD1\x88\xD1\x89\xD1\x8A\xD1\x8B\xD1\x8C\xD1\x8D\xD1\x8E\xD1\x8F"},
      {CodePage::Windows1252,
       "\xE2\x82\xAC\xC2\x81\xE2\x80\x9A\xC6\x92\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xCB\x86\xE2\x80\xB0\xC5\xA0\xE2\x80\xB9\xC5\x92\xC2\x8D\xC5\xBD\xC2\x8F"
       "\xC2\x90\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xCB\x9C\xE2\x84\xA2\xC5\xA1\xE2\x80\xBA\xC5\x93\xC2\x9D\xC5\xBE\xC5\xB8"
       "\xC2\xA0\xC2\xA1\xC2\xA2\xC2\xA3\xC2\xA4\xC2\xA5\xC2\xA6\xC2\xA7\xC2\xA8\xC2\xA9\xC2\xAA\xC2\xAB\xC2\xAC\xC2\xAD\xC2\xAE\xC2\xAF"
       "\xC2\xB0\xC2\xB1\xC2\xB2\xC2\xB3\xC2\xB4\xC2\xB5\xC2\xB6\xC2\xB7\xC2\xB8\xC2\xB9\xC2\xBA\xC2\xBB\xC2\xBC\xC2\xBD\xC2\xBE\xC2\xBF"
       "\xC3\x80\xC3\x81\xC3\x82\xC3\x83\xC3\x84\xC3\x85\xC3\x86\xC3\x87\xC3\x88\xC3\x89\xC3\x8A\xC3\x8B\xC3\x8C\xC3\x8D\xC3\x8E\xC3\x8F"
       "\xC3\x90\xC3\x91\xC3\x92\xC3\x93\xC3\x94\xC3\x95\xC3\x96\xC3\x97\xC3\x98\xC3\x99\xC3\x9A\xC3\x9B\xC3\x9C\xC3\x9D\xC3\x9E\xC3\x9F"
       "\xC3\xA0\xC3\xA1\xC3\xA2\xC3\xA3\xC3\xA4\xC3\xA5\xC3\xA6\xC3\xA7\xC3\xA8\xC3\xA9\xC3\xAA\xC3\xAB\xC3\xAC\xC3\xAD\xC3\xAE\xC3\xAF"
       "\xC3\xB0\xC3\xB1\xC3\xB2\xC3\xB3\xC3\xB4\xC3\xB5\xC3\xB6\xC3\xB7\xC3\xB8\xC3\xB9\xC3\xBA\xC3\xBB\xC3\xBC\xC3\xBD\xC3\xBE\xC3\xBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeText(c.page, high), c.utf8) << CodePageName(c.page);
}

TEST(CodePageTest, NamesIgnoreLetterCase) {
  EXPECT_EQ(CodePageByName("Windows-1252"), CodePage::Windows1252);
  EXPECT_EQ(CodePageByName("CP1250"), CodePage::Windows1250);
  EXPECT_EQ(CodePageByName("latin1"), CodePage::Iso8859_1);
  EXPECT_EQ(CodePageByName("UTF-8"), CodePage::Utf8);
  EXPECT_EQ(CodePageByName("utf8"), CodePage::Utf8);
  EXPECT_EQ(CodePageByName("utf-16"), std::nullopt);
}

// UTF-8 as a tag's code page: what is UTF-8 passes as it is both ways; what is not (a
// character another tagger cut short, bytes of another page) shows as U+FFFD and is
// never stored.
TEST(CodePageTest, Utf8TagsKeepTheirBytesAndShowWhatIsNotUtf8AsReplaced) {
  struct Case {
    const char* bytes;
    const char* shown;
  };
  const Case decoded[] = {
      {"Caf\xC3\xA9 \xF0\x9F\x8E\xB5", "Caf\xC3\xA9 \xF0\x9F\x8E\xB5"},
      {"ab\xCE", "ab\xEF\xBF\xBD"},
      {"\xE2\x82", "\xEF\xBF\xBD"},
      {"Caf\xE9!", "Caf\xEF\xBF\xBD!"},
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : decoded) EXPECT_EQ(DecodeText(CodePage::Utf8, c.bytes), c.shown) << c.bytes;

  const EncodeResult stored = EncodeText(CodePage::Utf8, "\xCE\xA9 \xF0\x9F\x8E\xB5");
  EXPECT_EQ(stored.status, EncodeResult::Status::Ok);
  EXPECT_EQ(stored.bytes, "\xCE\xA9 \xF0\x9F\x8E\xB5");
  for (const char* invalid : {"ab\xCE", "\xED\xA0\x80", "Caf\xE9"}) {
    EXPECT_EQ(EncodeText(CodePage::Utf8, invalid).status, EncodeResult::Status::InvalidUtf8) << invalid;
  }
}

TEST(CodePageTest, ACutEndsBetweenCharacters) {
  struct Case {
    CodePage page;
    const char* bytes;
    std::size_t most;
    std::size_t length;
  };
  const Case cases[] = {
      {CodePage::Windows1252, "Caf\xE9s", 4, 4},
      {CodePage::Windows1251, "\xCF\xF0", 5, 2},
      {CodePage::Utf8, "abc", 2, 2},
      {CodePage::Utf8, "a\xCE\xA9", 2, 1},
      {CodePage::Utf8, "a\xCE\xA9", 3, 3},
      {CodePage::Utf8, "\xE2\x82\xAC\xE2\x82\xAC", 5, 3},
      {CodePage::Utf8, "\xF0\x9F\x8E\xB5", 3, 0},
      // Bytes that start no character stand alone.
      {CodePage::Utf8, "\xFF\xFE\xCE\xA9", 3, 2},
      {CodePage::Utf8, "", 30, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharacterBoundary(c.page, c.bytes, c.most), c.length) << CodePageName(c.page) << " " << c.bytes;
  }
}

// Both directions of UTF-16, with what a platform call can bring: pairs, unpaired or
// reversed halves (Windows names may hold them), and malformed UTF-8, where the longest
// start of a character becomes one U+FFFD, as the system's conversion does.
TEST(TextCodecTest, Utf16TakesPairsAndReplacesWhatCannotBeDecoded) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case both[] = {
      {"", u""},
      {"A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5", {u'A', 0x00E9, 0x20AC, 0xD83C, 0xDFB5}},
      {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
  };
  for (const Case& c : both) {
    EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8) << c.utf8;
  }
  const Case fromUtf16[] = {
      {"a\xEF\xBF\xBD"
       "b",
       {u'a', 0xD800, u'b'}},
      {"\xEF\xBF\xBD\xEF\xBF\xBD", {0xDC00, 0xD800}},
      {"x\xEF\xBF\xBD", {u'x', 0xD83C}},
  };
  for (const Case& c : fromUtf16) EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8) << c.utf8;
  const Case fromUtf8[] = {
      {"a\xE2\x82z", {u'a', 0xFFFD, u'z'}},
      {"\xF0\x9F\x8E", {0xFFFD}},
      {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},
      {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
      {"\xFF\xC3", {0xFFFD, 0xFFFD}},
  };
  for (const Case& c : fromUtf8) EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
}

// A name the window or a message shows, and a name typed as UTF-8, reach the file system
// unchanged; only an unpaired half of a Windows name becomes U+FFFD on its way to text.
TEST(TextCodecTest, PathsBecomeTextAndBack) {
#ifdef _WIN32
  const std::filesystem::path stray(std::wstring{L'x', 0xD800, L'.', L'm', L'p', L'3'});
  EXPECT_EQ(PathText(stray), "x\xEF\xBF\xBD.mp3");
  EXPECT_EQ(PathWideText(stray), stray.native());
  EXPECT_EQ(PathFromUtf8("\xCE\xA9 \xF0\x9F\x8E\xB5.mp3").native(),
            std::wstring({0x03A9, L' ', 0xD83C, 0xDFB5}) + L".mp3");
  EXPECT_EQ(WideFromUtf8("\xCE\xA9\xF0\x9F\x8E\xB5"), std::wstring({0x03A9, 0xD83C, 0xDFB5}));
#else
  // Names here are bytes; they pass as they are, valid UTF-8 or not.
  EXPECT_EQ(PathText("a\xFF/\xCE\xA9.mp3"), "a\xFF/\xCE\xA9.mp3");
  EXPECT_EQ(PathFromUtf8("a\xFF.mp3").native(), "a\xFF.mp3");
  EXPECT_EQ(PathWideText("\xCE\xA9\xF0\x9F\x8E\xB5"), std::wstring({0x03A9, 0x1F3B5}));
  EXPECT_EQ(Utf8FromWide(std::wstring({L'a', 0xD800, 0x110000})), "a\xEF\xBF\xBD\xEF\xBF\xBD");
#endif
}

}  // namespace
}  // namespace pelmix
