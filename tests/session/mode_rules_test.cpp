// Which controls each mode and Update box enables, checked call by call.
#include <gtest/gtest.h>

#include "tests/support/session_fixture.h"

namespace pelmix {
namespace {

using test::RecordingExchange;
using test::SessionTest;

class ModeRulesTest : public SessionTest {
 protected:
  void ClickMode(EditMode mode) {
    exchange.controls.mode = static_cast<int>(mode);
    session.OnModeClicked();
  }
  void ClickUpdateBox(TagField field) {
    exchange.controls.updateFlag[field] ^= 1;
    session.OnUpdateBoxClicked(field);
  }

  // The enabled state every governed control must have for a mode and the update flags.
  std::map<std::string, bool> Expected(EditMode mode) const {
    const bool editable = mode != EditMode::View;
    const bool increments = mode == EditMode::Update || mode == EditMode::AutoUpdate;
    std::map<std::string, bool> states;
    for (TagField field : kAllTagFields) {
      const bool flagged = exchange.controls.updateFlag[field] == 1;
      states[RecordingExchange::ControlName(ControlKind::UpdateBox, field)] = editable;
      states[RecordingExchange::ControlName(ControlKind::ValueControl, field)] = editable && flagged;
      if (HasIncrementBox(field)) {
        states[RecordingExchange::ControlName(ControlKind::IncrementBox, field)] = increments && flagged;
      }
    }
    states[RecordingExchange::ControlName(ControlKind::UpdateButton, std::nullopt)] = editable;
    return states;
  }
};

TEST_F(ModeRulesTest, StartOpensInEditWithEveryUpdateBoxTicked) {
  session.Start();
  session.OnModeClicked();
  const std::vector<std::string> expected = {"Show",  // Start
                                             "Save",
                                             "Enable UpdateBox Track on",
                                             "Enable UpdateBox Genre on",
                                             "Enable UpdateBox Title on",
                                             "Enable UpdateBox Artist on",
                                             "Enable UpdateBox Album on",
                                             "Enable UpdateBox Year on",
                                             "Enable UpdateBox Comment on",
                                             "Enable IncrementBox Track off",
                                             "Enable IncrementBox Title off",
                                             "Enable IncrementBox Artist off",
                                             "Enable IncrementBox Album off",
                                             "Enable IncrementBox Comment off",
                                             "Enable Value Track on",
                                             "Enable Value Genre on",
                                             "Enable Value Title on",
                                             "Enable Value Artist on",
                                             "Enable Value Album on",
                                             "Enable Value Year on",
                                             "Enable Value Comment on",
                                             "Enable UpdateButton on",
                                             "Show"};
  EXPECT_EQ(exchange.calls, expected);
  EXPECT_EQ(exchange.controls.mode, 0);
  EXPECT_EQ(exchange.controls.modeHelpText, "Edit selected Tags, Click Update to save");
  EXPECT_EQ(exchange.controls.fields, FieldValues{});
  EXPECT_EQ(exchange.controls.incrementFlag, FieldFlags{});
  EXPECT_FALSE(session.incrementsAllowed());
  EXPECT_EQ(exchange.enabled, Expected(EditMode::Edit));
}

TEST_F(ModeRulesTest, EachModeGivesItsHelpLineAndStates) {
  struct Case {
    EditMode mode;
    const char* help;
    bool incrementsAllowed;
  };
  const Case cases[] = {
      {EditMode::View, "View Tags, no changes allowed", false},
      {EditMode::Update, "Replace selected tags, Click Update to save", true},
      {EditMode::AutoUpdate, "Replace selected tags, Updated immediately", true},
      {EditMode::Edit, "Edit selected Tags, Click Update to save", false},
      {EditMode::Edit, "Edit selected Tags, Click Update to save", false},  // the same mode again
  };
  StartIn(EditMode::Edit);
  // Title and Album take no part in writing, so their value and increment controls stay off.
  exchange.controls.updateFlag[TagField::Title] = 0;
  exchange.controls.updateFlag[TagField::Album] = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.help);
    exchange.ClearCalls();
    ClickMode(c.mode);
    EXPECT_EQ(session.modeHelpText(), c.help);
    EXPECT_EQ(exchange.controls.modeHelpText, c.help);
    EXPECT_EQ(session.incrementsAllowed(), c.incrementsAllowed);
    EXPECT_EQ(exchange.enabled, Expected(c.mode));
    EXPECT_EQ(exchange.calls.size(), 22u);  // save, twenty controls, show
    EXPECT_EQ(exchange.calls.back(), "Show");
  }
}

TEST_F(ModeRulesTest, UpdateBoxClicksChangeOnlyTheirFieldsControls) {
  struct Case {
    EditMode mode;
    TagField field;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {EditMode::Edit, TagField::Title, {"Save", "Enable IncrementBox Title off", "Enable Value Title off"}},
      {EditMode::Update, TagField::Artist, {"Save", "Enable IncrementBox Artist off", "Enable Value Artist off"}},
      {EditMode::AutoUpdate, TagField::Track, {"Save", "Enable IncrementBox Track off", "Enable Value Track off"}},
      {EditMode::Update, TagField::Genre, {"Save", "Enable Value Genre off"}},
      {EditMode::Edit, TagField::Year, {"Save", "Enable Value Year off"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(RecordingExchange::ControlName(ControlKind::ValueControl, c.field));
    RecordingExchange fresh;
    exchange = fresh;
    session.Start();
    ClickMode(c.mode);
    exchange.ClearCalls();
    ClickUpdateBox(c.field);
    EXPECT_EQ(exchange.calls, c.calls);
    EXPECT_EQ(exchange.enabled, Expected(c.mode));
    ClickUpdateBox(c.field);
    EXPECT_EQ(exchange.enabled, Expected(c.mode));
    EXPECT_EQ(session.updateFlag(c.field), 1);
  }
}

TEST_F(ModeRulesTest, IncrementCheckMarksSurviveBeingDisabled) {
  StartIn(EditMode::Update);
  exchange.controls.incrementFlag[TagField::Artist] = 1;
  ClickUpdateBox(TagField::Artist);
  EXPECT_FALSE(exchange.enabled["IncrementBox Artist"]);
  ClickMode(EditMode::Edit);
  ClickMode(EditMode::Update);
  ClickUpdateBox(TagField::Artist);
  EXPECT_TRUE(exchange.enabled["IncrementBox Artist"]);
  EXPECT_TRUE(exchange.enabled["Value Artist"]);
  EXPECT_EQ(exchange.controls.incrementFlag[TagField::Artist], 1);
  EXPECT_EQ(session.incrementFlag(TagField::Artist), 1);
}

TEST_F(ModeRulesTest, ViewDisablesAllTwentyControls) {
  StartIn(EditMode::Edit);
  ClickMode(EditMode::View);
  ASSERT_EQ(exchange.enabled.size(), 20u);
  for (const auto& [name, on] : exchange.enabled) EXPECT_FALSE(on) << name;
}

}  // namespace
}  // namespace pelmix
