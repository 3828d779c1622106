// Natural order of file names: numbers by value, files of one folder together.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/natural_order.h"

namespace pelmix {
namespace {

TEST(NaturalOrderTest, NumbersCompareByValue) {
  struct Case {
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"2 Intro.mp3", "10 Outro.mp3"},
      {"Track 9.mp3", "Track 10.mp3"},
      {"disc1/track2", "disc1/track10"},
      {"a.mp3", "B.mp3"},
      {"x01.mp3", "x1.mp3"},  // equal numbers: the bytes decide, so the order is total
      {"99999999999999999999.mp3", "100000000000000000000.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_LT(NaturalCompare(c.before, c.after), 0) << c.before << " / " << c.after;
    EXPECT_GT(NaturalCompare(c.after, c.before), 0) << c.after << " / " << c.before;
  }
  EXPECT_EQ(NaturalCompare("same 1.mp3", "same 1.mp3"), 0);
}

TEST(NaturalOrderTest, FolderComponentsKeepTheirFilesTogether) {
  std::vector<std::filesystem::path> paths = {"10/a.mp3", "2/b.mp3", "2 extra/a.mp3", "2/a.mp3"};
  std::sort(paths.begin(), paths.end(), NaturalPathLess);
  const std::vector<std::filesystem::path> expected = {"2/a.mp3", "2/b.mp3", "2 extra/a.mp3", "10/a.mp3"};
  EXPECT_EQ(paths, expected);
}

// A sort's comparison must say false for x < x, or std::sort may run past its range: the
// same name or path, and the same components spelled with repeated separators.
TEST(NaturalOrderTest, NothingComesBeforeItself) {
  const std::pair<const char*, const char*> same[] = {
      {"", ""},   {"a.mp3", "a.mp3"},     {"007 x.mp3", "007 x.mp3"}, {"dir/2.mp3", "dir/2.mp3"},
      {"/", "/"}, {"/music/", "/music/"}, {"a//b.mp3", "a/b.mp3"},    {"/music//1/", "/music/1/"},
  };
  for (const auto& [x, y] : same) {
    SCOPED_TRACE(std::string(x) + " / " + y);
    const std::filesystem::path a(x);
    const std::filesystem::path b(y);
    EXPECT_FALSE(NaturalPathLess(a, b));
    EXPECT_FALSE(NaturalPathLess(b, a));
    EXPECT_FALSE(NaturalNameLess(a.native(), b.native()));
    EXPECT_FALSE(NaturalNameLess(b.native(), a.native()));
  }
}

}  // namespace
}  // namespace pelmix
