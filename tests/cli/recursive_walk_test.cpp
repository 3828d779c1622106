// -r over a tree that fights back: links that loop or lead out of the folder, a folder that
// cannot be listed, a depth of thousands of folders. Each file in the folder is done once,
// nothing outside it is touched, and the walk's memory stays small.
#include <gtest/gtest.h>

#include <cstdio>
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
// Links planted in the folder, to a file outside it and to a file beside them that is no
// .mp3, and one that loops: their targets are left alone and each .mp3 link is told once,
// as no failure; the folder that cannot be listed is one.
TEST(RecursiveWalkTest, LinksAreNotFollowedAndUnlistableFoldersAreReported) {
  const Bytes tagged = Concat(Audio(100), TagBytes("Keep"));
  struct Case {
    std::vector<std::string> command;
    const char* outcome;
    Bytes song;
  };
  const Case cases[] = {
      {{"stamp", "-r", "--artist", "Band"}, ": written in place\n", Concat(Audio(100), TagBytes("Keep", "Band"))},
      {{"strip", "-r"}, ": stripped\n", Audio(100)},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path root = dir / "album";
    for (const fs::path& folder : {root, root / "disc", root / "locked", dir / "outside"}) fs::create_directory(folder);
    for (const fs::path& file :
         {root / "disc" / "1.mp3", root / "locked" / "2.mp3", root / "notes.txt", dir / "outside" / "important.conf"}) {
      WriteFile(file, tagged);
    }
    fs::create_directory_symlink("..", root / "disc" / "loop");
    fs::create_symlink("../outside/important.conf", root / "evil.mp3");
    fs::create_symlink("notes.txt", root / "notes.mp3");
    for (const fs::path& p : {dir.path(), root, root / "disc", dir / "outside"}) fs::permissions(p, fs::perms::all);
    for (const fs::path& p : {root / "disc" / "1.mp3", root / "notes.txt", dir / "outside" / "important.conf"}) {
      fs::permissions(p, fs::perms::all);
    }
    fs::permissions(root / "locked", fs::perms::none);
    std::vector<std::string> arguments = c.command;
    arguments.push_back(root.string());

    const ProgramRun run = RunPelmixCli(arguments, true);
    fs::permissions(root / "locked", fs::perms::owner_all);
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.out, (root / "disc" / "1.mp3").string() + c.outcome);
    const std::string why = ": a link, not followed: -r takes only the files that lie in the folder\n";
    EXPECT_EQ(run.err, "pelmix-cli: " + (root / "locked").string() + ": not listed: permission denied\n" +
                           "pelmix-cli: warning: " + (root / "evil.mp3").string() + why +
                           "pelmix-cli: warning: " + (root / "notes.mp3").string() + why);
    EXPECT_EQ(ReadFile(root / "disc" / "1.mp3"), c.song) << c.command[0];
    for (const fs::path& untouched :
         {root / "locked" / "2.mp3", root / "notes.txt", dir / "outside" / "important.conf"}) {
      EXPECT_EQ(ReadFile(untouched), tagged) << c.command[0] << " " << untouched;
    }
  }
}

// The walk's memory grows with the depth, not with its square: a walk that keeps the full
// paths of every level's entries needs 70 MB at 1,000 folders (289 MB at 2,000).
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
  // In a child of its own, whose only child is the program, so that the peak is the program's.
  const int status = RunInChild([&] {
    const ProgramRun shown = RunPelmixCli({"show", "-1", "-r", top});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::fprintf(stderr, "peak: %ld KiB\n", usage.ru_maxrss);
    if (shown.status != 0 || shown.out.find(deepest + "/x.mp3: track=none title=\"Deep\"") != 0) return 2;
    return usage.ru_maxrss < 32 * 1024 ? 0 : 1;
  });
  removeTree();
  EXPECT_EQ(status, 0) << "1: more than 32 MiB, 2: the file was not shown";
}
#endif

}  // namespace
}  // namespace pelmix::test
