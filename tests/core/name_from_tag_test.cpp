// rename --to: names made from tag values, the replacement of what no file name may hold,
// and the patterns refused.
#include "core/name_from_tag.h"

#include <gtest/gtest.h>

namespace pelmix {
namespace {

// Values as "track|title|artist|album|year".
TagNameValues Values(const std::string& track, const std::string& title, const std::string& artist = "",
                     const std::string& album = "", const std::string& year = "") {
  TagNameValues values;
  values[FieldIndex(TagField::Track)] = track;
  values[FieldIndex(TagField::Title)] = title;
  values[FieldIndex(TagField::Artist)] = artist;
  values[FieldIndex(TagField::Album)] = album;
  values[FieldIndex(TagField::Year)] = year;
  return values;
}

TEST(NameFromTagTest, PatternsMakeNamesWithTracksPadded) {
  struct Case {
    const char* pattern;
    TagNameValues values;
    std::size_t batchWidth;
    const char* name;
  };
  const Case cases[] = {
      {"%n - %t", Values("3", "Intro"), 2, "03 - Intro"},
      {"%n - %t", Values("3", "Intro"), 1, "3 - Intro"},
      // A width given wins over the batch's; a wider number is kept whole.
      {"%3n %t", Values("7", "A"), 1, "007 A"},
      {"%1n %t", Values("42", "A"), 3, "42 A"},
      {"%a - %A (%y) - %n %t", Values("12", "Last", "Band", "First", "1999"), 2, "Band - First (1999) - 12 Last"},
      // Padding spaces of a field go; spaces inside stay.
      {"%t-%a", Values("", "  Two  Words   ", "X "), 1, "Two  Words-X"},
      {"100%% %t %t", Values("", "Pure"), 1, "100% Pure Pure"},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseNameTemplate(c.pattern);
    ASSERT_TRUE(std::holds_alternative<NameTemplate>(parsed)) << c.pattern;
    const MadeName made = MakeName(std::get<NameTemplate>(parsed), c.values, c.batchWidth);
    EXPECT_FALSE(made.missing) << c.pattern;
    EXPECT_EQ(made.name, c.name) << c.pattern;
  }
}

TEST(NameFromTagTest, AMissingOrBlankValueNamesTheField) {
  const auto parts = std::get<NameTemplate>(ParseNameTemplate("%n - %t"));
  EXPECT_EQ(MakeName(parts, Values("", "Intro"), 2).missing, TagField::Track);
  EXPECT_EQ(MakeName(parts, Values("4", "   "), 2).missing, TagField::Title);
  EXPECT_EQ(MakeName(parts, Values("4", "   "), 2).name, "");
}

TEST(NameFromTagTest, PatternsThatCannotMakeNamesAreRefused) {
  struct Case {
    const char* pattern;
    const char* problem;
  };
  const Case cases[] = {
      {"%a/%t", "a pattern makes a name, not a path: no / or \\ in it"},
      {"..\\%t", "a pattern makes a name, not a path: no / or \\ in it"},
      {"%x", "unknown placeholder %x"},
      {"%2t", "a width goes with %n only (%2n)"},
      {"%10n", "a width is one digit, 1 to 9 (%2n)"},
      {"%0n", "unknown placeholder %0"},
      {"%t %", "a lone % at the end"},
      {"Track", "no placeholder (%n, %t, %a, %A or %y)"},
      {"100%%", "no placeholder (%n, %t, %a, %A or %y)"},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseNameTemplate(c.pattern);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.pattern;
    EXPECT_EQ(std::get<std::string>(parsed), c.problem) << c.pattern;
  }
}

TEST(NameFromTagTest, HostileTextBecomesOneNameEverySystemHolds) {
  struct Case {
    std::string text;
    const char* name;
  };
  const Case cases[] = {
      {"../x", "_x"},
      {"..", ""},
      {"a/b\\c", "a_b_c"},
      {"a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
      {"tab\there\x01\x1F\x7F", "tab_here___"},
      {std::string("nul\0byte", 8), "nul_byte"},
      {"trailing. ", "trailing"},
      {" . hidden", "hidden"},
      {"", ""},
      {"CON", "CON_"},
      {"Nul.live", "Nul_.live"},
      {"COM1", "COM1_"},
      {"lpt9 .x", "lpt9 _.x"},
      {"COM0", "COM0"},
      {"CONSOLE", "CONSOLE"},
      {"Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xC3\xA9 \xE2\x82\xAC"},
      // Not UTF-8: each stray byte is replaced, never passed on.
      {"bad\xFF\xC3", "bad__"},
  };
  for (const Case& c : cases) EXPECT_EQ(SafeFileName(c.text), c.name) << c.text;
}

}  // namespace
}  // namespace pelmix
