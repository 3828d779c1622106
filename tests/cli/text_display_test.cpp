// What the program prints for paths, tag text and errors: escaped, valid JSON, the right reason.
#include "cli/text_display.h"

#include <gtest/gtest.h>

#include "core/raw_file.h"
#include "tests/support/json_line.h"

namespace pelmix::cli {
namespace {

// Every kind of character a name or a tag can bring into a JSON line: the literal says how
// it is written, and the line must read back as JSON to the text meant.
TEST(TextDisplayTest, JsonStringsEscapeWhatTheyMustAndReadBack) {
  struct Case {
    std::string text;
    const char* json;
    std::string readBack;
  };
  const Case cases[] = {
      {"plain", R"("plain")", "plain"},
      {"q\"b\\", R"("q\"b\\")", "q\"b\\"},
      {"\n\r\t", R"("\n\r\t")", "\n\r\t"},
      {std::string("\0\x01\x1F\x7F", 4), R"("\u0000\u0001\u001f\u007f")", std::string("\0\x01\x1F\x7F", 4)},
      {"\xC2\x80\xC2\x9B\xC2\x9F", R"("\u0080\u009b\u009f")", "\xC2\x80\xC2\x9B\xC2\x9F"},
      {"\xC2\xA0\xE2\x82\xAC", "\"\xC2\xA0\xE2\x82\xAC\"", "\xC2\xA0\xE2\x82\xAC"},
      {"a\xFF"
       "b\xC3",
       "\"a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\"",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD"},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    const std::string json = JsonString(c.text);
    EXPECT_EQ(json, c.json);
    const auto object = test::ParseJsonObject("{\"v\":" + json + "}");
    ASSERT_TRUE(object) << json;
    EXPECT_EQ(object->at("v"), c.readBack);
  }
}

// A name that is not well-formed reads with U+FFFD in "path", like others would; its exact
// bytes (UTF-16 code units, low byte first, on Windows) come in "path_bytes" to tell them apart.
TEST(TextDisplayTest, JsonPathGivesTheBytesOfANameThatIsNotWellFormed) {
  const struct {
    std::filesystem::path name;
    const char* json;
  } cases[] = {
#ifdef _WIN32
      {L"a.mp3", R"("path":"a.mp3")"},
      {L"\u00E9\U0001F3B5.mp3", "\"path\":\"\xC3\xA9\xF0\x9F\x8E\xB5.mp3\""},
      {L"a\xD800"
       L"b.mp3",
       "\"path\":\"a\xEF\xBF\xBD"
       R"(b.mp3","path_bytes":"610000d862002e006d0070003300")"},
      {L"\xDC00",
       "\"path\":\"\xEF\xBF\xBD"
       R"(","path_bytes":"00dc")"},
#else
      {"a.mp3", R"("path":"a.mp3")"},
      {"\xC3\xA9\xF0\x9F\x8E\xB5.mp3", "\"path\":\"\xC3\xA9\xF0\x9F\x8E\xB5.mp3\""},
      {"caf\xE9\".mp3",
       "\"path\":\"caf\xEF\xBF\xBD"
       R"(\".mp3","path_bytes":"636166e9222e6d7033")"},
      {"\xED\xA0\x80",
       "\"path\":\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
       R"(","path_bytes":"eda080")"},
#endif
  };
  for (const auto& c : cases) {
    const std::string member = JsonPath(c.name);
    EXPECT_EQ(member, c.json);
    EXPECT_TRUE(test::ParseJsonObject("{" + member + "}")) << member;
  }
}

TEST(TextDisplayTest, ReasonsNameWhatHappened) {
  EXPECT_EQ(ErrorReason(NotARegularFile()), "not a regular file");
  // An EINVAL from a write is the system's complaint, not a kind of file.
  EXPECT_NE(ErrorReason(std::make_error_code(std::errc::invalid_argument)), "not a regular file");
  EXPECT_EQ(ErrorReason(std::make_error_code(std::errc::device_or_resource_busy)), "in use by another program");
}

}  // namespace
}  // namespace pelmix::cli
