// The trailer record's field operations, all read from the layout table in field_layout.h.
#include "core/tag_record.h"

#include <algorithm>
#include <cstring>

namespace pelmix {
namespace {

constexpr char kMagic[] = {'T', 'A', 'G'};
static_assert(sizeof kMagic == kMagicSpan.width);

}  // namespace

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
  const bool beforeShowedTrack = before.bytes_[kTrackMarkerOffset] == 0;
  if (beforeShowedTrack || GetTrack() != before.GetTrack()) bytes_[kTrackMarkerOffset] = 0;
}

}  // namespace pelmix
