// Which files a drop brings, in which order: single files, batches and folders.
#include "ui/dropped_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace pelmix::ui {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Names relative to the folder, with "/" between components, as the tables write them.
std::vector<std::string> Relative(const std::vector<fs::path>& paths, const fs::path& base) {
  std::vector<std::string> names;
  for (const auto& path : paths) names.push_back(path.lexically_relative(base).generic_string());
  return names;
}

class DroppedItemsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* file :
         {"a.mp3", "b.mp3", "SONG.MP3", "notes.txt", "x.wav", "album/Track 10.mp3", "album/Track 2.mp3",
          "album/track 1.MP3", "album/cover.jpg", "album/Track 3.mp3.bak", "album/disc 2/Track 1.mp3"}) {
      fs::create_directories((dir_ / file).parent_path());
      test::WriteFile(dir_ / file, "x");
    }
    for (const char* folder : {"empty", "x.mp3", "album/y.mp3"}) fs::create_directories(dir_ / folder);
  }

  std::vector<fs::path> Items(const std::vector<std::string>& names) const {
    std::vector<fs::path> items;
    for (const std::string& name : names) items.push_back(name == "<unread>" ? fs::path() : dir_ / name);
    return items;
  }

  TempDir dir_;
};

TEST_F(DroppedItemsTest, OutsideAutoUpdateOneMp3FileOrNothing) {
  const struct {
    std::vector<std::string> dropped;
    std::vector<std::string> files;
  } cases[] = {
      {{"a.mp3"}, {"a.mp3"}},
      {{"SONG.MP3"}, {"SONG.MP3"}},
      {{"notes.txt"}, {}},
      {{"a.mp3", "b.mp3"}, {}},
      {{"album"}, {}},
      // A folder is no .mp3 file, whatever its name.
      {{"x.mp3"}, {}},
      {{"<unread>"}, {}},
      {{}, {}},
      // A name that names nothing yet is left for loading to report.
      {{"gone.mp3"}, {"gone.mp3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.dropped));
    const DropPlan plan = PlanDrop(Items(c.dropped), false);
    EXPECT_EQ(Relative(plan.files, dir_.path()), c.files);
    EXPECT_TRUE(plan.unreadableFolders.empty());
  }
}

TEST_F(DroppedItemsTest, AutoUpdateTakesMp3FilesAndTheMp3FilesDirectlyInFolders) {
  const struct {
    std::vector<std::string> dropped;
    std::vector<std::string> files;
  } cases[] = {
      {{"b.mp3", "x.wav", "a.mp3", "<unread>", "SONG.MP3"}, {"b.mp3", "a.mp3", "SONG.MP3"}},
      // Natural order of the names; no subfolder, not even one named like a file.
      {{"album"}, {"album/track 1.MP3", "album/Track 2.mp3", "album/Track 10.mp3"}},
      // Each folder's files stand where the folder was dropped.
      {{"b.mp3", "album", "a.mp3"}, {"b.mp3", "album/track 1.MP3", "album/Track 2.mp3", "album/Track 10.mp3", "a.mp3"}},
      {{"x.mp3"}, {}},
      {{"empty", "notes.txt"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.dropped));
    const DropPlan plan = PlanDrop(Items(c.dropped), true);
    EXPECT_EQ(Relative(plan.files, dir_.path()), c.files);
    EXPECT_TRUE(plan.unreadableFolders.empty());
  }
}

TEST_F(DroppedItemsTest, AFolderThatCannotBeReadIsReportedAndTheRestTaken) {
  const auto refuseAlbum = [&](const fs::path& folder, std::error_code& error) {
    if (folder == dir_ / "album") {
      error = std::make_error_code(std::errc::permission_denied);
      return std::vector<fs::path>{dir_ / "album/Track 2.mp3"};
    }
    return EntriesOfFolder(folder, error);
  };
  const DropPlan plan = PlanDrop(Items({"album", "a.mp3", "x.mp3"}), true, refuseAlbum);
  EXPECT_EQ(Relative(plan.files, dir_.path()), std::vector<std::string>{"a.mp3"});
  ASSERT_EQ(plan.unreadableFolders.size(), 1u);
  EXPECT_EQ(plan.unreadableFolders[0].first, dir_ / "album");
  EXPECT_EQ(plan.unreadableFolders[0].second, std::errc::permission_denied);

  std::error_code error;
  EXPECT_TRUE(EntriesOfFolder(dir_ / "no such folder", error).empty());
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace pelmix::ui
