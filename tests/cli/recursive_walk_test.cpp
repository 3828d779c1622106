// -r over a tree that fights back: a link that loops to its own folder and a folder that
// cannot be listed. Each file is stamped once, and the folder's failure is told and counted.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/run_program.h"
#include "tests/support/temp_dir.h"

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32  // symbolic links and folder permissions as POSIX has them
TEST(RecursiveWalkTest, LinkLoopsAreNotFollowedAndUnlistableFoldersAreReported) {
  TempDir dir;
  const fs::path root = dir / "album";
  fs::create_directories(root / "disc");
  fs::create_directories(root / "locked");
  WriteFile(root / "disc" / "1.mp3", Audio(100));
  WriteFile(root / "locked" / "2.mp3", Audio(100));
  fs::create_directory_symlink("..", root / "disc" / "loop");
  fs::create_symlink("1.mp3", root / "disc" / "link.mp3");  // a link to a file is taken as the file
  const fs::perms open = fs::perms::all;
  for (const fs::path& p : {dir.path(), root, root / "disc"}) fs::permissions(p, open);
  fs::permissions(root / "disc" / "1.mp3",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write);
  fs::permissions(root / "locked", fs::perms::none);

  const ProgramRun run = RunPelmixCli({"stamp", "-r", "--title", "x", root.string()}, true);
  fs::permissions(root / "locked", fs::perms::owner_all);
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  // The link is the file stamped just before: done once, the repeat said as such.
  EXPECT_EQ(run.out, (root / "disc" / "1.mp3").string() + ": appended\n" + (root / "disc" / "link.mp3").string() +
                         ": done once: the same file came earlier in the batch\n");
  EXPECT_EQ(run.err, "pelmix-cli: " + (root / "locked").string() + ": not listed: permission denied\n");
  EXPECT_EQ(ReadFile(root / "disc" / "1.mp3"), Concat(Audio(100), TagBytes("x")));
  EXPECT_EQ(ReadFile(root / "locked" / "2.mp3"), Audio(100));
}
#endif

}  // namespace
}  // namespace pelmix::test
