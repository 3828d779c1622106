// Wording the window's messages about files that could not be read or written.
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

std::wstring Quoted(const std::filesystem::path& path) { return L"\"" + PathWideText(path) + L"\""; }

// Digits read the same in every code page, UTF-8 among them.
std::optional<std::wstring> DigitsText(const std::string& text) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsAsciiDigit)) return std::nullopt;
  return WideFromUtf8(text);
}

}  // namespace

std::wstring FailureReason(const FileResult& failure) {
  if (failure.changedSinceRead()) return L"The file changed after it was loaded; load it again.";
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

std::wstring BatchStopMessage(const std::filesystem::path& path, std::size_t position, std::size_t total,
                              FileOutcome outcome, const std::string& trackText,
                              std::span<const FileResult> failuresBefore) {
  std::wstring text = L"Stopped before file " + std::to_wstring(position) + L" of " + std::to_wstring(total) + L", " +
                      Quoted(path.filename()) + L": ";
  // A typed text that is no number at all is not quoted back: it is the window's own text, and
  // the reason is the same as for a single file.
  const std::optional<std::wstring> digits = DigitsText(trackText);
  if (outcome != FileOutcome::TrackRefused) {
    text += L"a value cannot be stored.";
  } else if (digits) {
    text += L"its track number would be " + *digits + L", and a track number goes up to 255.";
  } else {
    text += L"its track number must be a number up to 255, or empty for none.";
  }
  text += L"\n\nThe files before it were processed; it and the files after it were left as they were.";
  if (!failuresBefore.empty()) text += L"\n\n" + BatchFailureMessage(failuresBefore, position - 1);
  return text;
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

}  // namespace pelmix::ui
