// -r over a tree that fights back: links that loop or lead out of the folder, a folder that
// cannot be listed, a depth of thousands of folders. Each file in the folder is done once,
// nothing outside it is touched, and the walk's memory stays small.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/run_program.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32  // symbolic links and folder permissions as POSIX has them
TEST(RecursiveWalkTest, LinksAreNotFollowedAndUnlistableFoldersAreReported) {
  TempDir dir;
  const fs::path root = dir / "album";
  fs::create_directories(root / "disc");
  fs::create_directories(root / "locked");
  WriteFile(root / "disc" / "1.mp3", Audio(100));
  WriteFile(root / "locked" / "2.mp3", Audio(100));
  fs::create_directory_symlink("..", root / "disc" / "loop");
  fs::create_symlink("1.mp3", root / "disc" / "link.mp3");
  const fs::perms open = fs::perms::all;
  for (const fs::path& p : {dir.path(), root, root / "disc"}) fs::permissions(p, open);
  fs::permissions(root / "disc" / "1.mp3",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write);
  fs::permissions(root / "locked", fs::perms::none);

  const ProgramRun run = RunPelmixCli({"stamp", "-r", "--title", "x", root.string()}, true);
  fs::permissions(root / "locked", fs::perms::owner_all);
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_EQ(run.out, (root / "disc" / "1.mp3").string() + ": appended\n");
  EXPECT_EQ(run.err, "pelmix-cli: " + (root / "locked").string() +
                         ": not listed: permission denied\n"
                         "pelmix-cli: warning: " +
                         (root / "disc" / "link.mp3").string() +
                         ": a link, not followed: -r takes only the files that lie in the folder\n");
  EXPECT_EQ(ReadFile(root / "disc" / "1.mp3"), Concat(Audio(100), TagBytes("x")));
  EXPECT_EQ(ReadFile(root / "locked" / "2.mp3"), Audio(100));
}

// Links planted in a folder to be walked: a stamp or strip of the folder must leave their
// targets alone, say so once per link, and still count as a success.
TEST(RecursiveWalkTest, LinksInTheFolderNeverLeadAWriteOutsideIt) {
  const Bytes tagged = Concat(Audio(300), TagBytes("Keep"));
  struct Case {
    std::vector<std::string> command;
    const char* songOutcome;
    Bytes song;
  };
  const Case cases[] = {
      {{"stamp", "-r", "--artist", "Band"}, ": written in place\n", Concat(Audio(300), TagBytes("Keep", "Band"))},
      {{"strip", "-r"}, ": stripped\n", Audio(300)},
  };
  for (const Case& c : cases) {
    TempDir dir;
    fs::create_directory(dir / "music");
    fs::create_directory(dir / "outside");
    for (const char* file : {"outside/important.conf", "music/notes.txt", "music/song.mp3"}) {
      WriteFile(dir / file, tagged);
    }
    fs::create_symlink("../outside/important.conf", dir / "music" / "evil.mp3");
    fs::create_symlink("notes.txt", dir / "music" / "notes.mp3");
    std::vector<std::string> arguments = c.command;
    arguments.push_back((dir / "music").string());

    const ProgramRun run = RunPelmixCli(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, (dir / "music" / "song.mp3").string() + c.songOutcome);
    const std::string why = ": a link, not followed: -r takes only the files that lie in the folder\n";
    EXPECT_EQ(run.err, "pelmix-cli: warning: " + (dir / "music" / "evil.mp3").string() + why +
                           "pelmix-cli: warning: " + (dir / "music" / "notes.mp3").string() + why);
    EXPECT_EQ(ReadFile(dir / "outside" / "important.conf"), tagged) << c.command[0];
    EXPECT_EQ(ReadFile(dir / "music" / "notes.txt"), tagged) << c.command[0];
    EXPECT_EQ(ReadFile(dir / "music" / "song.mp3"), c.song) << c.command[0];
  }
}

// A walk once kept every folder's full path for each of its entries at every level above:
// memory grew with the square of the depth, to 70 MB at 1,000 folders (289 MB at 2,000).
TEST(RecursiveWalkTest, TheWalkOfADeepTreeStaysSmall) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer keeps freed memory for a while: the peak is its own";
#endif
  TempDir dir;
  // Made and removed as strings: paths of a thousand components are slow to handle.
  const std::string top = (dir / "top").string();
  std::string deepest = top;
  ASSERT_EQ(::mkdir(top.c_str(), 0700), 0);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(::mkdir((deepest += "/d").c_str(), 0700), 0);
  WriteFile(deepest + "/x.mp3", Concat(Audio(10), TagBytes("Deep")));
  const auto removeTree = [&] {
    ::unlink((deepest + "/x.mp3").c_str());
    for (std::string folder = deepest; folder.size() >= top.size(); folder.resize(folder.size() - 2)) {
      ::rmdir(folder.c_str());
    }
  };
  long peakKilobytes = -1;
  // In a child of its own, whose only child is the program, so that the peak is the program's.
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const int status = RunInChild([&] {
    ::close(pipeEnds[0]);
    const ProgramRun shown = RunPelmixCli({"show", "-1", "-r", top});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const long peak = shown.status == 0 && shown.out == deepest +
                                                            "/x.mp3: track=none title=\"Deep\" artist=\"\" "
                                                            "album=\"\" year=\"\" genre=none comment=\"\"\n"
                          ? usage.ru_maxrss
                          : -1;
    return ::write(pipeEnds[1], &peak, sizeof peak) == sizeof peak ? 0 : 1;
  });
  ::close(pipeEnds[1]);
  ASSERT_EQ(::read(pipeEnds[0], &peakKilobytes, sizeof peakKilobytes), static_cast<ssize_t>(sizeof peakKilobytes));
  ::close(pipeEnds[0]);
  removeTree();
  ASSERT_EQ(status, 0);
  ASSERT_NE(peakKilobytes, -1) << "show did not find the one file";
  EXPECT_LT(peakKilobytes, 32 * 1024);
}
#endif

}  // namespace
}  // namespace pelmix::test
