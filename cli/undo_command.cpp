// The undo command reads the journal through the session and reports each file as stamp and
// strip do; the journal's folder and batches are the session's.
#include "cli/undo_command.h"

#include <algorithm>
#include <cstdio>

#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/text_display.h"
#include "session/file_tag_access.h"
#include "session/undo.h"

namespace pelmix::cli {
namespace {

constexpr char kProgram[] = "pelmix-cli";

std::string FolderText(const std::filesystem::path& folder) {
  std::string text;
  AppendPrintablePath(text, folder);
  return text;
}

std::string TimeText(std::int64_t time, char between) {
  const std::tm local = LocalTime(time);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, between, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

std::string JsonOrNull(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

// "stamp (pelmix-cli)", "undo of 20261208-140203-1 (Pelmix)": the journal's own words,
// which another program may have put there, so printable only.
std::string WhatText(const BatchHeader& header) {
  std::string text = Printable(header.command);
  if (!header.undoes.empty()) text += " of " + Printable(header.undoes);
  return text + " (" + Printable(header.program) + ")";
}

int List(const std::filesystem::path& folder, const Options& options, Console& console) {
  std::error_code error;
  const std::vector<BatchEntry> batches = ListBatches(folder, error);
  if (error) {
    console.Err("pelmix-cli: the journal in " + FolderText(folder) + " cannot be read: " + ErrorReason(error) + "\n");
    return kExitFileFailed;
  }
  if (batches.empty() && !options.json) console.Out("no batch in the journal (" + FolderText(folder) + ")\n");
  std::string line;
  for (const BatchEntry& batch : batches) {
    if (options.json) {
      line = "{\"id\":" + JsonString(batch.id);
      line += ",\"time\":" + (batch.header ? JsonString(TimeText(batch.header->time, 'T')) : std::string("null"));
      line += ",\"files\":" + std::to_string(batch.files);
      line += ",\"program\":" + (batch.header ? JsonOrNull(batch.header->program) : "null");
      line += ",\"command\":" + (batch.header ? JsonOrNull(batch.header->command) : "null");
      line += ",\"undoes\":" + (batch.header ? JsonOrNull(batch.header->undoes) : "null");
      line += ",\"taken_back\":" + std::string(batch.takenBackBy.empty() ? "false" : "true");
      line += ",\"taken_back_by\":" + JsonOrNull(batch.takenBackBy);
      line += ",\"problem\":" + JsonOrNull(batch.problem) + "}\n";
    } else {
      line = Printable(batch.id) + "  ";
      if (batch.header) {
        line += TimeText(batch.header->time, ' ') + "  " + std::to_string(batch.files) +
                (batch.files == 1 ? " file  " : " files  ") + WhatText(*batch.header);
      }
      if (!batch.takenBackBy.empty()) line += "  taken back by " + Printable(batch.takenBackBy);
      if (!batch.problem.empty()) line += "  cannot be taken back: " + Printable(batch.problem);
      line += '\n';
    }
    console.Out(line);
  }
  return kExitOk;
}

// The batch to take back: the one named, or the newest not taken back.
const BatchEntry* Choose(const std::vector<BatchEntry>& batches, const Options& options) {
  if (options.operands.empty()) return NewestNotTakenBack(batches);
  const std::string id = PathText(options.operands.front());
  for (const BatchEntry& batch : batches) {
    if (IsBatchId(id) && batch.id == id) return &batch;
  }
  throw UsageError("undo: no batch \"" + Printable(id) + "\" in the journal (see pelmix-cli undo --list)",
                   Command::Undo);
}

// A rename taken back: by the name the file has now, and the one it gets back.
void ReportRenameBack(Reporter& report, const UndoFileResult& result, bool dryRun) {
  const std::filesystem::path& now = *result.path;
  const std::filesystem::path& old = *result.renamedBackTo;
  const std::string oldText = FolderText(old);
  switch (result.outcome) {
    case UndoOutcome::Restored: {
      std::string members = ",";
      members += JsonPath("new_path", old);
      report.Done(now, (dryRun ? "would rename back to " : "renamed back to ") + oldText, "restored", {}, members);
      break;
    }
    case UndoOutcome::AlreadyAsBefore: report.Done(old, "unchanged: already as before the batch", "unchanged"); break;
    case UndoOutcome::Changed:
      report.Failed(now, "not renamed back",
                    result.error == std::errc::file_exists ? oldText + " exists already"
                                                           : "no longer the file the batch renamed");
      break;
    case UndoOutcome::Failed:
    case UndoOutcome::NotJournaled:
      report.Failed(
          now, "not renamed back",
          result.outcome == UndoOutcome::Failed ? ErrorReason(result.error) : JournalFailedReason(result.error));
      break;
  }
}

}  // namespace

std::unique_ptr<BatchJournal> StartJournal(const Options& options, const char* command, std::string undoes) {
  if (options.dryRun || options.noJournal) return nullptr;
  const std::filesystem::path folder = JournalFolder();
  if (folder.empty()) {
    throw JournalUnavailable(
        "the undo journal has no folder: neither PELMIX_STATE_DIR nor HOME is set; nothing written (--no-journal "
        "writes without it)");
  }
  auto journal = std::make_unique<BatchJournal>(folder, BatchHeader{0, kProgram, command, std::move(undoes)});
  if (const std::error_code error = journal->Begin()) {
    throw JournalUnavailable("the undo journal cannot be written in " + FolderText(folder) + ": " + ErrorReason(error) +
                             "; nothing written (--no-journal writes without it)");
  }
  return journal;
}

std::string JournalFailedReason(const std::error_code& error) {
  return "the undo journal could not be written: " + ErrorReason(error);
}

int EndJournal(BatchJournal* journal, bool stopped, Console& console, int status) {
  if (!journal) return status;
  const std::error_code closed = journal->Finish();
  if (stopped) {
    console.Err("pelmix-cli: the batch stopped: the undo journal in " + FolderText(journal->folder()) +
                " could not be written; what was written before can be taken back with 'pelmix-cli undo'\n");
    return status;
  }
  if (!closed) return status;
  console.Err("pelmix-cli: the undo journal in " + FolderText(journal->folder()) +
              " could not be closed: " + ErrorReason(closed) + "; this batch may not be taken back\n");
  return std::max(status, kExitFileFailed);
}

int RunUndo(Options options, Console& console) {
  const std::filesystem::path folder = JournalFolder();
  if (folder.empty())
    throw JournalUnavailable("the undo journal has no folder: neither PELMIX_STATE_DIR nor HOME is set");
  if (options.list) return List(folder, options, console);

  std::error_code error;
  const std::vector<BatchEntry> batches = ListBatches(folder, error);
  if (error) {
    console.Err("pelmix-cli: the journal in " + FolderText(folder) + " cannot be read: " + ErrorReason(error) + "\n");
    return kExitFileFailed;
  }
  const BatchEntry* chosen = Choose(batches, options);
  if (!chosen) {
    console.Err("pelmix-cli: nothing to take back: the journal in " + FolderText(folder) +
                " holds no batch that is not taken back\n");
    return kExitFileFailed;
  }
  const BatchRead read = chosen->problem.empty() ? ReadBatch(BatchFile(folder, chosen->id), chosen->id) : BatchRead{};
  const std::string& problem = chosen->problem.empty() ? read.problem : chosen->problem;
  if (!read.batch) {
    console.Err("pelmix-cli: batch " + Printable(chosen->id) + " " + Printable(problem) + "; nothing restored\n");
    return kExitFileFailed;
  }

  const std::unique_ptr<BatchJournal> journal = StartJournal(options, "undo", chosen->id);
  FileTagAccess access({.dryRun = options.dryRun});
  access.SetJournal(journal.get());
  Reporter report(console, options, read.batch->files.size());
  bool stopped = false;
  UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
    const std::filesystem::path& path = *result.path;
    if (result.renamedBackTo) {
      ReportRenameBack(report, result, options.dryRun);
      stopped = result.outcome == UndoOutcome::NotJournaled;
      report.Next();
      return !StopRequested();
    }
    switch (result.outcome) {
      case UndoOutcome::Restored: report.Done(path, options.dryRun ? "would restore" : "restored", "restored"); break;
      case UndoOutcome::AlreadyAsBefore:
        report.Done(path, "unchanged: already as before the batch", "unchanged");
        break;
      case UndoOutcome::Changed: report.Failed(path, "not restored", "changed since the batch wrote it"); break;
      case UndoOutcome::Failed: report.Failed(path, "not restored", ErrorReason(result.error)); break;
      case UndoOutcome::NotJournaled:
        report.Failed(path, "not restored", JournalFailedReason(result.error));
        stopped = true;
        break;
    }
    report.Next();
    // A stop finishes the file in hand, as in any batch; the files not reached keep the batch's change.
    return !StopRequested();
  });
  return EndJournal(journal.get(), stopped, console, report.status());
}

}  // namespace pelmix::cli
