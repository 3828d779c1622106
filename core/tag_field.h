// The seven fields of a tag, in the order the window lists them.
#pragma once

#include <array>
#include <cstddef>

namespace pelmix {

enum class TagField { Track, Genre, Title, Artist, Album, Year, Comment };

inline constexpr std::size_t kTagFieldCount = 7;

// Every field, in window order.
inline constexpr std::array<TagField, kTagFieldCount> kAllTagFields = {
    TagField::Track, TagField::Genre, TagField::Title,  TagField::Artist,
    TagField::Album, TagField::Year,  TagField::Comment};

// The order in which a load takes fields out of the trailer and an update puts them back.
inline constexpr std::array<TagField, kTagFieldCount> kRecordOrder = {
    TagField::Title,   TagField::Artist, TagField::Album, TagField::Year,
    TagField::Comment, TagField::Track,  TagField::Genre};

constexpr std::size_t FieldIndex(TagField field) { return static_cast<std::size_t>(field); }

// Track, Title, Artist, Album and Comment can count up; Genre and Year cannot.
constexpr bool HasIncrementBox(TagField field) { return field != TagField::Genre && field != TagField::Year; }

}  // namespace pelmix
