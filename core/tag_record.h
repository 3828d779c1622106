// The 128-byte tag trailer that ends an .mp3 file, held byte for byte as it lies on disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/tag_field.h"

namespace pelmix {

inline constexpr std::size_t kTrailerSize = 128;
inline constexpr std::uint8_t kNoGenre = 255;
inline constexpr std::uint8_t kNoTrack = 0;

class TagRecord {
 public:
  using Bytes = std::array<std::uint8_t, kTrailerSize>;

  // All 128 bytes zero.
  void Clear();
  // The trailer given to a file that has none: "TAG", everything else zero, genre 255.
  void InitNew();
  bool HasMagic() const;
  void SetMagic();

  // Text of a text field: its bytes up to the first zero byte, or all of them.
  std::string GetFieldText(TagField field) const;
  // Stores the text's first bytes up to the field's width and zero-fills the rest.
  void SetFieldText(TagField field, const std::string& text);

  std::uint8_t GetTrack() const { return bytes_[kTrackOffset]; }
  void SetTrack(std::uint8_t track) { bytes_[kTrackOffset] = track; }
  std::uint8_t GetGenre() const { return bytes_[kGenreOffset]; }
  void SetGenre(std::uint8_t genre) { bytes_[kGenreOffset] = genre; }

  // Other readers take byte 126 as a track number only when byte 125 is zero. A record
  // about to replace `before` gives up the comment's 29th byte for its track number when
  // the number is new to the file: `before` showed no number (byte 125 not zero, as in a
  // trailer whose comment fills all 30 bytes) and the byte is unchanged, the number is
  // left alone, so an untouched 30-byte comment stays whole.
  void MakeTrackVisible(const TagRecord& before);

  const Bytes& bytes() const { return bytes_; }
  Bytes& bytes() { return bytes_; }

  friend bool operator==(const TagRecord&, const TagRecord&) = default;

 private:
  static constexpr std::size_t kTrackOffset = 126;
  static constexpr std::size_t kGenreOffset = 127;

  Bytes bytes_{};
};

// Where a text field lies in the trailer.
struct FieldSpan {
  std::size_t offset;
  std::size_t width;
};

// Offset and width of a text field (Title, Artist, Album, Year, Comment).
FieldSpan TextFieldSpan(TagField field);

}  // namespace pelmix
