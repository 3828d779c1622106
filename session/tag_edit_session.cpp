// Loading a tag into the values, writing values back, and batches through ProcessFile.
#include "session/tag_edit_session.h"

#include "core/field_layout.h"
#include "core/text_codec.h"
#include "core/text_increment.h"

namespace pelmix {
namespace {

constexpr char kTitlePrefix[] = "Pelmix -  ";

bool IsUpdateMode(int mode) { return mode >= static_cast<int>(EditMode::Update); }

// The name for the title, as UTF-8: the codec's, because the library's conversion throws on
// the unpaired surrogate a Windows name may hold.
std::string FileNameUtf8(const std::filesystem::path& path) { return PathText(path.filename()); }

}  // namespace

TagEditSession::TagEditSession(const GenreList& genres, ControlExchange& exchange, TagAccess* access)
    : genres_(genres), exchange_(exchange), access_(access ? *access : fileAccess_) {}

void TagEditSession::Start() {
  for (TagField field : kAllTagFields) values_.updateFlag[field] = 1;
  values_.mode = static_cast<int>(EditMode::Edit);
  exchange_.ShowValues(values_);
}

bool TagEditSession::LoadFile(const std::filesystem::path& path) {
  TagRecord record;
  std::int64_t offset = 0;
  result_ = {.outcome = FileOutcome::NotRead, .path = path, .read = access_.Read(path, record, offset, false)};
  if (!result_.read.ok()) return false;
  TakeFile(path, record, offset, nullptr);
  return true;
}

FileOutcome TagEditSession::ProcessFile(const std::filesystem::path& path) { return Process(path, nullptr); }

FileOutcome TagEditSession::Process(std::filesystem::path path, Batch* batch) {
  // In Auto Update the write follows the read at once: the file stays held in between.
  const bool writes = mode() == EditMode::AutoUpdate;
  TagRecord record;
  std::int64_t offset = 0;
  // The batch's path moves into the result: a copy of a path is not cheap.
  result_ = {.outcome = FileOutcome::NotRead, .path = std::move(path)};
  result_.read = access_.Read(result_.path, record, offset, writes);
  if (!result_.read.ok()) return result_.outcome;
  if (batch && !batch->once.FirstTime(result_.read.file)) {
    access_.Release();
    return result_.outcome = FileOutcome::Repeated;
  }
  std::optional<FieldProblem> problem = TakeFile(result_.path, record, offset, batch);
  if (mode() != EditMode::AutoUpdate) {
    access_.Release();
    return FileOutcome::Loaded;
  }
  // Checked with the whole batch; a file that changed since holds other values to compare.
  if (problem) {
    access_.Release();
    result_.problem = std::move(problem);
    return result_.outcome = FileOutcome::ValueRefused;
  }
  // A row that equals the file in every field asks for nothing, not even a new tag.
  if (batch && batch->options.table && !AnyField(values_.updateFlag)) {
    access_.Release();
    return result_.outcome = FileOutcome::Unchanged;
  }
  return Write(batch);
}

std::optional<FieldProblem> TagEditSession::TakeFile(const std::filesystem::path& path, const TagRecord& record,
                                                     std::int64_t offset, Batch* batch) {
  result_.outcome = FileOutcome::Loaded;
  result_.before = result_.after = record;
  result_.tagOffset = offset;

  std::string title = kTitlePrefix + FileNameUtf8(path);
  exchange_.SaveControls(values_);
  std::optional<FieldProblem> problem;
  if (batch && (batch->options.names || batch->options.table)) {
    problem = TakeFileValues(batch->options, batch->given, path, record, values_);
  }
  currentPath_ = path;
  currentRead_ = result_.read;
  record_ = record;
  tagOffset_ = offset;
  seen_ = SeenByRead(result_.read, record);
  TakeFieldsFromRecord();
  windowTitle_ = std::move(title);
  exchange_.ShowTitle(windowTitle_);
  exchange_.ShowValues(values_);
  return problem;
}

void TagEditSession::TakeFieldsFromRecord() {
  // In the update modes a ticked field keeps its value, ready to be stamped on this file.
  const bool keepFlagged = IsUpdateMode(values_.mode);
  for (TagField field : kRecordOrder) {
    if (keepFlagged && values_.updateFlag[field] == 1) continue;
    TakeFieldFromRecord(field);
  }
}

void TagEditSession::TakeFieldFromRecord(TagField field) {
  FieldValues& fields = values_.fields;
  if (field == TagField::Track) {
    const std::uint8_t track = record_.GetTrack();
    fields.trackText = track == kNoTrack ? std::string() : std::to_string(track);
  } else if (field == TagField::Genre) {
    // A code without an entry leaves the previous choice selected.
    const int index = genres_.IndexOfCode(record_.GetGenre());
    if (index != -1) fields.genreIndex = index;
  } else {
    fields.Text(field) = record_.GetFieldText(field);
    // What the file holds was stored once: the control takes it as it is.
    values_.unstorable[FieldIndex(field)] = 0;
  }
}

FileOutcome TagEditSession::UpdateTag() { return Write(nullptr); }

TagRecord TagEditSession::RecordToWrite(const FieldValues& fields, const FieldFlags& ticked,
                                        const TagRecord& held) const {
  TagRecord record = held;
  record.SetMagic();
  for (TagField field : kRecordOrder) {
    if (ticked[field] == 1) StoreFieldInRecord(field, fields, record);
  }
  // A file without a tag was read as a new record, whose byte 125 is zero.
  record.MakeTrackVisible(held);
  return record;
}

FileOutcome TagEditSession::Write(const Batch* batch) {
  exchange_.SaveControls(values_);
  // A second update of the same file starts from what the first one wrote. The path is
  // copied only when it is not the one of this turn already (a copy of a path is not cheap).
  std::filesystem::path path = result_.path.native() == currentPath_.native() ? std::move(result_.path) : currentPath_;
  result_ = {.outcome = FileOutcome::NoFile,
             .path = std::move(path),
             .read = currentRead_,
             .before = record_,
             .after = record_,
             .tagOffset = tagOffset_};
  if (currentPath_.empty()) {
    exchange_.ShowValues(values_);
    return result_.outcome;
  }
  // record_ is what the file holds.
  TagRecord record = RecordToWrite(values_.fields, values_.updateFlag, record_);
  const bool trackShown = ShowsTrack(record);
  const BoundValues* stored = &values_;
  BoundValues cut;
  if (batch && batch->options.truncate) {
    // The values keep their whole length: a counted value goes on counting from it.
    cut = values_;
    result_.cut = CutToFit(cut.fields, cut.updateFlag, *batch->options.truncate, trackShown);
    if (AnyField(result_.cut)) {
      record = RecordToWrite(cut.fields, cut.updateFlag, record_);
      stored = &cut;
    }
  }
  result_.after = record;
  if ((result_.problem = CheckValues(*stored, genres_, trackShown))) {
    access_.Release();
    return result_.outcome = FileOutcome::ValueRefused;
  }
  result_.write = access_.Write(currentPath_, record, tagOffset_, seen_);
  const bool written = result_.write.ok();
  // In a batch a file that cannot be written uses up its number, so every later file gets
  // the number of its place. A file written alone that fails keeps the values, so the next
  // try writes what the user saw refused.
  if (written || batch) CountUp(values_);
  if (written) {
    // After an append the tag written is what the file now ends in, so a second update of
    // the same file replaces it rather than taking it for another program's.
    record_ = record;
    seen_.tag = record;
    ShowStoredValues();
  }
  exchange_.ShowValues(values_);
  result_.outcome = !written                  ? FileOutcome::NotWritten
                    : result_.write.unchanged ? FileOutcome::Unchanged
                                              : FileOutcome::Written;
  return result_.outcome;
}

void TagEditSession::ShowStoredValues() {
  // "007" is stored as 7. A field not written keeps what the user typed, and the genre keeps
  // the chosen entry, since several entries may share its code.
  for (TagField field : kRecordOrder) {
    if (values_.updateFlag[field] != 1 || CountsUp(field) || field == TagField::Genre) continue;
    TakeFieldFromRecord(field);
  }
}

void TagEditSession::StoreFieldInRecord(TagField field, const FieldValues& fields, TagRecord& record) const {
  // A value the byte cannot hold is refused before the record is written; until then it
  // stands as the byte of no track, no genre.
  if (field == TagField::Track) {
    record.SetTrack(TrackByte(fields.trackText).value_or(kNoTrack));
  } else if (field == TagField::Genre) {
    record.SetGenre(GenreByte(genres_, fields.genreIndex).value_or(kNoGenre));
  } else {
    record.SetFieldText(field, fields.Text(field));
  }
}

bool TagEditSession::CountsUp(TagField field) const {
  return HasIncrementBox(field) && values_.incrementFlag[field] == 1 && IsUpdateMode(values_.mode);
}

void TagEditSession::CountUp(BoundValues& values) const {
  for (TagField field : kRecordOrder) {
    if (values.updateFlag[field] != 1 || !CountsUp(field)) continue;
    std::string& text = values.fields.Text(field);
    text = IncrementText(text);
  }
}

}  // namespace pelmix
