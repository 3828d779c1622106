// pelmix-cli undo: listing the journaled batches and taking one back; and the journal that
// stamp, strip and undo keep of what they write.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

#include "cli/console.h"
#include "cli/options.h"
#include "session/journal.h"

namespace pelmix::cli {

// The journal cannot be written before a batch's first file: nothing written, exit 2.
class JournalUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The journal of a batch about to write, begun; none for a dry run or --no-journal.
// Throws JournalUnavailable.
std::unique_ptr<BatchJournal> StartJournal(const Options& options, const char* command, std::string undoes = {});

// What a file not written because the journal failed is reported with.
std::string JournalFailedReason(const std::error_code& error);
// Ends a batch's journal (none for a dry run). A batch its journal stopped gets the line that
// says so; a journal the system could not close may have lost records, so the batch may not be
// taken back: said once, and the exit status is at least 1. Returns the exit status.
int EndJournal(BatchJournal* journal, bool stopped, Console& console, int status);

// 0 when every file was restored (or already as before), or the list printed; 1 when a
// file was left alone or failed, the batch cannot be trusted, or there is none to take back.
int RunUndo(Options options, Console& console);

}  // namespace pelmix::cli
