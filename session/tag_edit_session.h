// The state behind the main window and the operations that do the program's work:
// loading a file's tag into the values, writing values back, counting them up in
// batches, and the mode rules that decide which controls the user can operate.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/genre_list.h"
#include "core/tag_file.h"
#include "core/tag_record.h"
#include "session/batch.h"
#include "session/bound_values.h"
#include "session/control_exchange.h"
#include "session/file_once.h"
#include "session/file_outcome.h"
#include "session/file_tag_access.h"
#include "session/value_rules.h"

namespace pelmix {

// The help line under the mode buttons; empty for EditMode::None.
const char* ModeHelpText(EditMode mode);

class TagEditSession {
 public:
  // Refers to, and does not own, the genre list, the exchange and the tag access.
  // Without a tag access the session reads and writes the files themselves.
  TagEditSession(const GenreList& genres, ControlExchange& exchange, TagAccess* access = nullptr);
  // It may refer to a member of its own, so it stays where it was made.
  TagEditSession(const TagEditSession&) = delete;
  TagEditSession& operator=(const TagEditSession&) = delete;

  // Once, after the genre list is filled: every "Update" box ticked, mode Edit.
  void Start();
  // Reads the file's tag into the values; false, with nothing changed, when it cannot.
  // Nothing is asked of the values a load replaces.
  bool LoadFile(const std::filesystem::path& path);
  // Writes the ticked values into the current file's tag and counts them up. A value that
  // cannot be stored as it is writes nothing and counts nothing up (ValueRefused), nor does
  // a write that fails; 128 bytes equal to those in the file are not written (Unchanged).
  // After a write, every field that did not count up shows what was stored ("007" shows as 7).
  FileOutcome UpdateTag();
  // A file chosen or dropped: loaded, and in Auto Update written at once.
  FileOutcome ProcessFile(const std::filesystem::path& path);

  // Called with each file's place in the batch and its result; false stops the batch.
  using FileDone = std::function<bool(std::size_t index, const FileResult& result)>;
  // Before a batch's first file: puts the files in the batch's order and checks every value
  // each file would get, counted up or taken from its name. A refusal means that no file
  // may be written. The files are looked at (read, not written) only when a counted value
  // would not fit, to count just those the batch will write: a file that cannot be read, or
  // one met before, uses up no number.
  std::optional<BatchRefusal> CheckBatch(std::vector<PathName>& files, const BatchOptions& options);
  // Each file in turn through ProcessFile, in Auto Update, after CheckBatch. A file met
  // before in the batch, under any name, is Repeated: not read again, not counted.
  void RunBatch(const std::vector<PathName>& files, const BatchOptions& options, const FileDone& done);

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
  struct Batch {
    const BatchOptions& options;
    FieldFlags given;  // the fields ticked for writing before any name gave values
    FileOnce once;
  };

  FileOutcome Process(std::filesystem::path path, Batch* batch);
  // A file's values taken from its name or row in a batch: why one cannot be stored, if so.
  std::optional<FieldProblem> TakeFile(const std::filesystem::path& path, const TagRecord& record, std::int64_t offset,
                                       Batch* batch);
  FileOutcome Write(const Batch* batch);
  // The record that writing the ticked fields over `held` gives.
  TagRecord RecordToWrite(const FieldValues& fields, const FieldFlags& ticked, const TagRecord& held) const;
  std::optional<FieldProblem> TakeFileValues(const BatchOptions& options, const FieldFlags& given,
                                             const std::filesystem::path& file, const TagRecord& held,
                                             BoundValues& values) const;
  // The values as the batch would store them (cut, when it truncates) checked by the rules.
  std::optional<FieldProblem> CheckStored(BoundValues& values, const BatchOptions& options, bool trackShown) const;
  void TakeFieldsFromRecord();
  void TakeFieldFromRecord(TagField field);
  void ShowStoredValues();
  void StoreFieldInRecord(TagField field, const FieldValues& fields, TagRecord& record) const;
  bool CountsUp(TagField field) const;
  void CountUp(BoundValues& values) const;
  std::optional<BatchRefusal> CheckFiles(const std::vector<PathName>& files, const BatchOptions& options,
                                         bool lookAtFiles);

  const GenreList& genres_;
  ControlExchange& exchange_;
  FileTagAccess fileAccess_;
  TagAccess& access_;

  BoundValues values_;
  bool incrementsAllowed_ = false;
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
