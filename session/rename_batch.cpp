// A rename batch: read everything, decide every name, then rename one file at a time.
#include "session/rename_batch.h"

#include <unordered_map>

#include "core/tag_file.h"
#include "session/file_once.h"
#include "session/value_rules.h"

namespace pelmix {
namespace {

namespace fs = std::filesystem;

// Anything at all under the name, a dangling link included; a look that fails otherwise
// counts as taken, and the rename then says why.
bool NameTaken(const fs::path& name) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(name, error);
  return status.type() != fs::file_type::not_found;
}

// Whether the name is taken by something other than the file itself (which it is under
// another letter case, on Windows).
bool TakenByAnother(const fs::path& name, const FileIdentity& file) {
  if (!NameTaken(name)) return false;
  std::error_code error;
  if (fs::is_symlink(name, error)) return true;
  FileStatus status;
  return StatusOf(name, status) || !(status.identity == file);
}

std::size_t Digits(unsigned number) { return number >= 100 ? 3 : number >= 10 ? 2 : 1; }

struct ReadFile {
  TagNameValues values;
  FileIdentity file{};
};

}  // namespace

RenamePlan PlanRenames(const std::vector<fs::path>& files, const NameTemplate& parts, CodePage page) {
  RenamePlan plan;
  std::vector<ReadFile> read(files.size());
  std::size_t trackWidth = 1;
  FileOnce once;
  for (std::size_t i = 0; i < files.size(); ++i) {
    TagRecord tag;
    std::int64_t tagOffset = 0;
    const ReadResult result = ReadTagTrailer(files[i], tag, tagOffset);
    if (!result.ok()) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::NotRead, i, 0, {}, result.error, {}};
      return plan;
    }
    read[i].file = result.file;
    plan.files.push_back({files[i], files[i], result.file, !once.FirstTime(result.file), false});
    if (result.status != ReadResult::Status::Tagged) continue;
    for (const TagField field : {TagField::Title, TagField::Artist, TagField::Album, TagField::Year}) {
      read[i].values[FieldIndex(field)] = DecodeText(page, tag.GetFieldText(field));
    }
    if (ShowsTrack(tag)) {
      read[i].values[FieldIndex(TagField::Track)] = std::to_string(tag.GetTrack());
      trackWidth = std::max(trackWidth, Digits(tag.GetTrack()));
    }
  }

  // Keyed by the folder as the system knows it and the name as it compares names there.
  struct Key {
    FileIdentity folder;
    fs::path::string_type name;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      return std::hash<fs::path::string_type>()(key.name) ^ (std::hash<std::uint64_t>()(key.folder.number) << 1);
    }
  };
  std::unordered_map<Key, std::size_t, KeyHash> named;
  std::unordered_map<fs::path::string_type, FileIdentity> folders;
  for (std::size_t i = 0; i < files.size(); ++i) {
    PlannedRename& planned = plan.files[i];
    if (planned.repeated) continue;
    const MadeName made = MakeName(parts, read[i].values, trackWidth);
    if (made.missing) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::NoValue, i, 0, *made.missing, {}, {}};
      return plan;
    }
    const std::string stem = SafeFileName(made.name);
    if (stem.empty()) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::EmptyName, i, 0, {}, {}, {}};
      return plan;
    }
    const fs::path extension = files[i].extension();
    const fs::path name(PathFromUtf8(stem).native() + extension.native());
    planned.to = files[i].parent_path() / name;
    if (stem.size() + PathText(extension).size() > kLongestFileName) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::TooLong, i, 0, {}, {}, name};
      return plan;
    }
    planned.unchanged = files[i].filename().native() == name.native();

    const fs::path folderName = files[i].parent_path().empty() ? fs::path(".") : files[i].parent_path();
    auto folder = folders.find(folderName.native());
    if (folder == folders.end()) {
      FileStatus status;
      // A folder that cannot be looked at keys by its spelling; the rename will say why it fails.
      if (StatusOf(folderName, status))
        status.identity = {~std::uint64_t{0}, std::hash<fs::path::string_type>()(folderName.native())};
      folder = folders.emplace(folderName.native(), status.identity).first;
    }
    const auto [earlier, first] = named.emplace(Key{folder->second, NameKey(name)}, i);
    if (!first) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::SameName, earlier->second, i, {}, {}, name};
      return plan;
    }
    if (!planned.unchanged && TakenByAnother(planned.to, planned.file)) {
      plan.refusal = RenameRefusal{RenameRefusal::Reason::Exists, i, 0, {}, {}, name};
      return plan;
    }
  }
  return plan;
}

RenameResult RenameFile(const fs::path& from, const fs::path& to, const FileIdentity& file, WriteJournal* journal,
                        bool dryRun) {
  FileStatus status;
  if (const std::error_code error = StatusOf(from, status)) return {RenameResult::Status::Failed, error};
  if (!(status.identity == file)) return {RenameResult::Status::Changed, {}};
  if (TakenByAnother(to, file)) return {RenameResult::Status::Exists, std::make_error_code(std::errc::file_exists)};
  if (dryRun) return {RenameResult::Status::Renamed, {}};
  if (journal) {
    JournalRecord record{JournalChange::Renamed, file, status.size, std::nullopt, std::nullopt, to};
    if (const std::error_code error = journal->Record(from, record)) return {RenameResult::Status::NotJournaled, error};
  }
  const std::error_code error = RenameNoReplace(from, to);
  if (error == std::errc::file_exists) return {RenameResult::Status::Exists, error};
  if (error) return {RenameResult::Status::Failed, error};
  return {RenameResult::Status::Renamed, {}};
}

}  // namespace pelmix
