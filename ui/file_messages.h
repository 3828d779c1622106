// What the window tells the user about files it could not stamp and values it could not
// store, in the words of its message boxes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>

#include "session/file_outcome.h"
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

}  // namespace pelmix::ui
