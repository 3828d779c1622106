// The message boxes' words for files not stamped, alone and in a batch.
#include "ui/file_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelmix::ui {
namespace {

FileResult Failed(FileOutcome outcome, std::errc error, WriteResult::Status status = WriteResult::Status::OpenFailed,
                  const char* path = "/m/a.mp3") {
  FileResult result{.outcome = outcome, .path = path};
  result.read = {ReadResult::Status::OpenFailed, std::make_error_code(error)};
  result.write = {status, std::make_error_code(error)};
  return result;
}

TEST(FileMessagesTest, SaysWhyAFileWasNotStamped) {
  using enum FileOutcome;
  EXPECT_EQ(FailureReason(Failed(NotRead, std::errc::no_such_file_or_directory)), L"The file was not found.");
  EXPECT_EQ(FailureReason(Failed(NotRead, std::errc::is_a_directory)), L"It is a folder, not a file.");
  // A failed read is worded from the read, even where the write before it says something else.
  EXPECT_EQ(FailureReason(Failed(NotRead, std::errc::is_a_directory, WriteResult::Status::ChangedSinceRead)),
            L"It is a folder, not a file.");
  EXPECT_EQ(FailureReason(Failed(NotWritten, std::errc::permission_denied)),
            L"Access is denied: the file may be read-only.");
  EXPECT_EQ(FailureReason(Failed(NotWritten, std::errc::device_or_resource_busy)),
            L"Another program is using the file.");
  EXPECT_EQ(FailureReason(Failed(NotWritten, std::errc::io_error, WriteResult::Status::ChangedSinceRead)),
            L"The file changed after it was loaded; load it again.");
  EXPECT_EQ(FailureReason(Failed(NotWritten, std::errc::io_error)), L"The system reported error 5.");
  for (FileOutcome fine : {Loaded, Written, Unchanged, NoFile, ValueRefused, TrackRefused}) {
    EXPECT_FALSE(Failed(fine, std::errc::permission_denied).failed()) << static_cast<int>(fine);
  }

  EXPECT_EQ(FailureMessage(Failed(NotRead, std::errc::no_such_file_or_directory)),
            L"Cannot read \"/m/a.mp3\".\n\nThe file was not found.");
  EXPECT_EQ(FailureMessage(Failed(NotWritten, std::errc::no_space_on_device)),
            L"The tag was not written to \"/m/a.mp3\".\n\nThe disk is full.");
}

TEST(FileMessagesTest, BatchMessagesCountAndNameTheFirstFew) {
  std::vector<FileResult> failures;
  for (char c = 'a'; c <= 'g'; ++c) {
    failures.push_back(Failed(FileOutcome::NotWritten, std::errc::no_space_on_device, WriteResult::Status::WriteFailed,
                              (std::string("/m/") + c + ".mp3").c_str()));
  }
  EXPECT_EQ(BatchFailureMessage(std::span(failures).first(1), 5),
            L"1 of 5 files were not stamped:\n\na.mp3: The disk is full.");
  // Five are all named, with nothing said of more.
  EXPECT_EQ(BatchFailureMessage(std::span(failures).first(5), 5),
            L"5 of 5 files were not stamped:\n\na.mp3: The disk is full.\nb.mp3: The disk is full.\nc.mp3: The disk "
            L"is full.\nd.mp3: The disk is full.\ne.mp3: The disk is full.");
  EXPECT_EQ(BatchFailureMessage(failures, 9000),
            L"7 of 9000 files were not stamped:\n\na.mp3: The disk is full.\nb.mp3: The disk is full.\nc.mp3: The disk "
            L"is full.\nd.mp3: The disk is full.\ne.mp3: The disk is full."
            L"\nand 2 more.");
  EXPECT_EQ(BatchStopMessage("/m/c.mp3", 3, 4, FileOutcome::TrackRefused, "256", std::span(failures).first(1)),
            L"Stopped before file 3 of 4, \"c.mp3\": its track number would be 256, and a track number goes up to "
            L"255.\n\nThe files before it were processed; it and the files after it were left as they were.\n\n"
            L"1 of 2 files were not stamped:\n\na.mp3: The disk is full.");
  // A typed track that is no number: the reason, not the text (whose bytes are the window's code page).
  for (const char* typed : {"3rd", "\xE9", "-1"}) {
    EXPECT_EQ(BatchStopMessage("/m/c.mp3", 1, 4, FileOutcome::TrackRefused, typed, {}),
              L"Stopped before file 1 of 4, \"c.mp3\": its track number must be a number up to 255, or empty for "
              L"none.\n\nThe files before it were processed; it and the files after it were left as they were.")
        << typed;
  }
}

}  // namespace
}  // namespace pelmix::ui
