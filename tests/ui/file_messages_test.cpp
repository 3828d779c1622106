#include "ui/file_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelmix::ui {
namespace {

std::wstring Reason(FileOutcome outcome, std::errc error, WriteResult::Status status = WriteResult::Status::OpenFailed) {
  const ReadResult read{ReadResult::Status::OpenFailed, std::make_error_code(error)};
  const WriteResult write{status, std::make_error_code(error)};
  const auto failure = FailureOf("/m/a.mp3", outcome, read, write);
  return failure ? failure->reason : L"(none)";
}

TEST(FileMessagesTest, SaysWhyAFileWasNotStamped) {
  using enum FileOutcome;
  EXPECT_EQ(Reason(NotRead, std::errc::no_such_file_or_directory), L"The file was not found.");
  EXPECT_EQ(Reason(NotRead, std::errc::is_a_directory), L"It is a folder, not a file.");
  EXPECT_EQ(Reason(NotWritten, std::errc::permission_denied), L"Access is denied: the file may be read-only.");
  EXPECT_EQ(Reason(NotWritten, std::errc::device_or_resource_busy), L"Another program is using the file.");
  EXPECT_EQ(Reason(NotWritten, std::errc::io_error, WriteResult::Status::ChangedSinceRead),
            L"The file changed after it was loaded; load it again.");
  EXPECT_EQ(Reason(NotWritten, std::errc::io_error), L"The system reported error 5.");
  for (FileOutcome fine : {Loaded, Written, NoFile, ValueRefused, TrackRefused}) {
    EXPECT_EQ(Reason(fine, std::errc::permission_denied), L"(none)");
  }

  EXPECT_EQ(FailureMessage({"/m/a.mp3", true, L"The file was not found."}),
            L"Cannot read \"/m/a.mp3\".\n\nThe file was not found.");
  EXPECT_EQ(FailureMessage({"/m/a.mp3", false, L"The disk is full."}),
            L"The tag was not written to \"/m/a.mp3\".\n\nThe disk is full.");
}

TEST(FileMessagesTest, BatchMessagesCountAndNameTheFirstFew) {
  std::vector<FileFailure> failures;
  for (char c = 'a'; c <= 'g'; ++c) failures.push_back({std::string("/m/") + c + ".mp3", false, L"Why."});
  EXPECT_EQ(BatchFailureMessage(std::span(failures).first(1), 5), L"1 of 5 files were not stamped:\n\na.mp3: Why.");
  EXPECT_EQ(BatchFailureMessage(failures, 9000),
            L"7 of 9000 files were not stamped:\n\na.mp3: Why.\nb.mp3: Why.\nc.mp3: Why.\nd.mp3: Why.\ne.mp3: Why."
            L"\nand 2 more.");
  EXPECT_EQ(BatchStopMessage("/m/c.mp3", 3, 4, FileOutcome::TrackRefused, "256", std::span(failures).first(1)),
            L"Stopped before file 3 of 4, \"c.mp3\": its track number would be 256, and a track number goes up to "
            L"255.\n\nThe files before it were processed; it and the files after it were left as they were.\n\n"
            L"1 of 2 files were not stamped:\n\na.mp3: Why.");
}

}  // namespace
}  // namespace pelmix::ui
