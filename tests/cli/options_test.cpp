// Reading the command line: options, commands, the values they give the session, and usage errors.
#include <gtest/gtest.h>

#include "cli/options.h"
#include "cli/stamp_command.h"

namespace pelmix::cli {
namespace {

std::vector<Argument> Arguments(std::initializer_list<std::string> texts) {
  std::vector<Argument> arguments;
  for (const std::string& text : texts) arguments.push_back(Argument::FromUtf8(text));
  return arguments;
}

std::string Line(const std::vector<Argument>& arguments) {
  std::string line;
  for (const Argument& argument : arguments) line += argument.text() + " ";
  return line;
}

GenreList SomeGenres() {
  GenreList genres;
  genres.Add("Rock", 17);
  genres.Add("Blues", 0);
  genres.Add("Too Big", 300);
  return genres;
}

TEST(OptionsTest, ReadsOptionsInEitherFormAndFilesAfterTheDoubleDash) {
  const Options options = ParseOptions(Arguments({"--encoding=latin1", "stamp", "--title=Intro", "-r", "--increment",
                                                  "Track,title", "--track", "1", "a.mp3", "--", "--odd.mp3"}));
  EXPECT_EQ(options.command, Command::Stamp);
  EXPECT_EQ(options.codePage, CodePage::Iso8859_1);
  EXPECT_TRUE(options.recursive);
  EXPECT_EQ(options.Value(TagField::Title), "Intro");
  EXPECT_EQ(options.Value(TagField::Track), "1");
  EXPECT_FALSE(options.Value(TagField::Artist).has_value());
  EXPECT_EQ(options.increments, (std::vector<TagField>{TagField::Track, TagField::Title}));
  EXPECT_EQ(options.operands, (std::vector<NativeName>{std::filesystem::path("a.mp3").native(),
                                                       std::filesystem::path("--odd.mp3").native()}));
}

TEST(OptionsTest, BundledShortOptionsTheirValuesAndHelpForACommand) {
  const Options options = ParseOptions(Arguments(
      {"-rnqT3", "stamp", "a.mp3", "-tIntro", "-a", "Band", "--year=1999", "-g", "", "--from-n=%t", "--", "-b.mp3"}));
  EXPECT_EQ(options.command, Command::Stamp);
  EXPECT_TRUE(options.recursive && options.dryRun && options.quiet);
  EXPECT_EQ(options.Value(TagField::Track), "3");
  EXPECT_EQ(options.Value(TagField::Title), "Intro");
  EXPECT_EQ(options.Value(TagField::Artist), "Band");
  EXPECT_EQ(options.Value(TagField::Year), "1999");
  EXPECT_EQ(options.Value(TagField::Genre), "");
  EXPECT_EQ(options.fromName, "%t");
  EXPECT_EQ(options.operands, (std::vector<NativeName>{std::filesystem::path("a.mp3").native(),
                                                       std::filesystem::path("-b.mp3").native()}));

  struct Help {
    std::initializer_list<std::string> arguments;
    std::optional<Command> topic;
  };
  const Help helps[] = {
      {{"stamp", "--bogus", "-h"}, Command::Stamp},
      {{"help", "strip"}, Command::Strip},
      {{"-h", "show"}, Command::Show},
      {{"--help"}, std::nullopt},
  };
  for (const Help& help : helps) {
    const Options asked = ParseOptions(Arguments(help.arguments));
    EXPECT_EQ(asked.command, Command::Help);
    EXPECT_EQ(asked.helpTopic, help.topic) << Line(Arguments(help.arguments));
  }
}

TEST(OptionsTest, UsageErrorsNameTheOptionAsTyped) {
  struct Case {
    std::initializer_list<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{"stamp", "-rz", "a.mp3"}, "unknown option -z"},
      {{"stamp", "--bogus=1", "a.mp3"}, "unknown option --bogus"},
      {{"stamp", "a.mp3", "--title"}, "--title needs a value"},
      {{"stamp", "a.mp3", "-nt"}, "-t needs a value"},
      {{"stamp", "--json=yes", "a.mp3"}, "--json takes no value"},
      {{"show", "-t", "x", "a.mp3"}, "--title does not go with show"},
      {{"strip", "--keep-order", "a.mp3"}, "--keep-order does not go with strip"},
      {{"stamp", "-T", "1", "--track=2", "a.mp3"}, "--track given twice"},
      {{"stmap", "a.mp3"}, "unknown command \"stmap\""},
      {{"show", "--truncate", "a.mp3"}, "--truncate does not go with show"},
      {{"stamp", "--csv", "-t", "x", "a.mp3"}, "--csv does not go with stamp"},
      {{"show", "--csv", "--json", "a.mp3"}, "--json and --csv do not go together"},
      {{"show", "-1", "--csv", "a.mp3"}, "--oneline and --csv do not go together"},
      {{"stamp", "--from-csv", "t.csv", "--from-name", "%t"}, "--from-csv and --from-name do not go together"},
      {{"stamp", "--from-csv", "t.csv", "a.mp3"}, "--from-csv takes no files: its rows name them"},
      {{"stamp", "-r", "--from-csv=t.csv"}, "--recursive does not go with --from-csv"},
  };
  for (const Case& c : cases) {
    try {
      ParseOptions(Arguments(c.arguments));
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const UsageError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(OptionsTest, RefusesCommandLinesItCannotActOn) {
  const std::vector<std::vector<Argument>> cases = {
      Arguments({}),
      Arguments({"frobnicate"}),
      Arguments({"stamp", "--title"}),
      Arguments({"stamp", "--bogus", "x", "a.mp3"}),
      Arguments({"stamp", "--title", "a", "--title", "b", "a.mp3"}),
      Arguments({"stamp", "--increment", "year", "--year", "1999", "a.mp3"}),
      Arguments({"stamp", "--increment", "track,", "--track", "1", "a.mp3"}),
      Arguments({"show", "--dry-run", "a.mp3"}),
      Arguments({"show", "--keep-order", "a.mp3"}),
      Arguments({"strip", "--title", "x", "a.mp3"}),
      Arguments({"stamp", "-rz", "--title", "x", "a.mp3"}),
      Arguments({"stamp", "--json=yes", "--title", "x", "a.mp3"}),
      Arguments({"stamp", "-q", "--json", "--title", "x", "a.mp3"}),
      Arguments({"show", "--encoding", "utf-16", "a.mp3"}),
      Arguments({"genres", "a.mp3"}),
  };
  for (const std::vector<Argument>& arguments : cases) {
    EXPECT_THROW(ParseOptions(arguments), UsageError) << Line(arguments);
  }
}

TEST(StampControlsTest, GivenFieldsAreTickedAndStoredInTheCodePage) {
  GenreList genres = SomeGenres();
  const Options options = ParseOptions(Arguments(
      {"stamp", "--title", "Caf\xC3\xA9", "--track", "7", "--genre", "ROCK", "--increment", "track", "a.mp3"}));
  const BoundValues controls = StampControls(options, genres);
  EXPECT_EQ(controls.mode, static_cast<int>(EditMode::AutoUpdate));
  EXPECT_EQ(controls.fields.title, "Caf\xE9");
  EXPECT_EQ(controls.fields.trackText, "7");
  EXPECT_EQ(genres.CodeAt(controls.fields.genreIndex), 17);
  for (TagField field : kAllTagFields) {
    const bool given = field == TagField::Title || field == TagField::Track || field == TagField::Genre;
    EXPECT_EQ(controls.updateFlag[field], given ? 1 : 0);
    EXPECT_EQ(controls.incrementFlag[field], field == TagField::Track ? 1 : 0);
  }
}

TEST(StampControlsTest, GenreGivenAsCodeOrNothing) {
  GenreList genres = SomeGenres();
  const auto index = [&genres](const std::string& genre) {
    return StampControls(ParseOptions(Arguments({"stamp", "--genre", genre, "a.mp3"})), genres).fields.genreIndex;
  };
  EXPECT_EQ(genres.CodeAt(index("17")), 17);
  EXPECT_EQ(index(""), -1);
  // A code the list has no name for can still be written: it gets an entry without a name.
  const int unnamed = index("200");
  EXPECT_EQ(genres.CodeAt(unnamed), 200);
  EXPECT_EQ(genres.NameAt(unnamed), "");
}

// What the options alone settle: a value with no bytes in the code page, a genre without an
// entry, an option missing. Whether a tag can hold a value is the session's question.
TEST(StampControlsTest, RefusesWhatTheOptionsAloneSettle) {
  const std::vector<std::vector<Argument>> cases = {
      Arguments({"stamp", "--title", "\xCE\xA9", "a.mp3"}),
      Arguments({"stamp", "--genre", "Polka", "a.mp3"}),
      Arguments({"stamp", "--increment", "title", "--track", "1", "a.mp3"}),
      Arguments({"stamp", "a.mp3"}),
  };
  for (const std::vector<Argument>& arguments : cases) {
    GenreList genres = SomeGenres();
    EXPECT_THROW(StampControls(ParseOptions(arguments), genres), UsageError) << Line(arguments);
  }
}

#ifdef _WIN32
// Windows lets a name hold half a surrogate pair; "help" given one names it instead of
// failing to convert it.
TEST(OptionsTest, HelpForANameWithAStrayHalfNamesIt) {
  std::vector<Argument> arguments = Arguments({"help"});
  arguments.push_back({std::wstring{L'x', 0xD800}, "x\xEF\xBF\xBD"});
  try {
    ParseOptions(arguments);
    ADD_FAILURE() << "no usage error";
  } catch (const UsageError& error) {
    EXPECT_STREQ(error.what(), "help: unknown command \"x\xEF\xBF\xBD\"");
  }
}
#endif

}  // namespace
}  // namespace pelmix::cli
