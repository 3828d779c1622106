// Taking a batch back: each file of a journaled batch gets its old last bytes back, but only
// while it is exactly as the batch left it.
#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

#include "session/file_tag_access.h"
#include "session/journal.h"
#include "session/rename_batch.h"

namespace pelmix {

enum class UndoOutcome {
  Restored,         // the old bytes are back (in a dry run: would be)
  AlreadyAsBefore,  // the file ends as it did before the batch: its change never landed
  Changed,          // changed since the batch left it: left alone
  Failed,           // could not be opened or written; see error
  NotJournaled,     // the undo's own journal could not be written: nothing restored, and the undo stops
};

struct UndoFileResult {
  UndoOutcome outcome = UndoOutcome::Failed;
  // The file's name now; for a rename, the new name.
  const std::filesystem::path* path = nullptr;
  std::error_code error{};
  // A rename: the name it gets back. Changed with std::errc::file_exists: another file has it.
  const std::filesystem::path* renamedBackTo = nullptr;
};

// Called after each file; false stops the undo.
using UndoDone = std::function<bool(const UndoFileResult& result)>;

// Takes the batch's changes back, the last first. A file is restored only while it has the
// same identity and size the batch left, ending in the 128 bytes it wrote (or, where it
// removed a tag, in no tag). An appended tag is cut off, a replaced one written back, a
// removed one appended again. A renamed file gets its old name back while its new name
// still names it and the old name is free, never replacing a file. Writes go through `access`, so its journal records
// them as a batch of their own; a dry run only looks.
void UndoBatch(const JournalBatch& batch, FileTagAccess& access, const UndoDone& done);

}  // namespace pelmix
