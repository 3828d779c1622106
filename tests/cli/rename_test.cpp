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

// The plan's refusals, each worded with its files; nothing is renamed and no batch is kept.
TEST_F(RenameCliTest, ABatchThatCannotBeRenamedWholeRenamesNothing) {
  Put("a.mp3", Tagged(100, "Intro", 1, "Band"));
  Put("b.mp3", Tagged(101, "Outro", 2, "Band"));
  Put("c.mp3", Tagged(102, "Intro", 3));
  Put("bare.mp3", Audio(103));
  Put("Outro.mp3", Audio(104));
  const std::vector<std::string> before = Listing(dir_.path());
  struct Case {
    std::vector<std::string> options;
    std::vector<const char*> files;
    std::string message;  // after "pelmix-cli: "
  };
  const std::string a = Utf8(In("a.mp3"));
  const std::string c = Utf8(In("c.mp3"));
  const Case cases[] = {
      {{"--to", "%t"}, {"a.mp3", "c.mp3"}, a + " and " + c + " would both be named Intro.mp3; nothing renamed"},
      {{"--to", "%t"},
       {"a.mp3", "b.mp3"},
       Utf8(In("Outro.mp3")) + " exists already (" + Utf8(In("b.mp3")) + " would be named so); nothing renamed"},
      {{"--to", "%a - %t"}, {"a.mp3", "c.mp3"}, c + " has no artist (%a); nothing renamed"},
      {{"--to", "%n %t"}, {"a.mp3", "bare.mp3"}, Utf8(In("bare.mp3")) + " has no track number (%n); nothing renamed"},
      {{"--to", "%n"}, {"a.mp3", "gone.mp3"}, Utf8(In("gone.mp3")) + ": cannot be read: not found; nothing renamed"},
      {{"--to", "%t/%n"}, {"a.mp3"}, "--to: a pattern makes a name, not a path: no / or \\ in it"},
      {{}, {"a.mp3"}, "rename needs --to PATTERN"},
      {{"--to", "%t", "--track", "2"}, {"a.mp3"}, "--track does not go with rename"},
  };
  for (const Case& row : cases) {
    const ProgramRun run = Run(row.options, row.files);
    EXPECT_EQ(run.status, 2) << row.message;
    EXPECT_EQ(run.err, "pelmix-cli: " + row.message + "; try 'pelmix-cli rename --help'\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Listing(dir_.path()), before) << row.message;
  }
  EXPECT_EQ(RunPelmixCli({"undo", "--list"}).out.rfind("no batch", 0), 0u);
}

// What no Windows name may hold is replaced in the whole name the pattern made: a device name
// alone, the values' own characters. Undo takes a batch back.
TEST_F(RenameCliTest, NamesGetWhatWindowsRefusesReplacedAndUndoTakesThemBack) {
  Put("1.mp3", Tagged(100, "AC/DC: \"Live\"?", 1));
  Put("2.mp3", Tagged(101, "CON", 12));
  Put("3.mp3", Tagged(103, "Caf\xE9 \x80", 9));

  const ProgramRun alone = Run({"--to", "%t"}, {"2.mp3"});
  EXPECT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(alone.out, Utf8(In("2.mp3")) + ": renamed to " + Utf8(In("CON_.mp3")) + "\n");
  const std::vector<std::string> before = Listing(dir_.path());

  const ProgramRun run = Run({"--to", "%n %t", "--json"}, {"1.mp3", "3.mp3"});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto line = [&](const char* from, const char* to) {
    return "{\"path\":" + cli::JsonString(Utf8(In(from))) +
           ",\"outcome\":\"renamed\",\"new_path\":" + cli::JsonString(Utf8(In(to))) + "}\n";
  };
  EXPECT_EQ(run.out, line("1.mp3", "1 AC_DC_ _Live__.mp3") + line("3.mp3", "9 Caf\xC3\xA9 \xE2\x82\xAC.mp3"));
  EXPECT_EQ(Listing(dir_.path()), (std::vector<std::string>{"1 AC_DC_ _Live__.mp3:228",
                                                            "9 Caf\xC3\xA9 \xE2\x82\xAC.mp3:231", "CON_.mp3:229"}));

  EXPECT_NE(RunPelmixCli({"undo", "--list"}).out.find("2 files  rename (pelmix-cli)\n"), std::string::npos);
  const ProgramRun undo = RunPelmixCli({"undo"});
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(
      undo.out.rfind(Utf8(In("9 Caf\xC3\xA9 \xE2\x82\xAC.mp3")) + ": renamed back to " + Utf8(In("3.mp3")) + "\n", 0),
      0u)
      << undo.out;
  EXPECT_EQ(Listing(dir_.path()), before);
}

TEST_F(RenameCliTest, ADryRunShowsThePlanAndTouchesNothing) {
  Put("b.mp3", Tagged(100, "Two", 2));
  Put("10 Ten.mp3", Tagged(102, "Ten", 10, "x"));
  const std::vector<std::string> before = Listing(dir_.path());
  const ProgramRun run = Run({"-n", "--to", "%n %t"}, {"b.mp3", "10 Ten.mp3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            Utf8(In("b.mp3")) + " -> " + Utf8(In("02 Two.mp3")) + "\n" + Utf8(In("10 Ten.mp3")) + ": unchanged\n");
  EXPECT_EQ(Listing(dir_.path()), before);
  EXPECT_EQ(RunPelmixCli({"undo", "--list"}).out.rfind("no batch", 0), 0u);
}

}  // namespace
}  // namespace pelmix::test
