// Counting up the digits in a text, as Auto Increment does along a batch.
#include "core/text_increment.h"

#include <gtest/gtest.h>

namespace pelmix {
namespace {

struct IncrementCase {
  std::string text;
  std::string expected;
};

TEST(IncrementTextTest, CountsUpTheDigitsAsOneNumber) {
  const IncrementCase cases[] = {
      {"0", "1"},
      {"9", "10"},
      {"99", "100"},
      {"199", "200"},
      {"Track 09", "Track 10"},
      {"Part 9", "Part 10"},
      {"a9b", "a10b"},
      {"x99y", "x100y"},
      {"abc", "abc1"},
      {"", "1"},
      {"1x9", "2x0"},
      {"Disc 1 Track 9", "Disc 2 Track 0"},
      {"Vol 1.9", "Vol 2.0"},
      {"9 Lives 9", "10 Lives 0"},
      // A sign is not part of the number; blanks are kept; only ASCII digits count.
      {"-1", "-2"},
      {"   ", "   1"},
      {"\xB9\xB2",
       "\xB9\xB2"
       "1"},
      {"9\xB9", "10\xB9"},
      {std::string("a\0"
                   "9",
                   3),
       std::string("a\0"
                   "10",
                   4)},
  };
  for (const IncrementCase& c : cases) {
    EXPECT_EQ(IncrementText(c.text), c.expected) << "text: " << c.text;
  }
}

TEST(IncrementTextTest, ResultMayOutgrowItsField) {
  const std::string thirtyNines(30, '9');
  EXPECT_EQ(IncrementText(thirtyNines), "1" + std::string(30, '0'));
  EXPECT_EQ(IncrementText("999"), "1000");
}

TEST(IncrementTextTest, CountsAlongABatch) {
  std::string value = "8";
  std::string seen;
  for (int i = 0; i < 4; ++i) {
    value = IncrementText(value);
    seen += value + " ";
  }
  EXPECT_EQ(seen, "9 10 11 12 ");
}

}  // namespace
}  // namespace pelmix
