// Whether a value can be stored in its field as it is: the one rulebook the window and
// pelmix-cli both ask. Nothing is ever written as something else: a value the field cannot
// hold is refused, and the front end says why in its own words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/genre_list.h"
#include "core/tag_field.h"
#include "core/tag_record.h"
#include "core/text_codec.h"
#include "session/bound_values.h"

namespace pelmix {

enum class ValueProblem {
  InvalidText,      // the text given is not valid UTF-8
  NotInCodePage,    // a character the tags' code page has no byte for
  TooLong,          // more bytes than the field keeps
  NotATrackNumber,  // neither empty (no track number) nor a number from 1 to 255
  GenreCode,        // the chosen genre stands for a code a tag cannot hold
  NameMismatch,     // the file's name does not have the shape of the name pattern
};

// Where a value a batch writes came from: given once for every file (the window's controls,
// pelmix-cli's field options), a file's name, or a file's row of a table.
enum class ValueOrigin { Given, Name, Table };

struct FieldProblem {
  ValueProblem problem = ValueProblem::TooLong;
  TagField field = TagField::Title;
  // The value refused: tag bytes, or the text as given where it could not become tag bytes.
  std::string value{};
  std::size_t width = 0;        // TooLong: the bytes the field keeps here
  bool trackTakesByte = false;  // TooLong: the field keeps one byte less for the track number
  char32_t character = 0;       // NotInCodePage: the first character without a byte
  std::int32_t code = 0;        // GenreCode: the code of the chosen genre
  ValueOrigin origin = ValueOrigin::Given;

  friend bool operator==(const FieldProblem&, const FieldProblem&) = default;
};

// The track byte a track text stands for: 0 for the empty text (no track number), else the
// value of a text of ASCII digits only from 1 to 255, leading zeros allowed ("007" is 7).
// Nothing for any other text: the byte cannot mean it.
std::optional<std::uint8_t> TrackByte(std::string_view text);

// The genre byte the entry at genreIndex stands for: 255 (none) for no entry; nothing for an
// entry whose code a tag cannot hold.
std::optional<std::uint8_t> GenreByte(const GenreList& genres, int genreIndex);

// Text given as UTF-8 (the command line, a file name, a table) as tag bytes of the code
// page; or why it cannot be. U+0000 is never stored: a field's text ends at a zero byte.
std::variant<std::string, FieldProblem> EncodeValue(CodePage page, TagField field, std::string_view utf8);

// The bytes a text field keeps: its width, one less for the comment of a tag that shows a
// track number.
std::size_t StoredWidth(TagField field, bool trackShown);
// The most characters a control of Track or a text field takes: "255", or the field's width.
std::size_t MostCharacters(TagField field);

// Whether other readers take the record's track byte as a track number: only while the
// comment's last byte is zero. The comment then keeps one byte less.
bool ShowsTrack(const TagRecord& record);

// The first value among the fields ticked for writing, in record order, that cannot be
// stored as it is. trackShown: whether the record written will show a track number, which
// takes the comment's last byte.
std::optional<FieldProblem> CheckValues(const BoundValues& values, const GenreList& genres, bool trackShown);

// Each ticked text field longer than the bytes it keeps, cut to them at the last character
// boundary of the code page: what a batch asked to truncate stores where it would refuse.
// The fields cut.
FieldFlags CutToFit(FieldValues& fields, const FieldFlags& ticked, CodePage page, bool trackShown);

inline bool AnyField(const FieldFlags& flags) {
  for (int flag : flags.value) {
    if (flag == 1) return true;
  }
  return false;
}

}  // namespace pelmix
