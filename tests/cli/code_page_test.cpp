#include <gtest/gtest.h>

#include "cli/code_page.h"

namespace pelmix::cli {
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
      {CodePage::Windows1250, "\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xA3\xF3" "d\x9F"},
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

TEST(CodePageTest, NamesIgnoreLetterCase) {
  EXPECT_EQ(CodePageByName("Windows-1252"), CodePage::Windows1252);
  EXPECT_EQ(CodePageByName("CP1250"), CodePage::Windows1250);
  EXPECT_EQ(CodePageByName("latin1"), CodePage::Iso8859_1);
  EXPECT_EQ(CodePageByName("utf-8"), std::nullopt);
}

}  // namespace
}  // namespace pelmix::cli
