// Each text field of the window takes no more than its width in the trailer: typing stops
// there, and a longer text put in by other means is refused by name when the window ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/ui/ui_driver.h"
#include "ui/tag_edit_dlg.h"

namespace pelmix::test {
namespace {

TEST(TextLimitsTest, EachFieldStopsAtItsWidth) {
  struct Case {
    int id;
    int width;
  };
  const Case cases[] = {{IDC_TITLE, 30}, {IDC_ARTIST, 30}, {IDC_ALBUM, 30}, {IDC_YEAR, 4}, {IDC_COMMENT, 29}};
  ui::CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.id);
      EXPECT_EQ(::SendMessageW(ui.Item(c.id), EM_GETLIMITTEXT, 0, 0), c.width);
      ui.SetText(c.id, std::string(static_cast<std::size_t>(c.width) + 1, '7'));
      ui.Focus(c.id);
      ui.PressKey(VK_RETURN);
      const auto box = ui.AnswerMessageBox();
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, "Please enter no more than " + std::to_string(c.width) + " characters.");
      EXPECT_TRUE(ui.DialogIsOpen());
      ui.SetText(c.id, std::string(static_cast<std::size_t>(c.width), '7'));
    }
  });
}

}  // namespace
}  // namespace pelmix::test
