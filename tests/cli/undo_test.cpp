// pelmix-cli undo on real files, and the journal that stamp and strip keep: what comes back,
// what is left alone, and what happens without a journal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/console.h"
#include "cli/text_display.h"
#include "cli/undo_command.h"
#include "session/journal.h"
#include "tests/cli/run_program.h"
#include "tests/support/journal_folder.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

// The journal of this test alone, in a folder of its own.
class Journal {
 public:
  fs::path folder() const { return dir_ / "journal"; }
  // The batches' ids, newest first.
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    const ProgramRun run = RunPelmixCli({"undo", "--list"});
    if (run.out.starts_with("no batch")) return ids;
    for (std::size_t at = 0; at < run.out.size();) {
      const std::size_t end = run.out.find('\n', at);
      ids.push_back(run.out.substr(at, run.out.find(' ', at) - at));
      at = end == std::string::npos ? run.out.size() : end + 1;
    }
    return ids;
  }

 private:
  TempDir dir_;
  JournalFolderSet set_{dir_ / "journal"};
};

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<fs::path>& files) {
  for (const fs::path& file : files) arguments.push_back(Utf8(file));
  return arguments;
}

// A journal the system could not close may have lost records: the batch is not a success.
TEST(UndoCliTest, AJournalThatCouldNotBeClosedIsToldAndFailsTheBatch) {
  TempDir dir;
  const struct {
    bool stopped;
    int status;
    int exit;
    std::string says;
  } cases[] = {
      {false, 0, 1, "could not be closed: "},
      {false, 2, 2, "; this batch may not be taken back\n"},
      {true, 1, 1, " could not be written; what was written before can be taken back with 'pelmix-cli undo'\n"},
  };
  for (const auto& c : cases) {
    BatchJournal journal(dir / "journal", BatchHeader{0, "pelmix-cli", "stamp", {}}, [](RawFile& file) {
      file.Close();
      return std::make_error_code(std::errc::io_error);
    });
    ASSERT_FALSE(journal.Begin());
    cli::Console console;
    testing::internal::CaptureStderr();
    const int status = cli::EndJournal(&journal, c.stopped, console, c.status);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, c.exit) << c.says;
    EXPECT_NE(told.find(c.says), std::string::npos) << told;
    EXPECT_EQ(told.find("pelmix-cli: ", 1), std::string::npos) << "told once: " << told;
  }
}

TEST(UndoCliTest, AStampComesBackAChangedFileIsLeftAloneAndTheUndoCanBeTakenBack) {
  const Journal journal;
  TempDir dir;
  std::vector<fs::path> files;
  std::vector<Bytes> original;
  std::string restored;
  for (int i = 1; i <= 12; ++i) {
    files.push_back(dir / ("Track " + std::to_string(i) + ".mp3"));
    // Every other file has a tag with what nobody would type again: a comment, a year, a genre.
    original.push_back(i % 2 ? Audio(300 + i) : Concat(Audio(300 + i), TagBytes("T", "", "", "1987", "Rare", 0, 44)));
    WriteFile(files.back(), original.back());
    restored = Utf8(files.back()) + ": restored\n" + restored;
  }
  const std::vector<std::string> stamp = With({"stamp", "-A", "Wrong Album", "-T", "1", "--increment", "track"}, files);
  ASSERT_EQ(RunPelmixCli(stamp).status, 0);
  const ProgramRun undo = RunPelmixCli({"undo"});
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(undo.out, restored);
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), original[i]) << i;

  ASSERT_EQ(RunPelmixCli(stamp).status, 0);
  std::vector<Bytes> stamped;
  for (const fs::path& file : files) stamped.push_back(ReadFile(file));
  stamped[4][stamped[4].size() - 100] = 'X';  // a title typed in another program
  WriteFile(files[4], stamped[4]);
  const ProgramRun partly = RunPelmixCli({"undo"});
  EXPECT_EQ(partly.status, 1);
  EXPECT_EQ(partly.err, "pelmix-cli: " + Utf8(files[4]) + ": not restored: changed since the batch wrote it\n");
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), i == 4 ? stamped[4] : original[i]) << i;

  const ProgramRun again = RunPelmixCli({"undo"});
  EXPECT_EQ(again.status, 0) << again.err;
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), stamped[i]) << i;
}

TEST(UndoCliTest, ListShowsEachBatchAndWhichUndoTookItBack) {
  const Journal journal;
  TempDir dir;
  const std::vector<fs::path> files = {dir / "a.mp3", dir / "b.mp3"};
  WriteFile(files[0], Concat(Audio(200), TagBytes("A")));
  WriteFile(files[1], Audio(200));
  ASSERT_EQ(RunPelmixCli(With({"stamp", "-y", "2001"}, files)).status, 0);
  ASSERT_EQ(RunPelmixCli(With({"strip"}, {files[0]})).status, 0);
  ASSERT_EQ(RunPelmixCli({"undo"}).status, 0);
  const std::vector<std::string> ids = journal.Ids();
  ASSERT_EQ(ids.size(), 3u);
  // An id is the batch's local time and a number: "20261208-140203-1".
  const auto time = [](const std::string& id, char between) {
    return id.substr(0, 4) + "-" + id.substr(4, 2) + "-" + id.substr(6, 2) + between + id.substr(9, 2) + ":" +
           id.substr(11, 2) + ":" + id.substr(13, 2);
  };
  const ProgramRun text = RunPelmixCli({"undo", "--list"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, ids[0] + "  " + time(ids[0], ' ') + "  1 file  undo of " + ids[1] + " (pelmix-cli)\n" + ids[1] +
                          "  " + time(ids[1], ' ') + "  1 file  strip (pelmix-cli)  taken back by " + ids[0] + "\n" +
                          ids[2] + "  " + time(ids[2], ' ') + "  2 files  stamp (pelmix-cli)\n");
  const ProgramRun json = RunPelmixCli({"undo", "--list", "--json"});
  EXPECT_EQ(json.out.substr(json.out.find('\n') + 1),
            "{\"id\":\"" + ids[1] + "\",\"time\":\"" + time(ids[1], 'T') +
                "\",\"files\":1,\"program\":\"pelmix-cli\",\"command\":\"strip\",\"undoes\":null,\"taken_back\":true,"
                "\"taken_back_by\":\"" +
                ids[0] + "\",\"problem\":null}\n" + "{\"id\":\"" + ids[2] + "\",\"time\":\"" + time(ids[2], 'T') +
                "\",\"files\":2,\"program\":\"pelmix-cli\",\"command\":\"stamp\",\"undoes\":null,\"taken_back\":false,"
                "\"taken_back_by\":null,\"problem\":null}\n");

  // The stamp, named: a dry run says what would come back and touches nothing.
  const Bytes before = ReadFile(files[1]);
  const ProgramRun dry = RunPelmixCli({"undo", "-n", "--json", ids[2]});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out, "{\"path\":" + cli::JsonString(Utf8(files[1])) +
                         ",\"outcome\":\"restored\",\"dry_run\":true}\n{\"path\":" + cli::JsonString(Utf8(files[0])) +
                         ",\"outcome\":\"restored\",\"dry_run\":true}\n");
  EXPECT_EQ(ReadFile(files[1]), before);
}

TEST(UndoCliTest, WhatCannotBeUndoneSaysWhy) {
  const Journal journal;
  TempDir dir;
  const fs::path file = dir / "a.mp3";
  WriteFile(file, Audio(200));
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string err;
  };
  const Case empty[] = {
      {{"undo"},
       1,
       "pelmix-cli: nothing to take back: the journal in " + Utf8(journal.folder()) +
           " holds no batch that is not taken back\n"},
      {{"undo", "20261208-140203-1"},
       2,
       "pelmix-cli: undo: no batch \"20261208-140203-1\" in the journal (see pelmix-cli undo --list); try "
       "'pelmix-cli undo --help'\n"},
      {{"undo", "--list", "x"}, 2, "pelmix-cli: --list takes no batch; try 'pelmix-cli undo --help'\n"},
      {{"undo", "a", "b"}, 2, "pelmix-cli: undo takes one batch at a time; try 'pelmix-cli undo --help'\n"},
      {{"show", "--no-journal", "a.mp3"},
       2,
       "pelmix-cli: --no-journal does not go with show; try 'pelmix-cli show --help'\n"},
  };
  for (const Case& c : empty) {
    const ProgramRun run = RunPelmixCli(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments.back();
    EXPECT_EQ(run.err, c.err);
  }

  // Two files: damage in a batch's last record reads as a write cut short, not as damage.
  const fs::path other = dir / "b.mp3";
  WriteFile(other, Audio(200));
  ASSERT_EQ(RunPelmixCli(With({"stamp", "-T", "3"}, {file, other})).status, 0);
  const Bytes stamped = ReadFile(file);
  const std::string id = journal.Ids().front();
  // An id is a name in the journal, never a path: this one leads back to the batch.
  const ProgramRun path = RunPelmixCli({"undo", "../journal/" + id});
  EXPECT_EQ(path.status, 2);
  EXPECT_EQ(path.err, "pelmix-cli: undo: no batch \"../journal/" + id +
                          "\" in the journal (see pelmix-cli undo --list); try 'pelmix-cli undo --help'\n");
  // A batch the journal cannot read is refused with the reason.
  const fs::path batch = journal.folder() / (id + ".pelmix-batch");
  Bytes bytes = ReadFile(batch);
  bytes[60] ^= 0x40;  // inside the first file's record
  WriteFile(batch, bytes);
  const ProgramRun damaged = RunPelmixCli({"undo"});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.err, "pelmix-cli: batch " + id + " is damaged (record 1 fails its check); nothing restored\n");
  EXPECT_EQ(ReadFile(file), stamped);
  EXPECT_EQ(ReadFile(other), stamped);
}

TEST(UndoCliTest, WithoutAJournalNothingIsWrittenUnlessAskedTo) {
  TempDir dir;
  const fs::path file = dir / "a.mp3";
  const Bytes tagged = Concat(Audio(200), TagBytes("Keep"));
  WriteFile(file, tagged);
  // A file where the journal's folder would be: it cannot be made.
  WriteFile(dir / "state", Bytes{});
  const JournalFolderSet set(dir / "state" / "pelmix");
  const std::string prefix = "pelmix-cli: the undo journal cannot be written in " + Utf8(dir / "state" / "pelmix") +
                             ": ";
  const std::string suffix = "; nothing written (--no-journal writes without it)\n";
  // The refusal comes first and alone: no file is reported on before it.
  const std::string notes = Utf8(dir / "notes.txt");
  WriteFile(dir / "notes.txt", Bytes{});
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"stamp", "-T", "4", notes, Utf8(file)},
        std::vector<std::string>{"strip", notes, Utf8(file)},
        std::vector<std::string>{"rename", "--to", "%t", notes, Utf8(file)}}) {
    const ProgramRun run = RunPelmixCli(arguments);
    EXPECT_EQ(run.status, 2) << arguments[0];
    EXPECT_EQ(run.err.substr(0, prefix.size()), prefix) << run.err;
    EXPECT_TRUE(run.err.ends_with(suffix)) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(file), tagged);
  }
  // A dry run needs no journal.
  EXPECT_EQ(RunPelmixCli({"strip", "-n", Utf8(file)}).status, 0);
  const ProgramRun unjournaled = RunPelmixCli({"strip", "--no-journal", Utf8(file)});
  EXPECT_EQ(unjournaled.status, 0) << unjournaled.err;
  EXPECT_EQ(ReadFile(file), Audio(200));
}

#ifndef _WIN32
// A stamp killed part-way leaves a journal covering every file it wrote: each record reached
// the system before its file's write.
TEST(UndoCliTest, AKilledStampOfTwentyThousandFilesComesBackWhole) {
  const Journal journal;
  TempDir dir;
  constexpr int kFiles = 20000;
  std::vector<Bytes> original;
  for (int i = 0; i < kFiles; ++i) {
    original.push_back(i % 2 ? Audio(200 + i % 7) : Concat(Audio(200), TagBytes("Song", "", "", "", "", 0, 8)));
    WriteFile(dir / (std::to_string(i) + ".mp3"), original.back());
  }
  const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t child = StartProgram(PelmixCliPath(), {"stamp", "-r", "-c", "Oops", "-T", "1", Utf8(dir.path())}, devNull,
                                   devNull);
  ::close(devNull);
  // A quarter of the way: the records of about 5000 files.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::uintmax_t size = 0;
  while (size < 5000 * 200 && std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(journal.folder(), error)) size = entry.file_size(error);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  ::kill(child, SIGKILL);
  ASSERT_EQ(WaitForChild(child), 128 + SIGKILL) << "the stamp ended before it was killed";
  int written = 0;
  for (int i = 0; i < kFiles; ++i) written += ReadFile(dir / (std::to_string(i) + ".mp3")) != original[i];
  EXPECT_GT(written, 0);
  EXPECT_LT(written, kFiles);

  const ProgramRun undo = RunPelmixCli({"undo", "-q"});
  EXPECT_EQ(undo.status, 0) << undo.err;
  int differing = 0;
  for (int i = 0; i < kFiles; ++i) differing += ReadFile(dir / (std::to_string(i) + ".mp3")) != original[i];
  EXPECT_EQ(differing, 0);
}
#endif

}  // namespace
}  // namespace pelmix::test
