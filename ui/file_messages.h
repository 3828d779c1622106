// What the window tells the user about files it could not stamp, in the words of its
// message boxes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>

#include "session/file_outcome.h"

namespace pelmix::ui {

// Why the file of a failed result was not read or written, as a sentence.
std::wstring FailureReason(const FileResult& failure);
// One file brought in alone, or one Update, that failed.
std::wstring FailureMessage(const FileResult& failure);
// A batch of `total` files in which these failed: how many, and the first few by name.
std::wstring BatchFailureMessage(std::span<const FileResult> failures, std::size_t total);
// A batch that stopped before the file at `position` (from 1) of `total`, whose values could
// not be stored; trackText is the track number that would have been written.
std::wstring BatchStopMessage(const std::filesystem::path& path, std::size_t position, std::size_t total,
                              FileOutcome outcome, const std::string& trackText,
                              std::span<const FileResult> failuresBefore);

inline constexpr wchar_t kTrackRangeMessage[] = L"The track number must be a number up to 255, or empty for none.";

}  // namespace pelmix::ui
