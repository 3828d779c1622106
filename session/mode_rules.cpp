// Modes and the "Update" boxes decide which controls are enabled: a value control exactly
// when its field takes part in the next write, an "Auto Increment" box exactly when its
// check mark takes effect at that write.
#include "session/tag_edit_session.h"

namespace pelmix {

const char* ModeHelpText(EditMode mode) {
  switch (mode) {
    case EditMode::Edit: return "Edit selected Tags, Click Update to save";
    case EditMode::View: return "View Tags, no changes allowed";
    case EditMode::Update: return "Replace selected tags, Click Update to save";
    case EditMode::AutoUpdate: return "Replace selected tags, Updated immediately";
    case EditMode::None: break;
  }
  return "";
}

void TagEditSession::OnModeClicked() {
  exchange_.SaveControls(values_);
  SetMode(static_cast<EditMode>(values_.mode));
}

void TagEditSession::SetMode(EditMode mode) {
  const bool editable = mode != EditMode::View;
  for (TagField field : kAllTagFields) exchange_.EnableControl(ControlKind::UpdateBox, field, editable);
  incrementsAllowed_ = mode == EditMode::Update || mode == EditMode::AutoUpdate;
  for (TagField field : kAllTagFields) {
    if (!HasIncrementBox(field)) continue;
    exchange_.EnableControl(ControlKind::IncrementBox, field, incrementsAllowed_ && values_.updateFlag[field] == 1);
  }
  for (TagField field : kAllTagFields) {
    exchange_.EnableControl(ControlKind::ValueControl, field, editable && values_.updateFlag[field] == 1);
  }
  values_.modeHelpText = ModeHelpText(mode);
  exchange_.EnableControl(ControlKind::UpdateButton, std::nullopt, editable);
  exchange_.ShowValues(values_);
}

void TagEditSession::OnUpdateBoxClicked(TagField field) {
  exchange_.SaveControls(values_);
  const bool flagged = values_.updateFlag[field] == 1;
  if (HasIncrementBox(field)) {
    exchange_.EnableControl(ControlKind::IncrementBox, field, incrementsAllowed_ && flagged);
  }
  // The value control follows the flag alone: the box can only be clicked outside View.
  exchange_.EnableControl(ControlKind::ValueControl, field, flagged);
}

}  // namespace pelmix
