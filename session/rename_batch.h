// Renaming files after their tags (pelmix-cli rename): every tag is read and every new name
// checked before the first rename; each rename is journaled first and never replaces a file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "core/name_from_tag.h"
#include "core/raw_file.h"
#include "core/text_codec.h"
#include "session/journal.h"

namespace pelmix {

struct PlannedRename {
  std::filesystem::path from;
  std::filesystem::path to;  // in the folder of `from`; its name alone is new
  FileIdentity file{};
  // The same file came earlier in the batch: done once, under its first name.
  bool repeated = false;
  // The name the tag makes is the one the file has.
  bool unchanged = false;
};

// Why a batch is refused before its first rename; `file` and `other` are places in the batch.
struct RenameRefusal {
  enum class Reason {
    NotRead,    // `error`
    NoValue,    // the file has no `field`, which the pattern needs
    EmptyName,  // nothing is left of the name once what no name may hold is replaced
    TooLong,    // `name` is longer than kLongestFileName bytes
    SameName,   // `file` and `other` would both be called `name`
    Exists,     // `name` is taken by a file (or folder, or link) that is not this one
  };
  Reason reason = Reason::NotRead;
  std::size_t file = 0;
  std::size_t other = 0;
  TagField field = TagField::Title;
  std::error_code error{};
  std::filesystem::path name{};
};

struct RenamePlan {
  std::vector<PlannedRename> files;
  std::optional<RenameRefusal> refusal;
};

// Reads every file's tag (text decoded from `page`) and makes its new name: the template's
// name through SafeFileName, then the file's own extension. %n is the track number the tag
// shows, padded to the digits of the batch's largest unless the template gives a width.
// Refused whole, with the first reason found, when a file cannot be read or lacks a value,
// a name comes out empty or too long, two files would get one name (as this system compares
// names), or a name is taken by another file, even one the batch itself renames.
RenamePlan PlanRenames(const std::vector<std::filesystem::path>& files, const NameTemplate& parts, CodePage page);

struct RenameResult {
  enum class Status {
    Renamed,       // (in a dry run: would be)
    Exists,        // the new name was taken after the check: nothing renamed
    Changed,       // `from` no longer names the file read: nothing renamed
    Failed,        // see error
    NotJournaled,  // the journal could not be written: nothing renamed, and the batch stops
  };
  Status status = Status::Failed;
  std::error_code error{};
};

// Renames the file, but only while `from` names `file` and `to` is free (or is that very
// file under another letter case); the journal, when there is one, gets the rename first.
// A dry run only looks.
RenameResult RenameFile(const std::filesystem::path& from, const std::filesystem::path& to, const FileIdentity& file,
                        WriteJournal* journal, bool dryRun);

}  // namespace pelmix
