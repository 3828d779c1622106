// Trailer layout: one table of offsets and widths that every field operation uses.
#include "core/tag_record.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace pelmix {
namespace {

constexpr char kMagic[] = {'T', 'A', 'G'};

// The comment is 29 bytes wide: byte 125 belongs to it, the track byte follows at 126.
constexpr FieldSpan kTitleSpan{3, 30};
constexpr FieldSpan kArtistSpan{33, 30};
constexpr FieldSpan kAlbumSpan{63, 30};
constexpr FieldSpan kYearSpan{93, 4};
constexpr FieldSpan kCommentSpan{97, 29};

}  // namespace

FieldSpan TextFieldSpan(TagField field) {
  switch (field) {
    case TagField::Title: return kTitleSpan;
    case TagField::Artist: return kArtistSpan;
    case TagField::Album: return kAlbumSpan;
    case TagField::Year: return kYearSpan;
    case TagField::Comment: return kCommentSpan;
    case TagField::Track:
    case TagField::Genre: break;
  }
  throw std::invalid_argument("not a text field of the tag trailer");
}

void TagRecord::Clear() { bytes_.fill(0); }

void TagRecord::InitNew() {
  Clear();
  SetMagic();
  SetGenre(kNoGenre);
}

bool TagRecord::HasMagic() const {
  return std::equal(std::begin(kMagic), std::end(kMagic), bytes_.begin(),
                    [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

void TagRecord::SetMagic() { std::copy(std::begin(kMagic), std::end(kMagic), bytes_.begin()); }

std::string TagRecord::GetFieldText(TagField field) const {
  const FieldSpan span = TextFieldSpan(field);
  const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(span.offset);
  const auto last = first + static_cast<std::ptrdiff_t>(span.width);
  return std::string(first, std::find(first, last, std::uint8_t{0}));
}

void TagRecord::SetFieldText(TagField field, const std::string& text) {
  const FieldSpan span = TextFieldSpan(field);
  const std::size_t kept = std::min(text.size(), span.width);
  std::uint8_t* target = bytes_.data() + span.offset;
  std::memcpy(target, text.data(), kept);
  std::memset(target + kept, 0, span.width - kept);
}

void TagRecord::MakeTrackVisible(const TagRecord& before) {
  if (GetTrack() == kNoTrack) return;
  const bool beforeShowedTrack = before.bytes_[kTrackOffset - 1] == 0;
  if (beforeShowedTrack || GetTrack() != before.GetTrack()) bytes_[kTrackOffset - 1] = 0;
}

}  // namespace pelmix
