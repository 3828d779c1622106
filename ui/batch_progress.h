// Where a batch is, shown a few times a second rather than per file, so that a long batch
// can be followed and a short one costs nothing to show.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace pelmix::ui {

class BatchProgress {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Told the position (from 1) and the file that is starting.
  using Show = std::function<void(std::size_t position, std::size_t total, const std::filesystem::path& file)>;

  // Between two showings; the first comes this long after the batch starts.
  static constexpr std::chrono::milliseconds kInterval{250};

  BatchProgress(std::size_t total, Show show, Clock clock = &std::chrono::steady_clock::now);

  // The file at `position` (from 1) of the batch starts.
  void Starting(std::size_t position, const std::filesystem::path& file);

 private:
  std::size_t total_;
  Show show_;
  Clock clock_;
  std::chrono::steady_clock::time_point due_;
};

// The window's title while a batch runs: "Pelmix -  37 of 1000: name.mp3".
std::wstring BatchProgressTitle(std::size_t position, std::size_t total, const std::filesystem::path& file);

}  // namespace pelmix::ui
