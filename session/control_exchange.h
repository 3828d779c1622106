// What the editing session needs of a front end: the two directions of the data binding,
// the window title, and enabling the controls the mode rules govern.
#pragma once

#include <optional>
#include <string>

#include "core/tag_field.h"
#include "session/bound_values.h"

namespace pelmix {

// With a TagField it names one of the twenty governed controls; UpdateButton has no field.
enum class ControlKind { ValueControl, UpdateBox, IncrementBox, UpdateButton };

class ControlExchange {
 public:
  virtual ~ControlExchange() = default;

  // Save direction: every bound control into values, as it stands. Whether a value can be
  // stored is the session's question, asked when it writes; a control whose text has no
  // bytes in the code page says so in values.unstorable.
  virtual void SaveControls(BoundValues& values) = 0;
  // Load direction: values into the controls. May normalise a flag it cannot show.
  virtual void ShowValues(BoundValues& values) = 0;
  // The main window's title, as UTF-8 (it holds a file name, which may be any Unicode).
  virtual void ShowTitle(const std::string& title) = 0;
  virtual void EnableControl(ControlKind kind, std::optional<TagField> field, bool enabled) = 0;
};

}  // namespace pelmix
