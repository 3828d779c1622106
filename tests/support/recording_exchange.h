// A ControlExchange without windows: its "controls" are a BoundValues the test sets, and
// every call is recorded in order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/control_exchange.h"

namespace pelmix::test {

class RecordingExchange : public ControlExchange {
 public:
  // What the controls hold; the save direction copies it into the session.
  BoundValues controls;
  std::vector<std::string> calls;
  std::string title;
  // The enabled state of each governed control, by the names EnableCall gives.
  std::map<std::string, bool> enabled;

  void SaveControls(BoundValues& values) override {
    calls.push_back("Save");
    values = controls;
  }
  void ShowValues(BoundValues& values) override {
    calls.push_back("Show");
    controls = values;
  }
  void ShowTitle(const std::string& text) override {
    calls.push_back("Title " + text);
    title = text;
  }
  void EnableControl(ControlKind kind, std::optional<TagField> field, bool on) override {
    const std::string name = ControlName(kind, field);
    calls.push_back("Enable " + name + (on ? " on" : " off"));
    enabled[name] = on;
  }

  static std::string ControlName(ControlKind kind, std::optional<TagField> field) {
    static const char* const kKinds[] = {"Value", "UpdateBox", "IncrementBox", "UpdateButton"};
    static const char* const kFields[] = {"Track", "Genre", "Title", "Artist", "Album", "Year", "Comment"};
    std::string name = kKinds[static_cast<int>(kind)];
    if (field) name += std::string(" ") + kFields[FieldIndex(*field)];
    return name;
  }
  // Forget the calls so far.
  void ClearCalls() { calls.clear(); }
};

}  // namespace pelmix::test
