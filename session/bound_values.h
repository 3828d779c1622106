// The values the window binds to its controls: what the data exchange copies both ways.
#pragma once

#include <array>
#include <string>

#include "core/tag_field.h"

namespace pelmix {

// The mode is the position of the checked button in the "Mode:" group; None when no
// button is checked.
enum class EditMode : int { None = -1, Edit = 0, View = 1, Update = 2, AutoUpdate = 3 };

// The seven field values as the window shows them. Texts are bytes of the ANSI code page.
struct FieldValues {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string comment;
  std::string trackText;  // decimal; empty for no track number
  int genreIndex = -1;    // position in the GenreList; -1 for none

  // The text of Title, Artist, Album, Year, Comment or Track.
  std::string& Text(TagField field);
  const std::string& Text(TagField field) const;

  friend bool operator==(const FieldValues&, const FieldValues&) = default;
};

// One 0-or-1 check box value per field, indexed by TagField.
struct FieldFlags {
  std::array<int, kTagFieldCount> value{};

  int& operator[](TagField field) { return value[FieldIndex(field)]; }
  int operator[](TagField field) const { return value[FieldIndex(field)]; }

  friend bool operator==(const FieldFlags&, const FieldFlags&) = default;
};

struct BoundValues {
  FieldValues fields;
  FieldFlags updateFlag;
  // Genre and Year have no "Auto Increment" box; their entries are never bound and stay 0.
  FieldFlags incrementFlag;
  int mode = static_cast<int>(EditMode::None);
  std::string modeHelpText;
  // Per text field, set by a save direction whose control holds a character the tags' code
  // page has no byte for: the first such character, which a write refuses; 0 for none. The
  // load direction leaves such a control as the user typed it.
  std::array<char32_t, kTagFieldCount> unstorable{};

  friend bool operator==(const BoundValues&, const BoundValues&) = default;
};

}  // namespace pelmix
