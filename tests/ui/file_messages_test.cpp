// The message boxes' words for files not stamped, alone and in a batch.
#include "ui/file_messages.h"

#include <gtest/gtest.h>

#include <ctime>
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
  for (FileOutcome fine : {Loaded, Written, Unchanged, NoFile, Repeated}) {
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
}

// Each kind of value the session refuses, in the window's words: alone (an Update) and as
// the reason a whole batch was refused.
TEST(FileMessagesTest, RefusedValuesSayWhatTheFieldTakes) {
  using enum ValueProblem;
  struct Case {
    FieldProblem problem;
    const wchar_t* alone;
    const wchar_t* batch;  // after "Nothing was stamped: file 3 of 4, "c.mp3", "
  };
  const Case cases[] = {
      {{.problem = NotInCodePage, .field = TagField::Artist, .character = U'\u03A9'},
       L"The Artist field holds \"\u03A9\", which this system's code page (1252) cannot store. Please replace it.",
       L"would get a value that cannot be stored:\n\nThe Artist field holds \"\u03A9\", which this system's code page "
       L"(1252) cannot store. Please replace it."},
      // A character outside the first plane is named whole, not by its halves.
      {{.problem = NotInCodePage, .field = TagField::Title, .character = U'\U0001F3B5'},
       L"The Title field holds \"\U0001F3B5\", which this system's code page (1252) cannot store. Please replace it.",
       nullptr},
      {{.problem = TooLong, .field = TagField::Title, .value = std::string(29, 't') + "10", .width = 30},
       L"Please enter no more than 30 characters.",
       L"would get a title longer than its 30 characters."},
      {{.problem = TooLong, .field = TagField::Comment, .width = 28, .trackTakesByte = true},
       L"With a track number the comment keeps no more than 28 characters: the track number takes its last place. "
       L"Please shorten it.",
       L"would get a track number, and with one the comment keeps no more than 28 characters."},
      {{.problem = NotATrackNumber, .field = TagField::Track, .value = "256"},
       L"The track number must be a number up to 255, or empty for none.",
       L"would get track number 256, and a track number goes up to 255."},
      // Typed text is the window's own code page: the reason, not the text.
      {{.problem = NotATrackNumber, .field = TagField::Track, .value = "3\xE9"},
       L"The track number must be a number up to 255, or empty for none.",
       L"would get a value that cannot be stored:\n\nThe track number must be a number up to 255, or empty for none."},
      {{.problem = GenreCode, .field = TagField::Genre, .code = 300},
       L"The genre chosen stands for code 300, which a tag cannot hold. Please choose another.",
       nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValueMessage(c.problem, 1252), c.alone);
    if (!c.batch) continue;
    EXPECT_EQ(BatchRefusalMessage(c.problem, "/m/c.mp3", 3, 4, 1252),
              std::wstring(L"Nothing was stamped: file 3 of 4, \"c.mp3\", ") + c.batch);
  }
  FileResult refused{.outcome = FileOutcome::ValueRefused, .path = "/m/c.mp3"};
  refused.problem = FieldProblem{.problem = TooLong, .field = TagField::Comment, .width = 28, .trackTakesByte = true};
  EXPECT_TRUE(refused.failed());
  EXPECT_EQ(FailureReason(refused), L"With its track number the comment keeps 28 characters.");
}

TEST(FileMessagesTest, DropsAndTheOpenDialogSayWhatWentWrong) {
  EXPECT_EQ(DropRefusedMessage(false),
            L"This mode takes one .mp3 file at a time; several files, or a folder, go in Auto Update.");
  EXPECT_EQ(DropRefusedMessage(true),
            L"Nothing to stamp: Auto Update takes .mp3 files, and folders with .mp3 files in them.");
  const std::pair<std::filesystem::path, std::error_code> folders[] = {
      {"/m/Live", std::make_error_code(std::errc::permission_denied)},
      {"/m/Gone", std::make_error_code(std::errc::no_such_file_or_directory)}};
  EXPECT_EQ(FolderUnreadableMessage(std::span(folders).first(1)),
            L"A folder dropped could not be read:\n\n\"/m/Live\": Access is denied: the file may be read-only.");
  EXPECT_EQ(FolderUnreadableMessage(folders),
            L"2 folders dropped could not be read:\n\n\"/m/Live\": Access is denied: the file may be read-only.\n"
            L"\"/m/Gone\": The file was not found.");
  EXPECT_EQ(OpenDialogErrorMessage(0x80004005),
            L"The Open dialog failed (the system reported 0x80004005). No file was "
            L"opened.");
  EXPECT_EQ(OpenDialogErrorMessage(0x3003),
            L"The Open dialog failed (the system reported 0x00003003). No file was "
            L"opened.");
}

// A local time as the journal keeps it, in nanoseconds since 1970.
std::int64_t At(int year, int month, int day, int hour, int minute) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&local)) * 1'000'000'000;
}

TEST(FileMessagesTest, UndoAsksWhatItTakesBackAndNamesWhatStayed) {
  const std::tm now = LocalTime(At(2026, 12, 8, 16, 30));
  struct Case {
    const char* command;
    std::size_t files;
    std::int64_t time;
    const wchar_t* question;
  };
  const Case cases[] = {
      {"stamp", 12, At(2026, 12, 8, 14, 2), L"Take back the stamp of 12 files from 14:02?"},
      {"update", 1, At(2026, 12, 8, 9, 5), L"Take back the update of 1 file from 09:05?"},
      {"undo", 3, At(2026, 12, 7, 23, 59), L"Take back the undo of 3 files from 2026-12-07 23:59?"},
      {"strip", 2, At(2025, 12, 8, 14, 2), L"Take back the strip of 2 files from 2025-12-08 14:02?"},
      {"rename", 4, At(2026, 12, 8, 16, 29), L"Take back the rename of 4 files from 16:29?"},
      // Words another program put in the journal are not repeated.
      {"\x1b[2Jrename", 2, At(2026, 12, 8, 14, 2), L"Take back the batch of 2 files from 14:02?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UndoQuestion({c.time, "pelmix-cli", c.command, {}}, c.files, now), c.question) << c.command;
  }

  const std::filesystem::path names[] = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/01 X.mp3", "/m/x.mp3", "/m/02 Y.mp3"};
  const UndoFileResult failures[] = {
      {UndoOutcome::Changed, &names[0], {}},
      {UndoOutcome::Failed, &names[1], std::make_error_code(std::errc::no_such_file_or_directory)},
      {UndoOutcome::NotJournaled, &names[2], std::make_error_code(std::errc::no_space_on_device)},
      {UndoOutcome::Changed, &names[3], std::make_error_code(std::errc::file_exists), &names[4]},
      {UndoOutcome::Changed, &names[5], {}, &names[4]},
  };
  EXPECT_EQ(UndoFailureMessage(failures, 12),
            L"5 of 12 files were not restored:\n\na.mp3: It changed after the batch wrote it, so it was left alone.\n"
            L"b.mp3: The file was not found.\nc.mp3: The undo journal could not be written (the disk is full).\n"
            L"01 X.mp3: Another file has its old name \"x.mp3\" now, so it was left alone.\n"
            L"02 Y.mp3: It is no longer the file the batch renamed, so it was left alone.");
  EXPECT_EQ(UndoRefusedMessage("is damaged (record 3 fails its check)"),
            L"The last batch cannot be taken back: its journal is damaged (record 3 fails its check). Nothing was "
            L"restored.");
}

TEST(FileMessagesTest, AJournalThatCannotBeWrittenStopsTheWrite) {
  const FileResult failure = Failed(FileOutcome::NotWritten, std::errc::read_only_file_system,
                                    WriteResult::Status::NotJournaled, "/m/Track 3.mp3");
  EXPECT_EQ(FailureReason(failure),
            L"The undo journal could not be written (the disk is write-protected), so the "
            L"file was not.");
  EXPECT_EQ(JournalUnavailableMessage("/j", std::make_error_code(std::errc::permission_denied)),
            L"Nothing was written: the undo journal in \"/j\" cannot be written (access is denied), and without it "
            L"the batch could not be taken back.");
  EXPECT_EQ(JournalStoppedMessage("/j", failure, 3, 12),
            L"The batch stopped at file 3 of 12, \"Track 3.mp3\": the undo journal in \"/j\" could not be written "
            L"(the disk is write-protected). The files before it were stamped and can be taken back with File > "
            L"Undo Last Batch.");
  EXPECT_EQ(JournalNotClosedMessage("/j", std::make_error_code(std::errc::no_space_on_device)),
            L"The undo journal in \"/j\" could not be closed (the disk is full): what was just written may "
            L"not be taken back with File > Undo Last Batch.");
}

}  // namespace
}  // namespace pelmix::ui
