// What the window tells the user about files it could not stamp, in the words of its
// message boxes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "core/tag_file.h"
#include "session/tag_edit_session.h"

namespace pelmix::ui {

struct FileFailure {
  std::filesystem::path path;
  bool readFailed = false;  // false: read, but the write failed
  std::wstring reason;      // a sentence
};

// The failure a file's outcome stands for, with the reason from the session's last read or
// write; nothing for an outcome that is no failure of the file.
std::optional<FileFailure> FailureOf(const std::filesystem::path& path, FileOutcome outcome, const ReadResult& read,
                                     const WriteResult& write);

// One file brought in alone, or one Update.
std::wstring FailureMessage(const FileFailure& failure);
// A batch of `total` files in which these failed: how many, and the first few by name.
std::wstring BatchFailureMessage(std::span<const FileFailure> failures, std::size_t total);
// A batch that stopped before the file at `position` (from 1) of `total`, whose values could
// not be stored; trackText is the track number that would have been written.
std::wstring BatchStopMessage(const std::filesystem::path& path, std::size_t position, std::size_t total,
                              FileOutcome outcome, const std::string& trackText,
                              std::span<const FileFailure> failuresBefore);

inline constexpr wchar_t kTrackRangeMessage[] = L"The track number must be a number up to 255, or empty for none.";

}  // namespace pelmix::ui
