// Deciding by the clock when a batch shows where it is.
#include "ui/batch_progress.h"

#include <utility>

#include "core/text_codec.h"

namespace pelmix::ui {

BatchProgress::BatchProgress(std::size_t total, Show show, Clock clock)
    : total_(total), show_(std::move(show)), clock_(std::move(clock)), due_(clock_() + kInterval) {}

void BatchProgress::Starting(std::size_t position, const std::filesystem::path& file) {
  const auto now = clock_();
  if (now < due_) return;
  // Counted from now, not from when it was due: a slow showing never piles up behind.
  due_ = now + kInterval;
  show_(position, total_, file);
}

std::wstring BatchProgressTitle(std::size_t position, std::size_t total, const std::filesystem::path& file) {
  return L"Pelmix -  " + std::to_wstring(position) + L" of " + std::to_wstring(total) + L": " +
         PathWideText(file.filename());
}

}  // namespace pelmix::ui
