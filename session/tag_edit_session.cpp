// Loading a trailer into the values, writing values back, and batches through ProcessFile.
#include "session/tag_edit_session.h"

#include <climits>
#include <cstdint>

#include "core/ascii.h"
#include "core/field_layout.h"
#include "core/text_codec.h"
#include "core/text_increment.h"

namespace pelmix {
namespace {

constexpr char kTitlePrefix[] = "Pelmix -  ";

bool IsUpdateMode(int mode) { return mode >= static_cast<int>(EditMode::Update); }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number at the start of the text as the C library's decimal conversion reads it:
// leading white space, an optional sign, then digits; no digits give 0. Out-of-range
// values saturate at the 32-bit limits, as they do on the platform the format comes from.
std::int32_t LeadingInteger(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t magnitude = 0;
  constexpr std::int64_t kCap = std::int64_t{INT32_MAX} + 1;
  for (; at < text.size() && IsAsciiDigit(text[at]); ++at) {
    magnitude = std::min(kCap, magnitude * 10 + (text[at] - '0'));
  }
  const std::int64_t value = negative ? -magnitude : std::min(magnitude, std::int64_t{INT32_MAX});
  return static_cast<std::int32_t>(value);
}

std::uint8_t LowByte(std::int32_t value) {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

// The name for the title, as UTF-8: the codec's, because the library's conversion throws on
// the unpaired surrogate a Windows name may hold.
std::string FileNameUtf8(const std::filesystem::path& path) { return PathText(path.filename()); }

}  // namespace

bool IsStorableTrackText(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (!IsAsciiDigit(c)) return false;
    value = value * 10 + (c - '0');
    if (value > kHighestTrack) return false;
  }
  return true;
}

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
  result_ = {.outcome = FileOutcome::NotRead, .path = path, .read = access_.Read(path, record, offset)};
  if (!result_.read.ok()) return false;
  result_.outcome = FileOutcome::Loaded;
  result_.before = result_.after = record;
  result_.tagOffset = offset;

  std::string title = kTitlePrefix + FileNameUtf8(path);
  lastSaveValid_ = exchange_.SaveControls(values_);
  currentPath_ = path;
  currentRead_ = result_.read;
  record_ = record;
  tagOffset_ = offset;
  seen_ = SeenByRead(result_.read, record);
  TakeFieldsFromRecord();
  windowTitle_ = std::move(title);
  exchange_.ShowTitle(windowTitle_);
  exchange_.ShowValues(values_);
  return true;
}

void TagEditSession::TakeFieldsFromRecord() {
  // In the update modes a flagged field keeps its value, ready to be stamped on this file.
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
  }
}

FileOutcome TagEditSession::UpdateTag() {
  const bool valid = exchange_.SaveControls(values_);
  // A second update of the same file starts from what the first one wrote.
  result_ = {.outcome = FileOutcome::NoFile,
             .path = currentPath_,
             .read = currentRead_,
             .before = record_,
             .after = record_,
             .tagOffset = tagOffset_};
  if (currentPath_.empty()) {
    exchange_.ShowValues(values_);
    return result_.outcome;
  }
  if (storableOnly_) {
    if (!valid) return result_.outcome = FileOutcome::ValueRefused;
    if (values_.updateFlag[TagField::Track] == 1 && !IsStorableTrackText(values_.fields.trackText)) {
      return result_.outcome = FileOutcome::TrackRefused;
    }
  }
  // A file without a trailer was read as a new record, whose byte 125 is zero.
  const TagRecord before = record_;
  record_.SetMagic();
  for (TagField field : kRecordOrder) {
    if (values_.updateFlag[field] != 1) continue;
    StoreFieldInRecord(field);
    // Counting up comes before the write, so a file that cannot be written uses up its number.
    if (CountsUp(field)) {
      std::string& text = values_.fields.Text(field);
      text = IncrementText(text);
    }
  }
  record_.MakeTrackVisible(before);
  result_.after = record_;
  result_.write = access_.Write(currentPath_, record_, tagOffset_, seen_);
  const bool written = result_.write.ok();
  // After an append the trailer written is what the file now ends in, so a second update
  // of the same file replaces it rather than taking it for another program's.
  if (written) seen_.tag = record_;
  if (storableOnly_ && written) ShowStoredValues();
  exchange_.ShowValues(values_);
  result_.outcome = !written                  ? FileOutcome::NotWritten
                    : result_.write.unchanged ? FileOutcome::Unchanged
                                              : FileOutcome::Written;
  return result_.outcome;
}

void TagEditSession::ShowStoredValues() {
  // What the record holds can differ from what was typed: the comment gives its 29th byte to
  // a track number, "007" is stored as 7. The genre keeps the chosen entry, since several
  // entries may share its code.
  for (TagField field : kRecordOrder) {
    const bool countedUp = values_.updateFlag[field] == 1 && CountsUp(field);
    if (field != TagField::Genre && !countedUp) TakeFieldFromRecord(field);
  }
}

void TagEditSession::StoreFieldInRecord(TagField field) {
  const FieldValues& fields = values_.fields;
  if (field == TagField::Track) {
    record_.SetTrack(LowByte(LeadingInteger(fields.trackText)));
  } else if (field == TagField::Genre) {
    // Nothing selected gives -1, stored as 255: no genre.
    record_.SetGenre(LowByte(genres_.CodeAt(fields.genreIndex)));
  } else {
    record_.SetFieldText(field, fields.Text(field));
  }
}

bool TagEditSession::CountsUp(TagField field) const {
  return HasIncrementBox(field) && values_.incrementFlag[field] == 1 && IsUpdateMode(values_.mode);
}

FileOutcome TagEditSession::ProcessFile(const std::filesystem::path& path) {
  if (!LoadFile(path)) return FileOutcome::NotRead;
  if (values_.mode != static_cast<int>(EditMode::AutoUpdate)) return FileOutcome::Loaded;
  // The load's save direction has told the user already; a second save would say it again.
  if (storableOnly_ && !lastSaveValid_) return result_.outcome = FileOutcome::ValueRefused;
  return UpdateTag();
}

}  // namespace pelmix
