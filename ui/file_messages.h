// What the window tells the user about files it could not stamp and values it could not
// store, in the words of its message boxes.
#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <utility>

#include "session/file_outcome.h"
#include "session/journal.h"
#include "session/undo.h"
#include "session/value_rules.h"

namespace pelmix::ui {

// Why the file of a failed result was not read or written, as a sentence.
std::wstring FailureReason(const FileResult& failure);
// One file brought in alone, or one Update, that failed.
std::wstring FailureMessage(const FileResult& failure);
// A batch of `total` files in which these failed: how many, and the first few by name.
std::wstring BatchFailureMessage(std::span<const FileResult> failures, std::size_t total);
// A value the tag cannot hold as it stands; codePage is the system's ANSI code page.
std::wstring ValueMessage(const FieldProblem& problem, unsigned codePage);
// A batch refused before its first file for the value that the file at `position` (from 1)
// of `total` would get.
std::wstring BatchRefusalMessage(const FieldProblem& problem, const std::filesystem::path& path, std::size_t position,
                                 std::size_t total, unsigned codePage);

// Folders of a drop whose files could not be listed, each with the reason.
std::wstring FolderUnreadableMessage(std::span<const std::pair<std::filesystem::path, std::error_code>> folders);
// A drop from which nothing can be taken: what the window takes in its mode.
std::wstring DropRefusedMessage(bool autoUpdate);
// The Open dialog failed in itself; the code is the system's.
std::wstring OpenDialogErrorMessage(unsigned long code);

// The undo journal, in `folder`, cannot be written before a batch: nothing was written.
std::wstring JournalUnavailableMessage(const std::filesystem::path& folder, const std::error_code& error);
// A journal the system could not close: what was written may not be taken back.
std::wstring JournalNotClosedMessage(const std::filesystem::path& folder, const std::error_code& error);
// A batch stopped at the file at `position` (from 1) of `total`, whose record the journal
// could not take; the files before it were written and can be taken back.
std::wstring JournalStoppedMessage(const std::filesystem::path& folder, const FileResult& failure, std::size_t position,
                                   std::size_t total);
// The question before an undo: "Take back the stamp of 12 files from 14:02?". The date is
// named when the batch is not from the day `now` is in.
std::wstring UndoQuestion(const BatchHeader& batch, std::size_t files, const std::tm& now);
// The batch to take back cannot be trusted (problem: "is damaged (...)"); nothing restored.
std::wstring UndoRefusedMessage(const std::string& problem);
// An undo of `total` files in which these were not restored: how many, and the first few.
std::wstring UndoFailureMessage(std::span<const UndoFileResult> failures, std::size_t total);
inline constexpr wchar_t kNothingToUndoMessage[] = L"There is no batch to take back.";

inline constexpr wchar_t kSelectionTooLongMessage[] =
    L"The names of the files chosen are too long together to be taken in one go. Please choose fewer files at a "
    L"time, or drop them on the window.";
inline constexpr wchar_t kNameNotHandedOverMessage[] =
    L"The Open dialog could not hand over the name of a file chosen: it may be too long for the dialog. Please "
    L"choose the file in the dialog's list, or drop it on the window.";

}  // namespace pelmix::ui
