// What one file's turn, or one update, came to: the value the window and the command line report from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/tag_file.h"
#include "core/tag_record.h"
#include "session/value_rules.h"

namespace pelmix {

enum class FileOutcome {
  Loaded,  // read; the mode writes nothing on loading
  Written,
  Unchanged,  // the file already ended in the 128 bytes to be written, so none were
  NotRead,
  NotWritten,
  NoFile,        // an update before any file was loaded
  ValueRefused,  // a value to be written cannot be stored as it is (see FileResult::problem)
  Repeated,      // a batch met this file before, under this name or another: done once
};

struct FileResult {
  FileOutcome outcome = FileOutcome::NoFile;
  std::filesystem::path path{};
  // What the read and the write found; the write is that of this turn only when there was one.
  ReadResult read{};
  WriteResult write{};
  // The trailer as the file held it (a new record for a file without one), and as written
  // or, in a write that was refused, as it would have been.
  TagRecord before{};
  TagRecord after{};
  std::int64_t tagOffset = 0;
  // ValueRefused: the value, and why.
  std::optional<FieldProblem> problem{};
  // The fields whose values were cut to fit them (a batch that truncates).
  FieldFlags cut{};

  bool failed() const {
    return outcome == FileOutcome::NotRead || outcome == FileOutcome::NotWritten ||
           outcome == FileOutcome::ValueRefused;
  }
  // The write found the file no longer as it was read: another program wrote in between.
  bool changedSinceRead() const {
    return outcome == FileOutcome::NotWritten && write.status == WriteResult::Status::ChangedSinceRead;
  }
  // What the system said about the read or the write that failed.
  const std::error_code& error() const { return outcome == FileOutcome::NotRead ? read.error : write.error; }
  // A written file that had no trailer and got one appended.
  bool appended() const { return outcome == FileOutcome::Written && write.status == WriteResult::Status::Appended; }
};

}  // namespace pelmix
