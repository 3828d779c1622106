// The state behind the main window and the operations that do the program's work:
// loading a file's trailer into the values, writing values back, counting them up in
// batches, and the mode rules that decide which controls the user can operate.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/genre_list.h"
#include "core/tag_file.h"
#include "core/tag_record.h"
#include "session/bound_values.h"
#include "session/control_exchange.h"
#include "session/file_outcome.h"
#include "session/tag_access.h"

namespace pelmix {

// The help line under the mode buttons; empty for EditMode::None.
const char* ModeHelpText(EditMode mode);

// Empty (no track number), or decimal digits worth at most 255.
bool IsStorableTrackText(std::string_view text);

class TagEditSession {
 public:
  // Refers to, and does not own, the genre list, the exchange and the trailer access.
  // Without a trailer access the session reads and writes the files themselves.
  TagEditSession(const GenreList& genres, ControlExchange& exchange, TagAccess* access = nullptr);
  // It may refer to a member of its own, so it stays where it was made.
  TagEditSession(const TagEditSession&) = delete;
  TagEditSession& operator=(const TagEditSession&) = delete;

  // Once, after the genre list is filled: every "Update" box ticked, mode Edit.
  void Start();
  // Reads the file's trailer into the values; false, with nothing changed, when it cannot.
  bool LoadFile(const std::filesystem::path& path);
  // Writes the flagged values into the current file's trailer and counts them up.
  FileOutcome UpdateTag();
  // A file chosen or dropped: loaded, and in Auto Update written at once.
  FileOutcome ProcessFile(const std::filesystem::path& path);

  // The window's rules; the command line checks its values before the first file instead.
  // A value that failed validation, or a track text that the byte cannot hold, writes
  // nothing and counts nothing up; after a write, every field that did not count up shows
  // its value as it was stored.
  void RequireStorableValues(bool on) { storableOnly_ = on; }

  void OnModeClicked();
  void OnUpdateBoxClicked(TagField field);
  void SetMode(EditMode mode);

  const BoundValues& values() const { return values_; }
  const FieldValues& fields() const { return values_.fields; }
  EditMode mode() const { return static_cast<EditMode>(values_.mode); }
  int updateFlag(TagField field) const { return values_.updateFlag[field]; }
  int incrementFlag(TagField field) const { return values_.incrementFlag[field]; }
  const std::string& modeHelpText() const { return values_.modeHelpText; }
  bool incrementsAllowed() const { return incrementsAllowed_; }
  const std::string& windowTitle() const { return windowTitle_; }

  const TagRecord& record() const { return record_; }
  std::int64_t tagOffset() const { return tagOffset_; }
  const std::filesystem::path& currentPath() const { return currentPath_; }

  // What the last file's turn, or the last update, came to; both front ends report it.
  const FileResult& lastResult() const { return result_; }
  const ReadResult& lastRead() const { return result_.read; }
  const WriteResult& lastWrite() const { return result_.write; }

 private:
  void TakeFieldsFromRecord();
  void TakeFieldFromRecord(TagField field);
  void ShowStoredValues();
  void StoreFieldInRecord(TagField field);
  bool CountsUp(TagField field) const;

  const GenreList& genres_;
  ControlExchange& exchange_;
  FileTagAccess fileAccess_;
  TagAccess& access_;

  BoundValues values_;
  bool incrementsAllowed_ = false;
  bool storableOnly_ = false;
  bool lastSaveValid_ = true;
  TagRecord record_;
  std::int64_t tagOffset_ = 0;
  // What the current file held at tagOffset_ when it was last read or written; a write goes
  // ahead only while it still holds exactly that.
  TagSeen seen_;
  std::filesystem::path currentPath_;
  // What the read of the current file found: an update reports it, whatever other file
  // failed to load since.
  ReadResult currentRead_;
  std::string windowTitle_;
  FileResult result_;
};

}  // namespace pelmix
