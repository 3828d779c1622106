// A folder that cannot be listed, met during -r, is told with its reason while the rest of
// the tree is still found; a stand-in listing makes it happen anywhere, Wine included.
#include <gtest/gtest.h>

#include "cli/file_list.h"
#include "tests/support/temp_dir.h"

namespace pelmix::cli {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace pelmix::cli
