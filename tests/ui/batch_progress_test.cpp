// When a batch shows where it is, by a clock the test turns, and the title it shows.
#include "ui/batch_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmix::ui {
namespace {

using namespace std::chrono_literals;

TEST(BatchProgressTest, ShowsAQuarterSecondApartCountedFromTheLastShowing) {
  const struct {
    std::chrono::milliseconds at;  // since the batch started
    bool shown;
  } steps[] = {{0ms, false},  {249ms, false}, {250ms, true},   {251ms, false}, {499ms, false},
               {500ms, true}, {1200ms, true}, {1449ms, false}, {1450ms, true}, {1450ms, false}};
  const auto start = std::chrono::steady_clock::time_point() + 1h;
  auto now = start;
  std::vector<std::string> shown;
  BatchProgress progress(
      90,
      [&](std::size_t position, std::size_t total, const std::filesystem::path& file) {
        std::string text = std::to_string(position);
        text += '/';
        text += std::to_string(total);
        text += ' ';
        text += file.string();
        shown.push_back(text);
      },
      [&] { return now; });
  std::vector<std::string> expected;
  std::size_t position = 0;
  for (const auto& step : steps) {
    now = start + step.at;
    ++position;
    std::string file = std::to_string(position);
    file += ".mp3";
    progress.Starting(position, file);
    if (step.shown) expected.push_back(std::to_string(position) + "/90 " + file);
  }
  EXPECT_EQ(shown, expected);
}

TEST(BatchProgressTest, TitleNamesThePositionAndTheFile) {
  EXPECT_EQ(BatchProgressTitle(37, 1000, "/m/Track 37.mp3"), L"Pelmix -  37 of 1000: Track 37.mp3");
  EXPECT_EQ(BatchProgressTitle(1, 2, "a.mp3"), L"Pelmix -  1 of 2: a.mp3");
}

}  // namespace
}  // namespace pelmix::ui
