// Where each field lies in the 128-byte tag trailer: the one table of offsets and widths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "core/tag_field.h"

namespace pelmix {

inline constexpr std::size_t kTagSize = 128;

// Where a text field lies in the trailer.
struct FieldSpan {
  std::size_t offset;
  std::size_t width;
};

inline constexpr FieldSpan kMagicSpan{0, 3};  // "TAG"
inline constexpr FieldSpan kTitleSpan{3, 30};
inline constexpr FieldSpan kArtistSpan{33, 30};
inline constexpr FieldSpan kAlbumSpan{63, 30};
inline constexpr FieldSpan kYearSpan{93, 4};
// The comment runs up to the track byte. Other readers take that byte as a track number
// only while the comment's last byte is zero, so a track number costs the comment one byte.
inline constexpr FieldSpan kCommentSpan{97, 29};
inline constexpr std::size_t kTrackOffset = 126;
inline constexpr std::size_t kGenreOffset = 127;
// The comment's last byte: zero while the track byte is read as a track number.
inline constexpr std::size_t kTrackMarkerOffset = kCommentSpan.offset + kCommentSpan.width - 1;

// The largest track number the byte holds, and the digits it takes to type it.
inline constexpr int kHighestTrack = 255;
inline constexpr std::size_t kTrackDigits = 3;

constexpr std::size_t End(FieldSpan span) { return span.offset + span.width; }
static_assert(End(kMagicSpan) == kTitleSpan.offset && End(kTitleSpan) == kArtistSpan.offset &&
                  End(kArtistSpan) == kAlbumSpan.offset && End(kAlbumSpan) == kYearSpan.offset &&
                  End(kYearSpan) == kCommentSpan.offset && End(kCommentSpan) == kTrackOffset &&
                  kTrackOffset + 1 == kGenreOffset && kGenreOffset + 1 == kTagSize,
              "the fields tile the trailer without gap or overlap");

// Offset and width of a text field (Title, Artist, Album, Year, Comment).
constexpr FieldSpan TextFieldSpan(TagField field) {
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

// The bytes a text field keeps in a trailer that shows a track number: the comment gives
// its last one up; every other field keeps its width.
constexpr std::size_t TextFieldWidth(TagField field, bool trackNumbered) {
  const std::size_t width = TextFieldSpan(field).width;
  return field == TagField::Comment && trackNumbered ? width - 1 : width;
}

}  // namespace pelmix
