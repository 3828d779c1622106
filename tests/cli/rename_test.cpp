// pelmix-cli rename on real files: batches refused before any rename, names every system
// holds, the dry run, and undo taking a rename back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/text_display.h"
#include "core/text_codec.h"
#include "tests/cli/run_program.h"
#include "tests/support/journal_folder.h"
#include "tests/support/temp_dir.h"

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

// The folder's names with their contents' sizes, "name:size" sorted: what a rename may change.
std::vector<std::string> Listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    names.push_back(Utf8(entry.path().filename()) + ":" + std::to_string(ReadFile(entry.path()).size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

Bytes Tagged(std::size_t audio, const char* title, std::uint8_t track, const char* artist = "") {
  return Concat(Audio(audio), TagBytes(title, artist, "", "", "", track));
}

class RenameCliTest : public ::testing::Test {
 protected:
  TempDir dir_;
  TempDir state_;
  JournalFolderSet journal_{state_ / "journal"};

  // Names are UTF-8 here, whatever the system's narrow text.
  fs::path In(const char* name) const { return dir_.path() / PathFromUtf8(name); }
  fs::path Put(const char* name, const Bytes& bytes) {
    WriteFile(In(name), bytes);
    return In(name);
  }
  ProgramRun Run(std::vector<std::string> arguments, const std::vector<const char*>& names) {
    arguments.insert(arguments.begin(), "rename");
    for (const char* name : names) arguments.push_back(Utf8(In(name)));
    return RunPelmixCli(arguments);
  }
};

TEST_F(RenameCliTest, ABatchThatCannotBeRenamedWholeRenamesNothing) {
  Put("a.mp3", Tagged(100, "Intro", 1, "Band"));
  Put("b.mp3", Tagged(101, "Outro", 2, "Band"));
  Put("c.mp3", Tagged(102, "Intro", 3));
  Put("untagged.mp3", Audio(103));
  Put("Outro.mp3", Audio(104));
  const std::vector<std::string> before = Listing(dir_.path());
  struct Case {
    std::vector<std::string> options;
    std::vector<const char*> files;
    std::string message;
  };
  const std::string a = Utf8(In("a.mp3"));
  const Case cases[] = {
      {{"--to", "%t"}, {"a.mp3", "c.mp3"}, a + " and " + Utf8(In("c.mp3")) + " would both be named Intro.mp3"},
      {{"--to", "%t"}, {"a.mp3", "b.mp3"}, Utf8(In("Outro.mp3")) + " exists already (" + Utf8(In("b.mp3"))},
      {{"--to", "%a - %t"}, {"a.mp3", "c.mp3"}, Utf8(In("c.mp3")) + " has no artist (%a)"},
      {{"--to", "%n %t"}, {"a.mp3", "untagged.mp3"}, Utf8(In("untagged.mp3")) + " has no track number (%n)"},
      {{"--to", "%n"}, {"a.mp3", "gone.mp3"}, Utf8(In("gone.mp3")) + ": cannot be read: not found"},
      {{"--to", "%t/%n"}, {"a.mp3"}, "--to: a pattern makes a name, not a path"},
      {{"--to", "%q"}, {"a.mp3"}, "--to: unknown placeholder %q"},
      {{}, {"a.mp3"}, "rename needs --to PATTERN"},
      {{"--to", "%t", "--track", "2"}, {"a.mp3"}, "--track does not go with rename"},
  };
  for (const Case& c : cases) {
    const ProgramRun run = Run(c.options, c.files);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err.rfind("pelmix-cli: " + c.message, 0), 0u) << run.err;
    EXPECT_TRUE(run.err.ends_with("; try 'pelmix-cli rename --help'\n")) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Listing(dir_.path()), before) << c.message;
  }
  EXPECT_EQ(RunPelmixCli({"undo", "--list"}).out.rfind("no batch", 0), 0u);
}

TEST_F(RenameCliTest, NamesGetWhatWindowsRefusesReplacedAndUndoTakesThemBack) {
  Put("1.mp3", Tagged(100, "AC/DC: \"Live\"?", 1));
  Put("2.mp3", Tagged(101, "CON", 12));
  Put("3.mp3", Tagged(102, "../..", 7));
  Put("4.mp3", Tagged(103, "Caf\xE9 \x80", 9));
  const std::vector<std::string> before = Listing(dir_.path());

  const ProgramRun run = Run({"--to", "%n %t", "--json"}, {"1.mp3", "2.mp3", "3.mp3", "4.mp3"});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto line = [&](const char* from, const char* to) {
    return "{\"path\":" + cli::JsonString(Utf8(In(from))) +
           ",\"outcome\":\"renamed\",\"new_path\":" + cli::JsonString(Utf8(In(to))) + "}\n";
  };
  EXPECT_EQ(run.out, line("1.mp3", "01 AC_DC_ _Live__.mp3") + line("2.mp3", "12 CON.mp3") +
                         line("3.mp3", "07 .._.mp3") + line("4.mp3", "09 Caf\xC3\xA9 \xE2\x82\xAC.mp3"));
  EXPECT_EQ(Listing(dir_.path()), (std::vector<std::string>{"01 AC_DC_ _Live__.mp3:228", "07 .._.mp3:230",
                                                            "09 Caf\xC3\xA9 \xE2\x82\xAC.mp3:231", "12 CON.mp3:229"}));

  // Alone, with no number before it, CON is a device on Windows; the dots would climb out.
  const ProgramRun alone = Run({"--to", "%t"}, {"12 CON.mp3", "07 .._.mp3"});
  EXPECT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(alone.out, Utf8(In("12 CON.mp3")) + ": renamed to " + Utf8(In("CON_.mp3")) + "\n" + Utf8(In("07 .._.mp3")) +
                           ": renamed to " + Utf8(In("_.mp3")) + "\n");

  const ProgramRun list = RunPelmixCli({"undo", "--list"});
  const std::size_t whole = list.out.find("4 files  rename (pelmix-cli)\n");
  ASSERT_NE(whole, std::string::npos) << list.out;
  EXPECT_NE(list.out.find("2 files  rename (pelmix-cli)\n"), std::string::npos) << list.out;
  const std::size_t start = list.out.rfind('\n', whole) + 1;
  const std::string id = list.out.substr(start, list.out.find(" ", start) - start);
  ASSERT_EQ(RunPelmixCli({"undo"}).status, 0);
  const ProgramRun undo = RunPelmixCli({"undo", id});
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(
      undo.out.rfind(Utf8(In("09 Caf\xC3\xA9 \xE2\x82\xAC.mp3")) + ": renamed back to " + Utf8(In("4.mp3")) + "\n", 0),
      0u)
      << undo.out;
  EXPECT_EQ(Listing(dir_.path()), before);

  // The undo is a batch as well: taken back, the new names return.
  ASSERT_EQ(RunPelmixCli({"undo"}).status, 0);
  EXPECT_TRUE(fs::exists(In("01 AC_DC_ _Live__.mp3")));
}

TEST_F(RenameCliTest, ADryRunShowsThePlanAndTouchesNothing) {
  Put("b.mp3", Tagged(100, "Two", 2));
  Put("a.mp3", Tagged(101, "Ten", 10));
  Put("10 Ten.mp3", Tagged(102, "Ten", 10, "x"));
  const std::vector<std::string> before = Listing(dir_.path());
  const ProgramRun run = Run({"-n", "--to", "%n %t"}, {"b.mp3", "10 Ten.mp3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            Utf8(In("b.mp3")) + " -> " + Utf8(In("02 Two.mp3")) + "\n" + Utf8(In("10 Ten.mp3")) + ": unchanged\n");
  EXPECT_EQ(Listing(dir_.path()), before);
  EXPECT_EQ(RunPelmixCli({"undo", "--list"}).out.rfind("no batch", 0), 0u);

  // A name the file has already is no collision with itself; the plan still sees the others.
  const ProgramRun both = Run({"--dry-run", "--to", "%n %t"}, {"10 Ten.mp3", "a.mp3"});
  EXPECT_EQ(both.status, 2);
  EXPECT_NE(both.err.find(Utf8(In("10 Ten.mp3")) + " and " + Utf8(In("a.mp3")) + " would both be named 10 Ten.mp3"),
            std::string::npos)
      << both.err;
}

}  // namespace
}  // namespace pelmix::test
