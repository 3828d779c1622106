// The value rules: the track, the genre, the code page and each field's width.
#include "session/value_rules.h"

#include "core/ascii.h"
#include "core/field_layout.h"

namespace pelmix {

std::optional<std::uint8_t> TrackByte(std::string_view text) {
  if (text.empty()) return kNoTrack;
  int value = 0;
  for (char c : text) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kHighestTrack) return std::nullopt;
  }
  // "0" would be stored as the byte that means no track number: a number the user did not ask for.
  if (value == 0) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

std::optional<std::uint8_t> GenreByte(const GenreList& genres, int genreIndex) {
  // Nothing selected is stored as "no genre".
  if (genreIndex < 0 || genreIndex >= genres.Count()) return kNoGenre;
  const std::int32_t code = genres.CodeAt(genreIndex);
  if (code < 0 || code > 255) return std::nullopt;
  return static_cast<std::uint8_t>(code);
}

std::variant<std::string, FieldProblem> EncodeValue(CodePage page, TagField field, std::string_view utf8) {
  EncodeResult encoded = EncodeText(page, utf8);
  switch (encoded.status) {
    case EncodeResult::Status::Ok:
      // A field's text ends at its first zero byte: what follows would be kept out of sight.
      if (encoded.bytes.find('\0') != std::string::npos) break;
      return std::move(encoded.bytes);
    case EncodeResult::Status::InvalidUtf8:
      return FieldProblem{.problem = ValueProblem::InvalidText, .field = field, .value = std::string(utf8)};
    case EncodeResult::Status::Unencodable: break;
  }
  return FieldProblem{.problem = ValueProblem::NotInCodePage,
                      .field = field,
                      .value = std::string(utf8),
                      .character = encoded.character};
}

bool ShowsTrack(const TagRecord& record) {
  return record.GetTrack() != kNoTrack && record.bytes()[kTrackMarkerOffset] == 0;
}

std::size_t StoredWidth(TagField field, bool trackShown) { return TextFieldWidth(field, trackShown); }

std::size_t MostCharacters(TagField field) {
  return field == TagField::Track ? kTrackDigits : StoredWidth(field, false);
}

std::optional<FieldProblem> CheckValues(const BoundValues& values, const GenreList& genres, bool trackShown) {
  const FieldValues& fields = values.fields;
  for (TagField field : kRecordOrder) {
    if (values.updateFlag[field] != 1) continue;
    const char32_t character = values.unstorable[FieldIndex(field)];
    if (field == TagField::Track) {
      if (character != 0 || !TrackByte(fields.trackText)) {
        return FieldProblem{.problem = ValueProblem::NotATrackNumber, .field = field, .value = fields.trackText};
      }
    } else if (field == TagField::Genre) {
      if (!GenreByte(genres, fields.genreIndex)) {
        return FieldProblem{
            .problem = ValueProblem::GenreCode, .field = field, .code = genres.CodeAt(fields.genreIndex)};
      }
    } else if (character != 0) {
      return FieldProblem{.problem = ValueProblem::NotInCodePage, .field = field, .character = character};
    } else if (const std::size_t width = StoredWidth(field, trackShown); fields.Text(field).size() > width) {
      return FieldProblem{.problem = ValueProblem::TooLong,
                          .field = field,
                          .value = fields.Text(field),
                          .width = width,
                          .trackTakesByte = width < TextFieldSpan(field).width};
    }
  }
  return std::nullopt;
}

FieldFlags CutToFit(FieldValues& fields, const FieldFlags& ticked, CodePage page, bool trackShown) {
  FieldFlags cut;
  for (TagField field : kRecordOrder) {
    if (ticked[field] != 1 || field == TagField::Track || field == TagField::Genre) continue;
    std::string& text = fields.Text(field);
    const std::size_t width = StoredWidth(field, trackShown);
    if (text.size() <= width) continue;
    text.resize(CharacterBoundary(page, text, width));
    cut[field] = 1;
  }
  return cut;
}

}  // namespace pelmix
