// --from-name patterns: splitting file names into fields, and the errors of a bad pattern.
#include "core/name_pattern.h"

#include <gtest/gtest.h>

namespace pelmix {
namespace {

// The values as "track|title|artist|album|year", "-" for a field not given; "none" for no match.
std::string Shape(const std::optional<NameValues>& values) {
  if (!values) return "none";
  std::string text;
  for (TagField field : {TagField::Track, TagField::Title, TagField::Artist, TagField::Album, TagField::Year}) {
    if (!text.empty()) text += '|';
    text += (*values)[FieldIndex(field)].value_or("-");
  }
  return text;
}

TEST(NamePatternTest, SplitsNamesIntoFields) {
  struct Case {
    const char* pattern;
    const char* name;
    const char* values;
  };
  const Case cases[] = {
      {"%n - %a - %t", "03 - Band - Song", "03|Song|Band|-|-"},
      {"%n. %t", "7. Intro", "7|Intro|-|-|-"},
      {"%a - %A (%y) - %n %t", "Band - First (1999) - 12 Last One", "12|Last One|Band|First|1999"},
      // Text takes as little as it can, digits as much.
      {"%a - %t", "A - B - C", "-|B - C|A|-|-"},
      {"%n%t", "01Intro", "01|Intro|-|-|-"},
      {"%n%t", "0123", "012|3|-|-|-"},
      {"100%% %t", "100% Pure", "-|Pure|-|-|-"},
      {"%t", "\xC3\xA9t\xC3\xA9", "-|\xC3\xA9t\xC3\xA9|-|-|-"},
      // Not this shape: track not digits, a field left empty, text left over, too short.
      {"%n - %t", "AB - Song", "none"},
      {"%n - %t", "01 - ", "none"},
      {"%n. %t", "01 Intro", "none"},
      {"%n - %a - %t", "01 - Song", "none"},
      {"%t.", "Song", "none"},
      {"%t", "", "none"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shape(MatchNamePattern(c.pattern, c.name)), c.values) << c.pattern << " on " << c.name;
  }
}

TEST(NamePatternTest, NamesWhatIsWrongWithAPattern) {
  struct Case {
    const char* pattern;
    const char* problem;  // empty: the pattern is fine
  };
  const Case cases[] = {
      {"%n - %t", ""},
      {"%%%t%%", ""},
      {"%x - %t", "unknown placeholder %x"},
      {"%t - %", "a lone % at the end"},
      {"%t - %t", "%t given twice"},
      {"plain", "no placeholder (%n, %t, %a, %A or %y)"},
      {"%%", "no placeholder (%n, %t, %a, %A or %y)"},
      {"", "no placeholder (%n, %t, %a, %A or %y)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamePatternProblem(c.pattern).value_or(""), c.problem) << c.pattern;
    if (*c.problem) {
      EXPECT_FALSE(MatchNamePattern(c.pattern, "anything")) << c.pattern;
    }
  }
}

TEST(NamePatternTest, ManyPlaceholdersOnALongNameStayCheap) {
  // Every split of the name is a candidate; the table keeps the work to pattern times name.
  const std::string name(4000, 'x');
  EXPECT_EQ(Shape(MatchNamePattern("%t%a%A", name + "y")), "-|x|x|" + std::string(3998, 'x') + "y|-");
  EXPECT_EQ(Shape(MatchNamePattern("%t%a%Az", name)), "none");
  EXPECT_EQ(Shape(MatchNamePattern("%t", name + name)), "none");
}

}  // namespace
}  // namespace pelmix
