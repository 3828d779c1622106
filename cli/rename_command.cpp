// The session plans and renames; this file words what it refuses and reports each file.
#include "cli/rename_command.h"

#include <variant>

#include "cli/file_list.h"
#include "cli/interrupt.h"
#include "cli/report.h"
#include "cli/text_display.h"
#include "cli/undo_command.h"
#include "session/rename_batch.h"

namespace pelmix::cli {
namespace {

namespace fs = std::filesystem;

std::string Shown(const fs::path& path) {
  std::string text;
  AppendPrintablePath(text, path);
  return text;
}

const char* Placeholder(TagField field) {
  switch (field) {
    case TagField::Track: return "track number (%n)";
    case TagField::Artist: return "artist (%a)";
    case TagField::Album: return "album (%A)";
    case TagField::Year: return "year (%y)";
    default: return "title (%t)";
  }
}

std::string RefusalText(const RenameRefusal& refusal, const std::vector<fs::path>& files) {
  const std::string file = Shown(files[refusal.file]);
  switch (refusal.reason) {
    case RenameRefusal::Reason::NotRead: return file + ": cannot be read: " + ErrorReason(refusal.error);
    case RenameRefusal::Reason::NoValue: return file + " has no " + Placeholder(refusal.field);
    case RenameRefusal::Reason::EmptyName:
      return file + ": nothing is left of its new name once the characters no file name may hold are replaced";
    case RenameRefusal::Reason::TooLong:
      return file + " would be named " + Shown(refusal.name) + ", longer than " + std::to_string(kLongestFileName) +
             " bytes";
    case RenameRefusal::Reason::SameName:
      return file + " and " + Shown(files[refusal.other]) + " would both be named " + Shown(refusal.name);
    case RenameRefusal::Reason::Exists:
      return Shown(files[refusal.file].parent_path() / refusal.name) + " exists already (" + file +
             " would be named so)";
  }
  return file;
}

}  // namespace

int RunRename(Options options, Console& console) {
  if (!options.renameTo) throw UsageError("rename needs --to PATTERN");
  const std::variant<NameTemplate, std::string> parsed = ParseNameTemplate(*options.renameTo);
  if (const std::string* problem = std::get_if<std::string>(&parsed)) throw UsageError("--to: " + *problem);
  if (options.operands.empty()) throw UsageError("rename needs at least one file");

  FileList list = CollectFiles(std::move(options.operands), options.recursive);
  const std::vector<NativeName> others = TakeNonMp3Names(list.files);
  std::vector<fs::path> files;
  files.reserve(list.files.size());
  for (NativeName& name : list.files) files.emplace_back(std::move(name));
  const RenamePlan plan = PlanRenames(files, std::get<NameTemplate>(parsed), options.codePage);
  if (plan.refusal) throw UsageError(RefusalText(*plan.refusal, files) + "; nothing renamed");

  // A journal that cannot be written ends the command before any file is reported on.
  const std::unique_ptr<BatchJournal> journal = StartJournal(options, "rename");
  Reporter report(console, options, files.size());
  for (const FileList::Failure& failure : list.failures) report.Failed(failure.path, "not listed", failure.reason);
  for (const fs::path& link : list.skippedLinks) report.Warn(link, kSkippedLink);
  for (const NativeName& name : others) report.Failed(fs::path(name), "not renamed", "not an .mp3 file");
  for (const PlannedRename& file : plan.files) {
    if (StopRequested()) break;
    std::string members = ",";
    members += JsonPath("new_path", file.to);
    if (file.repeated) {
      report.Done(file.from, "done once: the same file came earlier in the batch", "repeated");
    } else if (file.unchanged) {
      report.Done(file.from, "unchanged", "unchanged", {}, members);
    } else {
      const RenameResult result = RenameFile(file.from, file.to, file.file, journal.get(), options.dryRun);
      switch (result.status) {
        case RenameResult::Status::Renamed:
          if (options.dryRun) {
            report.Plan(file.from, file.to, "renamed", members);
          } else {
            report.Done(file.from, "renamed to " + Shown(file.to), "renamed", {}, members);
          }
          break;
        case RenameResult::Status::Exists:
          report.Failed(file.from, "not renamed", Shown(file.to) + " exists already");
          break;
        case RenameResult::Status::Changed:
          report.Failed(file.from, "not renamed", "no longer the file that was read");
          break;
        case RenameResult::Status::Failed: report.Failed(file.from, "not renamed", ErrorReason(result.error)); break;
        case RenameResult::Status::NotJournaled:
          report.Failed(file.from, "not renamed", JournalFailedReason(result.error));
          // Without its record no file may be renamed: the batch ends here.
          return EndJournal(journal.get(), true, console, report.status());
      }
    }
    report.Next();
  }
  return EndJournal(journal.get(), false, console, report.status());
}

}  // namespace pelmix::cli
