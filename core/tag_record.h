// The 128-byte tag trailer that ends an .mp3 file, held byte for byte as it lies on disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/field_layout.h"
#include "core/tag_field.h"

namespace pelmix {

inline constexpr std::uint8_t kNoGenre = 255;
inline constexpr std::uint8_t kNoTrack = 0;

class TagRecord {
 public:
  using Bytes = std::array<std::uint8_t, kTagSize>;

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

  // Other readers take the track byte as a track number only when the comment's last byte
  // is zero. A record
  // about to replace `before` gives up the comment's last byte for its track number when
  // the number is new to the file: `before` showed no number (that byte not zero, as in a
  // trailer whose comment runs on into the track byte) and the byte is unchanged, the
  // number is left alone, so such an untouched comment stays whole.
  void MakeTrackVisible(const TagRecord& before);

  const Bytes& bytes() const { return bytes_; }
  Bytes& bytes() { return bytes_; }

  friend bool operator==(const TagRecord&, const TagRecord&) = default;

 private:
  Bytes bytes_{};
};

}  // namespace pelmix
