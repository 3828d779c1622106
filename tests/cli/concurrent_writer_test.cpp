// Another program appending to a file while pelmix-cli stamps and strips it, without taking
// any lock (a recorder, a download): nothing it writes may be lost or overwritten, with a
// lease or without one.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "tests/cli/run_program.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

constexpr std::size_t kBlockSize = 256;
constexpr int kBlocks = 1500;

// 256 bytes that say which block they are and hold no "TAG".
Bytes Block(int index) {
  Bytes block(kBlockSize, static_cast<std::uint8_t>('a' + index % 26));
  const std::string mark = "block " + std::to_string(index) + ";";
  std::copy(mark.begin(), mark.end(), block.begin());
  return block;
}

// Appends the blocks one by one, each with an open, one write and a close, in bursts with
// pauses in which a trailer may stay last long enough to be stripped.
pid_t StartAppender(const fs::path& path) {
  return StartChild([path] {
    for (int i = 0; i < kBlocks; ++i) {
      const Bytes block = Block(i);
      const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd < 0 || ::write(fd, block.data(), block.size()) != static_cast<ssize_t>(kBlockSize)) return 1;
      ::close(fd);
      usleep(i % 20 == 19 ? 5000 : 100);
    }
    return 0;
  });
}

using Command = std::vector<std::string>;

// Runs each command over and over, each in a thread of its own, until the appender is
// done; returns the appender's exit status, and everything the runs printed.
int RunWhileAppending(pid_t appender, const std::vector<Command>& commands, bool unprivileged, std::string& out,
                      std::string& err) {
  std::atomic<bool> done{false};
  std::vector<std::future<ProgramRun>> loops;
  for (const Command& command : commands) {
    loops.push_back(std::async(std::launch::async, [&done, &command, unprivileged] {
      ProgramRun all;
      while (!done) {
        const ProgramRun ran = RunPelmixCli(command, unprivileged);
        all.out += ran.out;
        all.err += ran.err;
      }
      return all;
    }));
  }
  int status = 0;
  const bool waited = ::waitpid(appender, &status, 0) == appender;
  done = true;
  for (std::future<ProgramRun>& loop : loops) {
    const ProgramRun all = loop.get();
    out += all.out;
    err += all.err;
  }
  return waited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The command over the one file, forty times: with a title counted up, each turn writes.
std::vector<std::string> Repeated(std::vector<std::string> command, const fs::path& file) {
  command.insert(command.end(), 40, file.native());
  return command;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// After the audio, every block whole and in order, with nothing but whole trailers between
// them: where that stops being so, or empty.
std::string WhereBlocksWereHit(const Bytes& file, std::size_t audioSize) {
  std::size_t at = audioSize;
  int next = 0;
  while (at < file.size()) {
    const Bytes block = Block(next);
    if (next < kBlocks && file.size() - at >= kBlockSize && std::equal(block.begin(), block.end(), file.begin() + at)) {
      at += kBlockSize;
      ++next;
    } else if (file.size() - at >= 128 && std::equal(file.begin() + at, file.begin() + at + 3, "TAG")) {
      at += 128;
    } else {
      return "at " + std::to_string(at) + ", before block " + std::to_string(next);
    }
  }
  return next == kBlocks ? "" : "only " + std::to_string(next) + " blocks";
}

// The file's owner gets a lease: the appender's open waits while the file is stamped or
// cut, and only a file the appender has open at that moment fails, as in use. A program
// that gets none (the file is another user's) keeps the lock and the checks: an append
// goes where the end is at the moment of the write, and a file that grew meanwhile is
// reported changed. Either way every block comes through whole and in order, with only
// whole trailers between them. (The strip of another's file keeps a sliver of a window.)
TEST(ConcurrentWriterTest, AnAppenderThatTakesNoLockLosesNothingToStampOrStrip) {
  for (const bool othersFile : {false, true}) {
    if (othersFile && geteuid() != 0) GTEST_SKIP() << "a file of another owner needs the superuser to make";
    TempDir dir;
    const fs::path file = dir / "recording.mp3";
    const Bytes audio = Audio(1000);
    WriteFile(file, Concat(audio, TagBytes("Start")));
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(file,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write);
    std::vector<Command> commands = {
        Repeated({"stamp", "--title", "Take 1", "--increment", "title", "--keep-order"}, file)};
    if (!othersFile) commands.push_back(Repeated({"strip"}, file));
    std::string out;
    std::string err;
    ASSERT_EQ(RunWhileAppending(StartAppender(file), commands, othersFile, out, err), 0);
    EXPECT_GT(Count(out, ": appended\n"), 0u) << out;
    const std::string failure = othersFile ? ": not written: changed since it was read\n"
                                           : " in use by another program\n";
    EXPECT_EQ(Count(err, "\n"), Count(err, failure)) << err;
    const Bytes now = ReadFile(file);
    ASSERT_TRUE(std::equal(audio.begin(), audio.end(), now.begin())) << othersFile;
    EXPECT_EQ(WhereBlocksWereHit(now, audio.size()), "") << othersFile;
  }
}

#endif

}  // namespace
}  // namespace pelmix::test
