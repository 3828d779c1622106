// Stamping files with what they already hold changes no byte: the genre alone, and the track
// number the file shows, in Update mode as a user would; on our fixtures and on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/genre_list.h"
#include "session/tag_edit_session.h"
#include "tests/support/file_sets.h"
#include "tests/support/recording_exchange.h"
#include "tests/support/temp_dir.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

bool EndsInTag(const Bytes& file) {
  return file.size() > kTagSize && std::equal(file.end() - 128, file.end() - 125, "TAG");
}

// Stamps every tagged file beneath dir (a copy of it) in Update mode with its own genre,
// then with its own genre and track; returns how many files were stamped.
int StampEachWithWhatItHolds(const fs::path& dir) {
  GenreList genres;  // every code a byte holds, so each file's own genre can be chosen
  for (int code = 0; code < 256; ++code) genres.Add(std::to_string(code), code);
  test::TempDir temp;
  int stamped = 0;
  for (const fs::path& path : test::Mp3FilesIn(dir)) {
    const Bytes original = test::ReadFile(path);
    if (!EndsInTag(original)) continue;
    SCOPED_TRACE(path.string());
    const std::uint8_t track = original[original.size() - 2];
    const std::uint8_t genre = original.back();
    const fs::path copy = temp / "copy.mp3";

    // Only Genre ticked, then Genre and Track, each set to what the file shows.
    for (bool withTrack : {false, true}) {
      test::WriteFile(copy, original);
      test::RecordingExchange exchange;
      TagEditSession session(genres, exchange);
      session.Start();
      exchange.controls.mode = static_cast<int>(EditMode::Update);
      session.OnModeClicked();
      for (TagField field : kAllTagFields) exchange.controls.updateFlag[field] = 0;
      exchange.controls.updateFlag[TagField::Genre] = 1;
      exchange.controls.fields.genreIndex = genres.IndexOfCode(genre);
      if (withTrack) {
        exchange.controls.updateFlag[TagField::Track] = 1;
        exchange.controls.fields.trackText = track == 0 ? "" : std::to_string(track);
      }
      EXPECT_TRUE(session.LoadFile(copy));
      session.UpdateTag();
      EXPECT_TRUE(session.lastWrite().ok());
      EXPECT_EQ(test::ReadFile(copy), original) << (withTrack ? "genre and track" : "genre");
    }
    ++stamped;
  }
  return stamped;
}

TEST(StampWhatAFileHoldsTest, FixtureFilesKeepEveryByte) {
  ASSERT_FALSE(test::FixtureDir().empty()) << "PELMIX_FIXTURES is not set";
  EXPECT_EQ(StampEachWithWhatItHolds(test::FixtureDir()), 25);
}

TEST(StampWhatAFileHoldsTest, CorpusFilesKeepEveryByte) {
  PELMIX_SKIP_WITHOUT_CORPUS();
  EXPECT_GT(StampEachWithWhatItHolds(test::CorpusDir()), 200);
}

}  // namespace
}  // namespace pelmix
