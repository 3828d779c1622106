// The genre list: reading genre.txt, sorting, lookups, and files that are no list.
#include "core/genre_list.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <tuple>

#include "core/raw_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmix {
namespace {

struct LineCase {
  std::string line;
  std::int32_t code;
  std::string name;
};

TEST(GenreTextTest, HowLinesRead) {
  const LineCase cases[] = {
      {"17 Rock", 17, "Rock"},
      {"  0\tBlues", 0, "Blues"},
      {"Rock", 0, "Rock"},
      {"007 Bond  ", 7, "Bond  "},
      {"7 Bond  ", 7, "Bond  "},
      {"12abc", 12, "abc"},
      {"-5 x", 0, "-5 x"},
      {"42", 42, ""},
      {"   ", 0, ""},
      {"\t 3 \t Jazz\tFunk\t", 3, "Jazz\tFunk\t"},
      {"\v5 x", 0, "\v5 x"},  // only blanks and tabs are skipped
      {"4294967297 Wrapped", 1, "Wrapped"},
      {"2147483648 Wrapped", INT32_MIN, "Wrapped"},
      {std::string("9 Cut\0tail", 10), 9, "Cut"},
      {"8 Stray\rcarriage", 8, "Stray\rcarriage"},
  };
  for (const LineCase& c : cases) {
    const auto entries = ParseGenreText(c.line + "\n");
    ASSERT_EQ(entries.size(), 1u) << c.line;
    EXPECT_EQ(entries[0].code, c.code) << c.line;
    EXPECT_EQ(entries[0].name, c.name) << c.line;
  }
}

TEST(GenreTextTest, LineEndsAndEndOfText) {
  struct Case {
    std::string text;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"1 A\n2 B\n", {"A", "B"}},
      {"1 A\n2 B", {"A", "B"}},
      {"1 A\r\n2 B\r\n", {"A", "B"}},
      {"1 A\r\n2 B", {"A", "B"}},
      {"\n\n1 A\n\n\r\n2 B\n\n", {"A", "B"}},
      {"1 A\n2 B\x1A"
       "3 C\n",
       {"A", "B"}},
      {"1 A\x1A", {"A"}},
      {"", {}},
      {"\n\n\n", {}},
      {std::string("\0 hidden\n1 A\n", 13), {"A"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (const GenreEntry& e : ParseGenreText(c.text)) names.push_back(e.name);
    EXPECT_EQ(names, c.names) << testing::PrintToString(c.text);
  }
}

TEST(GenreTextTest, LongLinesArriveIn127CharacterPieces) {
  const std::string twoHundred = "5 " + std::string(198, 'x');
  auto entries = ParseGenreText(twoHundred + "\n1 Next\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].code, 5);
  EXPECT_EQ(entries[0].name, std::string(125, 'x'));
  EXPECT_EQ(entries[1].name, std::string(73, 'x'));
  EXPECT_EQ(entries[2].name, "Next");

  // Exactly 127 characters arrive whole; the line feed then comes alone and is skipped.
  const std::string exact = "6 " + std::string(125, 'y');
  entries = ParseGenreText(exact + "\n2 After\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, std::string(125, 'y'));
  EXPECT_EQ(entries[1].name, "After");

  // With CR LF line ends the carriage return does not count towards the 127.
  entries = ParseGenreText("6 " + std::string(124, 'z') + "\r\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, std::string(124, 'z'));
}

// Where each entry came from, for a reader that refuses a bad line by its number.
TEST(GenreTextTest, EachEntryKnowsItsLineAndWhetherItBeganWithACode) {
  using Piece = std::tuple<std::size_t, bool, bool>;  // line, began with a code, continues a longer line
  const std::pair<std::string, std::vector<Piece>> cases[] = {
      {"1 A\r\n\r\nB\n  \n\t7 C", {{1, true, false}, {3, false, false}, {4, false, false}, {5, true, false}}},
      {std::string("\0x\n2 B\n", 6), {{2, true, false}}},
      {"1 A\n\x1A"
       "B\n",
       {{1, true, false}}},
      // 127 characters fit one piece; the 128th starts a piece of its own, digits or not.
      {"1 " + std::string(125, 'x') + "\n2 B\n", {{1, true, false}, {2, true, false}}},
      {"1 " + std::string(125, 'x') + "42 Tail\n2 B", {{1, true, false}, {1, true, true}, {2, true, false}}},
      {"1 " + std::string(300, 'x'), {{1, true, false}, {1, false, true}, {1, false, true}}},
  };
  for (const auto& [text, expected] : cases) {
    std::vector<Piece> pieces;
    for (const GenreLine& line : ParseGenreLines(text)) pieces.emplace_back(line.line, line.hasCode, line.continued);
    EXPECT_EQ(pieces, expected) << testing::PrintToString(text);
  }
}

TEST(GenreListTest, SortsIgnoringCaseAndKeepsFileOrderAmongEquals) {
  GenreList list;
  EXPECT_EQ(list.Add("rock", 1), 0);
  EXPECT_EQ(list.Add("Blues", 2), 0);
  EXPECT_EQ(list.Add("ROCK", 3), 2);  // equal to "rock": goes after it
  EXPECT_EQ(list.Add("Alt Rock", 4), 0);
  EXPECT_EQ(list.Add("", 5), 0);
  EXPECT_EQ(list.Add("Rock", 6), 5);
  const std::vector<std::string> expected = {"", "Alt Rock", "Blues", "rock", "ROCK", "Rock"};
  ASSERT_EQ(list.Count(), 6);
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.NameAt(i), expected[static_cast<std::size_t>(i)]);
  EXPECT_EQ(list.CodeAt(3), 1);
  EXPECT_EQ(list.CodeAt(5), 6);
}

TEST(GenreListTest, UsesTheComparisonItIsGiven) {
  GenreList list([](std::string_view a, std::string_view b) { return -a.compare(b); });
  list.Add("a", 1);
  list.Add("c", 2);
  EXPECT_EQ(list.Add("b", 3), 1);
  EXPECT_EQ(list.NameAt(0), "c");
}

TEST(GenreListTest, LookupsByCodeAndIndex) {
  GenreList list;
  list.Add("Rock", 17);
  list.Add("Alt Rock", 17);
  list.Add("Big", 300);
  EXPECT_EQ(list.IndexOfCode(17), 0);  // the first in list order: "Alt Rock"
  EXPECT_EQ(list.IndexOfCode(300), 1);
  EXPECT_EQ(list.IndexOfCode(44), -1);
  EXPECT_EQ(list.IndexOfCode(-1), -1);
  for (int index : {-1, 3, 100, INT32_MIN}) EXPECT_EQ(list.CodeAt(index), -1) << index;
  EXPECT_THROW(list.NameAt(3), std::out_of_range);
  EXPECT_EQ(GenreList().IndexOfCode(0), -1);
  EXPECT_EQ(GenreList().CodeAt(0), -1);
}

// Names equal but for letter case may stand for codes of their own: the spelling typed wins.
TEST(GenreListTest, LookupByNamePrefersTheExactSpelling) {
  GenreList list;
  list.Add("Rock", 17);
  list.Add("rock", 80);
  list.Add("Pop", 13);
  const std::pair<const char*, int> cases[] = {{"rock", 80}, {"Rock", 17}, {"ROCK", 17},
                                               {"pop", 13},  {"Roc", -1},  {"", -1}};
  for (const auto& [name, code] : cases) EXPECT_EQ(list.CodeAt(list.IndexOfName(name)), code) << name;
}

// The lookup by code gives the first entry in list order through every change of the list:
// an entry sorted in before the first of its code takes its place, one after it does not,
// and the positions behind an insertion move up by one.
TEST(GenreListTest, LookupByCodeFollowsEveryChange) {
  GenreList list;
  const struct {
    const char* name;
    std::int32_t code;
    int position;
    int rock;  // IndexOfCode(17) afterwards
    int jazz;  // IndexOfCode(8) afterwards
  } adds[] = {
      {"Rock", 17, 0, 0, -1},     {"Jazz", 8, 0, 1, 0},      {"Alt Rock", 17, 0, 0, 1},
      {"Zouk Rock", 17, 3, 0, 1}, {"Acid Jazz", 8, 0, 1, 0}, {"Big Band", 8, 2, 1, 0},
  };
  for (const auto& add : adds) {
    SCOPED_TRACE(add.name);
    EXPECT_EQ(list.Add(add.name, add.code), add.position);
    EXPECT_EQ(list.IndexOfCode(17), add.rock);
    EXPECT_EQ(list.IndexOfCode(8), add.jazz);
  }

  // A list read from a file replaces the codes of the one before: 8 is gone.
  test::TempDir dir;
  test::WriteFile(dir / "genre.txt", std::string_view("17 rock\n300 Big\n17 Alt\n0 blues\n"));
  ASSERT_TRUE(list.Load(dir.path()));  // Alt, Big, blues, rock
  EXPECT_EQ(list.IndexOfCode(17), 0);
  EXPECT_EQ(list.IndexOfCode(300), 1);
  EXPECT_EQ(list.IndexOfCode(0), 2);
  EXPECT_EQ(list.IndexOfCode(8), -1);
  EXPECT_EQ(list.Add("Acid", 0), 0);
  EXPECT_EQ(list.IndexOfCode(0), 0);
  EXPECT_EQ(list.IndexOfCode(17), 1);
  list.Clear();
  EXPECT_EQ(list.IndexOfCode(17), -1);
}

TEST(GenreListTest, LoadReplacesTheListOnlyWhenTheFileOpens) {
  test::TempDir dir;
  GenreList list;
  list.Add("Kept", 1);
  EXPECT_FALSE(list.Load(dir.path()));
  ASSERT_EQ(list.Count(), 1);

  test::WriteFile(dir / "genre.txt", std::string("2 Two\r\n1 one\r\n"));
  EXPECT_TRUE(list.Load(dir.path()));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.NameAt(0), "one");
  EXPECT_EQ(list.CodeAt(1), 2);

  std::filesystem::create_directory(dir / "folder");
  EXPECT_FALSE(list.LoadFile(dir / "folder"));
  EXPECT_EQ(list.Count(), 2);

  test::WriteFile(dir / "genre.txt", std::string());
  EXPECT_TRUE(list.Load(dir.path()));
  EXPECT_EQ(list.Count(), 0);
}

TEST(GenreListTest, LoadSortsLikeAddAndKeepsFileOrderAmongEquals) {
  test::TempDir dir;
  test::WriteFile(dir / "genre.txt", std::string("1 rock\n2 Blues\n3 ROCK\n4 Alt Rock\n5 \n6 Rock\n"));
  GenreList list;
  ASSERT_TRUE(list.Load(dir.path()));
  const std::vector<std::string> names = {"", "Alt Rock", "Blues", "rock", "ROCK", "Rock"};
  const std::vector<std::int32_t> codes = {5, 4, 2, 1, 3, 6};
  ASSERT_EQ(list.Count(), 6);
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.NameAt(i), names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(list.CodeAt(i), codes[static_cast<std::size_t>(i)]);
  }
}

TEST(GenreListTest, OnlyARegularFileOfSensibleSizeIsRead) {
  test::TempDir dir;
  const auto big = dir / "big.txt";
  test::WriteFile(big, std::string("1 Kept\n"));
  std::filesystem::resize_file(big, 16 * 1024 * 1024 + 1);  // sparse: cheap to make
  GenreList list;
  list.Add("Kept", 1);
  std::error_code why;
  EXPECT_FALSE(list.LoadFile(big, why));
  EXPECT_EQ(why, std::errc::file_too_large);
  EXPECT_EQ(list.Count(), 1);
#ifndef _WIN32
  // A FIFO waited for a writer forever; /dev/zero filled memory. Each is refused at once.
  const auto fifo = dir / "genre.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& special : {fifo, std::filesystem::path("/dev/zero")}) {
    const int status = test::RunInChild([&special] {
      alarm(10);
      GenreList refused;
      std::error_code error;
      if (refused.LoadFile(special, error)) return 1;
      return error == NotARegularFile() ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << special;
  }
#endif
}

TEST(GenreListTest, ShippedListHoldsEveryCodeOnceInSortedOrder) {
  GenreList list;
  ASSERT_TRUE(list.Load(std::filesystem::path(PELMIX_SOURCE_DIR) / "res"));
  // Codes 0 to 191, and 255 so that a genre can be cleared.
  ASSERT_EQ(list.Count(), 193);
  std::set<std::int32_t> codes;
  for (int i = 0; i < list.Count(); ++i) {
    codes.insert(list.CodeAt(i));
    if (i > 0) {
      EXPECT_LE(GenreList::CompareIgnoringCase(list.NameAt(i - 1), list.NameAt(i)), 0);
    }
  }
  EXPECT_EQ(codes.size(), 193u);
  EXPECT_EQ(*codes.begin(), 0);
  EXPECT_EQ(*std::prev(codes.end(), 2), 191);
  EXPECT_EQ(*codes.rbegin(), 255);
  EXPECT_EQ(list.NameAt(list.IndexOfCode(0)), "Blues");
  EXPECT_EQ(list.NameAt(list.IndexOfCode(255)), "(none)");
}

}  // namespace
}  // namespace pelmix
