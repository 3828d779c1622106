// The ".mp3" name test: any letter case, and only the last component's extension.
#include "core/mp3_name.h"

#include <gtest/gtest.h>

namespace pelmix {
namespace {

TEST(Mp3NameTest, OnlyTheLastComponentsExtensionCounts) {
  struct Case {
    const char* name;
    bool mp3;
  };
  const Case cases[] = {
      {"SONG.MP3", true},      {"song.Mp3", true},
      {".mp3", true},          {"C:\\music\\a.mp3", true},
      {"C:.mp3", true},        {"/music/a.mp3", true},
      {"notes.txt", false},    {"song.mp3.bak", false},
      {"song.mp3 ", false},    {"songmp3", false},
      {"x.mp3\\song", false},  {"x.mp3/song", false},
      {"C:x.mp3\\", false},    {"", false},
      {"a.mp4", false},        {"a.\xC4\xB0mp3", false},
      {"a.mp\xC3\xA9", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasMp3Extension(std::filesystem::path(c.name)), c.mp3) << c.name;
  }
}

}  // namespace
}  // namespace pelmix
