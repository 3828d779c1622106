// Wording the window's messages about files that could not be read or written, and values
// that could not be stored.
#include "ui/file_messages.h"

#include <algorithm>
#include <cwchar>
#include <optional>
#include <system_error>

#include "core/ascii.h"
#include "core/file_error.h"
#include "core/text_codec.h"

namespace pelmix::ui {
namespace {

// Names listed in a batch's message; the count says the rest.
constexpr std::size_t kNamesShown = 5;

std::wstring ErrorReason(const std::error_code& error) {
  switch (KindOf(error)) {
    case FileErrorKind::NotFound: return L"The file was not found.";
    case FileErrorKind::PermissionDenied: return L"Access is denied: the file may be read-only.";
    case FileErrorKind::ReadOnlyFileSystem: return L"The disk is write-protected.";
    case FileErrorKind::IsADirectory: return L"It is a folder, not a file.";
    case FileErrorKind::NotARegularFile: return L"It is not a regular file.";
    case FileErrorKind::DiskFull: return L"The disk is full.";
    case FileErrorKind::FileTooLarge: return L"The file is too large.";
    case FileErrorKind::InUse: return L"Another program is using the file.";
    case FileErrorKind::NameTooLong: return L"The name is too long.";
    case FileErrorKind::TooManyOpenFiles:
    case FileErrorKind::IoError:
    case FileErrorKind::Other: break;
  }
  // The system's own text would come in the ANSI code page; the number is enough to look up.
  return L"The system reported error " + std::to_wstring(error.value()) + L".";
}

// Why the journal could not take a record: its own words, since the file named in the
// message is not the one that failed.
std::wstring JournalReason(const std::error_code& error) {
  switch (KindOf(error)) {
    case FileErrorKind::NotFound: return L"its folder cannot be made";
    case FileErrorKind::PermissionDenied: return L"access is denied";
    case FileErrorKind::ReadOnlyFileSystem: return L"the disk is write-protected";
    case FileErrorKind::DiskFull: return L"the disk is full";
    case FileErrorKind::FileTooLarge: return L"the file size limit is reached";
    default: break;
  }
  return L"the system reported error " + std::to_wstring(error.value());
}

std::wstring Quoted(const std::filesystem::path& path) { return L"\"" + PathWideText(path) + L"\""; }

// The field as the window labels it.
const wchar_t* Label(TagField field) {
  switch (field) {
    case TagField::Track: return L"Track";
    case TagField::Genre: return L"Genre";
    case TagField::Title: return L"Title";
    case TagField::Artist: return L"Artist";
    case TagField::Album: return L"Album";
    case TagField::Year: return L"Year";
    case TagField::Comment: break;
  }
  return L"Comment";
}

// Digits read the same in every code page, UTF-8 among them; other text is the window's own
// and is not quoted back.
std::optional<std::wstring> DigitsText(const std::string& text) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsAsciiDigit)) return std::nullopt;
  return WideFromUtf8(text);
}

std::wstring CharacterText(char32_t character) {
  std::string utf8;
  AppendUtf8(utf8, character);
  return WideFromUtf8(utf8);
}

std::wstring Width(const FieldProblem& problem) { return std::to_wstring(problem.width); }

}  // namespace

std::wstring FailureReason(const FileResult& failure) {
  if (failure.outcome == FileOutcome::ValueRefused && failure.problem) {
    const FieldProblem& problem = *failure.problem;
    if (problem.problem == ValueProblem::TooLong && problem.trackTakesByte) {
      return L"With its track number the comment keeps " + Width(problem) + L" characters.";
    }
    return L"The " + std::wstring(Label(problem.field)) + L" cannot be stored.";
  }
  if (failure.changedSinceRead()) return L"The file changed after it was loaded; load it again.";
  if (failure.outcome == FileOutcome::NotWritten && failure.write.status == WriteResult::Status::NotJournaled) {
    return L"The undo journal could not be written (" + JournalReason(failure.error()) + L"), so the file was not.";
  }
  return ErrorReason(failure.error());
}

std::wstring FailureMessage(const FileResult& failure) {
  return (failure.outcome == FileOutcome::NotRead ? L"Cannot read " : L"The tag was not written to ") +
         Quoted(failure.path) + L".\n\n" + FailureReason(failure);
}

std::wstring BatchFailureMessage(std::span<const FileResult> failures, std::size_t total) {
  std::wstring text = std::to_wstring(failures.size()) + L" of " + std::to_wstring(total) +
                      L" files were not stamped:\n";
  for (std::size_t i = 0; i < failures.size() && i < kNamesShown; ++i) {
    text += L"\n" + PathWideText(failures[i].path.filename()) + L": " + FailureReason(failures[i]);
  }
  if (failures.size() > kNamesShown) text += L"\nand " + std::to_wstring(failures.size() - kNamesShown) + L" more.";
  return text;
}

std::wstring ValueMessage(const FieldProblem& problem, unsigned codePage) {
  switch (problem.problem) {
    case ValueProblem::NotInCodePage:
      return L"The " + std::wstring(Label(problem.field)) + L" field holds \"" + CharacterText(problem.character) +
             L"\", which this system's code page (" + std::to_wstring(codePage) + L") cannot store. Please replace it.";
    case ValueProblem::TooLong:
      if (problem.trackTakesByte) {
        return L"With a track number the comment keeps no more than " + Width(problem) +
               L" characters: the track number takes its last place. Please shorten it.";
      }
      return L"Please enter no more than " + Width(problem) + L" characters.";
    case ValueProblem::NotATrackNumber: return L"The track number must be a number up to 255, or empty for none.";
    case ValueProblem::GenreCode:
      return L"The genre chosen stands for code " + std::to_wstring(problem.code) +
             L", which a tag cannot hold. Please choose another.";
    case ValueProblem::InvalidText:
    case ValueProblem::NameMismatch: break;
  }
  return L"The " + std::wstring(Label(problem.field)) + L" field cannot be stored.";
}

std::wstring BatchRefusalMessage(const FieldProblem& problem, const std::filesystem::path& path, std::size_t position,
                                 std::size_t total, unsigned codePage) {
  std::wstring text = L"Nothing was stamped: file " + std::to_wstring(position) + L" of " + std::to_wstring(total) +
                      L", " + Quoted(path.filename()) + L", ";
  const std::optional<std::wstring> digits = DigitsText(problem.value);
  if (problem.problem == ValueProblem::NotATrackNumber && digits) {
    return text + L"would get track number " + *digits + L", and a track number goes up to 255.";
  }
  if (problem.problem == ValueProblem::TooLong && problem.trackTakesByte) {
    return text + L"would get a track number, and with one the comment keeps no more than " + Width(problem) +
           L" characters.";
  }
  if (problem.problem == ValueProblem::TooLong) {
    std::wstring field = Label(problem.field);
    field[0] = static_cast<wchar_t>(field[0] - L'A' + L'a');
    return text + L"would get a " + field + L" longer than its " + Width(problem) + L" characters.";
  }
  return text + L"would get a value that cannot be stored:\n\n" + ValueMessage(problem, codePage);
}

std::wstring FolderUnreadableMessage(std::span<const std::pair<std::filesystem::path, std::error_code>> folders) {
  std::wstring text = folders.size() == 1 ? L"A folder dropped could not be read:\n"
                                          : std::to_wstring(folders.size()) + L" folders dropped could not be read:\n";
  for (std::size_t i = 0; i < folders.size() && i < kNamesShown; ++i) {
    text += L"\n" + Quoted(folders[i].first) + L": " + ErrorReason(folders[i].second);
  }
  if (folders.size() > kNamesShown) text += L"\nand " + std::to_wstring(folders.size() - kNamesShown) + L" more.";
  return text;
}

std::wstring DropRefusedMessage(bool autoUpdate) {
  return autoUpdate ? L"Nothing to stamp: Auto Update takes .mp3 files, and folders with .mp3 files in them."
                    : L"This mode takes one .mp3 file at a time; several files, or a folder, go in Auto Update.";
}

std::wstring OpenDialogErrorMessage(unsigned long code) {
  wchar_t hex[16] = {};
  std::swprintf(hex, 16, L"%08lX", code);
  return L"The Open dialog failed (the system reported 0x" + std::wstring(hex) + L"). No file was opened.";
}

std::wstring JournalUnavailableMessage(const std::filesystem::path& folder, const std::error_code& error) {
  return L"Nothing was written: the undo journal in " + Quoted(folder) + L" cannot be written (" +
         JournalReason(error) + L"), and without it the batch could not be taken back.";
}

std::wstring JournalNotClosedMessage(const std::filesystem::path& folder, const std::error_code& error) {
  return L"The undo journal in " + Quoted(folder) + L" could not be closed (" + JournalReason(error) +
         L"): what was just written may not be taken back with File > Undo Last Batch.";
}

std::wstring JournalStoppedMessage(const std::filesystem::path& folder, const FileResult& failure, std::size_t position,
                                   std::size_t total) {
  return L"The batch stopped at file " + std::to_wstring(position) + L" of " + std::to_wstring(total) + L", " +
         Quoted(failure.path.filename()) + L": the undo journal in " + Quoted(folder) + L" could not be written (" +
         JournalReason(failure.error()) +
         L"). The files before it were stamped and can be taken back with File > Undo Last Batch.";
}

std::wstring UndoQuestion(const BatchHeader& batch, std::size_t files, const std::tm& now) {
  // The journal's words are its own: only those the window knows are repeated.
  const wchar_t* what = L"batch";
  for (const auto& [command, words] :
       {std::pair{"stamp", L"stamp"}, std::pair{"strip", L"strip"}, std::pair{"update", L"update"},
        std::pair{"undo", L"undo"}, std::pair{"rename", L"rename"}}) {
    if (batch.command == command) what = words;
  }
  const std::tm when = LocalTime(batch.time);
  wchar_t time[64] = {};
  if (when.tm_year == now.tm_year && when.tm_yday == now.tm_yday) {
    std::swprintf(time, 64, L"%02d:%02d", when.tm_hour, when.tm_min);
  } else {
    std::swprintf(time, 64, L"%04d-%02d-%02d %02d:%02d", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
                  when.tm_hour, when.tm_min);
  }
  return L"Take back the " + std::wstring(what) + L" of " + std::to_wstring(files) +
         (files == 1 ? L" file" : L" files") + L" from " + time + L"?";
}

std::wstring UndoRefusedMessage(const std::string& problem) {
  // The problem is the journal reader's English, ASCII but for nothing it quotes.
  return L"The last batch cannot be taken back: its journal " + WideFromUtf8(problem) + L". Nothing was restored.";
}

std::wstring UndoFailureMessage(std::span<const UndoFileResult> failures, std::size_t total) {
  std::wstring text = std::to_wstring(failures.size()) + L" of " + std::to_wstring(total) +
                      L" files were not restored:\n";
  for (std::size_t i = 0; i < failures.size() && i < kNamesShown; ++i) {
    const UndoFileResult& failure = failures[i];
    text += L"\n" + PathWideText(failure.path->filename()) + L": ";
    switch (failure.outcome) {
      case UndoOutcome::Changed:
        if (failure.renamedBackTo && failure.error == std::errc::file_exists) {
          text += L"Another file has its old name " + Quoted(failure.renamedBackTo->filename()) +
                  L" now, so it was left alone.";
        } else if (failure.renamedBackTo) {
          text += L"It is no longer the file the batch renamed, so it was left alone.";
        } else {
          text += L"It changed after the batch wrote it, so it was left alone.";
        }
        break;
      case UndoOutcome::NotJournaled:
        text += L"The undo journal could not be written (" + JournalReason(failure.error) + L").";
        break;
      default: text += ErrorReason(failure.error); break;
    }
  }
  if (failures.size() > kNamesShown) text += L"\nand " + std::to_wstring(failures.size() - kNamesShown) + L" more.";
  return text;
}

}  // namespace pelmix::ui
