// The command line's stand-in for the window's controls: values given once on the command
// line, bound to the session as the window binds its controls in Auto Update.
#pragma once

#include "session/control_exchange.h"

namespace pelmix::cli {

class CliExchange final : public ControlExchange {
 public:
  explicit CliExchange(const BoundValues& controls) : controls_(controls) {}

  void SaveControls(BoundValues& values) override { values = controls_; }
  // The session's values come back, so a counted-up value carries to the next file.
  void ShowValues(BoundValues& values) override { controls_ = values; }
  void ShowTitle(const std::string&) override {}
  void EnableControl(ControlKind, std::optional<TagField>, bool) override {}

  const BoundValues& controls() const { return controls_; }
  // For values that differ from file to file (taken from its name), set before its turn.
  BoundValues& controls() { return controls_; }

 private:
  BoundValues controls_;
};

}  // namespace pelmix::cli
