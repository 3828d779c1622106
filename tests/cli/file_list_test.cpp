// The files a walk gives: what lies in the folder, in natural order, never a link's target;
// a folder that cannot be listed is told with its reason while the rest is still found. A
// stand-in listing makes the failure happen anywhere, Wine included.
#include "cli/file_list.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace pelmix::cli {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Relative(const std::vector<NativeName>& files, const fs::path& base) {
  std::vector<fs::path> relative;
  for (const NativeName& file : files) relative.push_back(fs::path(file).lexically_relative(base));
  return relative;
}

TEST(FileListTest, AFolderThatCannotBeListedIsToldAndTheRestIsFound) {
  test::TempDir dir;
  for (const char* folder : {"a", "bad", "c"}) fs::create_directory(dir / folder);
  for (const char* file : {"a/1.mp3", "bad/2.mp3", "c/3.mp3", "c/notes.txt"}) test::WriteFile(dir / file, "x");
  const FolderLister failingBad = [](const fs::path& folder, std::vector<fs::directory_entry>& entries) {
    if (folder.filename() == "bad") return std::make_error_code(std::errc::permission_denied);
    return ListFolder(folder, entries);
  };
  const FileList list = CollectFiles({dir.path().native()}, true, failingBad);
  ASSERT_EQ(list.files.size(), 2u);
  EXPECT_EQ(fs::path(list.files[0]), dir / "a" / "1.mp3");
  EXPECT_EQ(fs::path(list.files[1]), dir / "c" / "3.mp3");
  ASSERT_EQ(list.failures.size(), 1u);
  EXPECT_EQ(list.failures[0].path, dir / "bad");
  EXPECT_EQ(list.failures[0].reason, "permission denied");
}

// Folders and files interleave by name, numbers by value, each folder's files together,
// however the disk lists them.
TEST(FileListTest, AWalkGivesTheWholeTreeInNaturalOrder) {
  test::TempDir dir;
  for (const char* folder : {"b", "b/Disc 10", "b/Disc 9", "a 2"}) fs::create_directory(dir / folder);
  for (const char* file : {"b.mp3", "b/Disc 10/1.mp3", "b/Disc 9/10.mp3", "b/Disc 9/9.mp3", "a 2/x.mp3", "a.MP3"}) {
    test::WriteFile(dir / file, "x");
  }
  const FileList list = CollectFiles({dir.path().native()}, true);
  const std::vector<fs::path> expected = {"a 2/x.mp3",       "a.MP3",           "b/Disc 9/9.mp3",
                                          "b/Disc 9/10.mp3", "b/Disc 10/1.mp3", "b.mp3"};
  EXPECT_EQ(Relative(list.files, dir.path()), expected);
  EXPECT_TRUE(list.failures.empty());
}

#ifndef _WIN32  // symbolic links as POSIX has them
// A link inside the walked folder may point anywhere: it is never followed, and an .mp3 one
// is handed back to be told. Operands are taken as named, links included.
TEST(FileListTest, AWalkFollowsNoLinkButOperandsAreTakenAsNamed) {
  test::TempDir dir;
  fs::create_directories(dir / "music" / "disc");
  fs::create_directory(dir / "outside");
  for (const char* file : {"outside/important.conf", "outside/far.mp3", "music/notes.txt", "music/song.mp3"}) {
    test::WriteFile(dir / file, "x");
  }
  fs::create_symlink("../outside/important.conf", dir / "music" / "evil.mp3");
  fs::create_symlink("notes.txt", dir / "music" / "notes.mp3");
  fs::create_symlink("../../outside/far.mp3", dir / "music" / "disc" / "far.mp3");
  fs::create_symlink("missing", dir / "music" / "dangling.mp3");
  fs::create_directory_symlink("../outside", dir / "music" / "away");
  fs::create_symlink("notes.txt", dir / "music" / "notes link.txt");

  const FileList walked = CollectFiles({(dir / "music").native()}, true);
  EXPECT_EQ(Relative(walked.files, dir.path()), std::vector<fs::path>{"music/song.mp3"});
  const std::vector<fs::path> links = {dir / "music" / "dangling.mp3", dir / "music" / "disc" / "far.mp3",
                                       dir / "music" / "evil.mp3", dir / "music" / "notes.mp3"};
  EXPECT_EQ(walked.skippedLinks, links);
  EXPECT_TRUE(walked.failures.empty());

  const FileList named = CollectFiles({(dir / "music" / "evil.mp3").native(), (dir / "music" / "away").native()}, true);
  EXPECT_EQ(Relative(named.files, dir.path()), (std::vector<fs::path>{"music/evil.mp3", "music/away/far.mp3"}));
  EXPECT_TRUE(named.skippedLinks.empty());
}
#endif

}  // namespace
}  // namespace pelmix::cli
