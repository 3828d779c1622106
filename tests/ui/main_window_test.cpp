// The main window driven through its real controls: start state, modes and "Update" boxes,
// keyboard, About box and the genre list.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/ui_driver.h"
#include "ui/tag_edit_dlg.h"

namespace pelmix::test {
namespace {

using ui::CTagEditDlg;

// The twenty governed controls: values, "Update" boxes, "Auto Increment" boxes, "&Update".
const std::vector<std::vector<int>> kGoverned = {
    {IDC_TRACK, IDC_GENRE, IDC_TITLE, IDC_ARTIST, IDC_ALBUM, IDC_YEAR, IDC_COMMENT},
    {IDC_UPDATE_TRACK, IDC_UPDATE_GENRE, IDC_UPDATE_TITLE, IDC_UPDATE_ARTIST, IDC_UPDATE_ALBUM, IDC_UPDATE_YEAR,
     IDC_UPDATE_COMMENT},
    {IDC_INCREMENT_TRACK, IDC_INCREMENT_TITLE, IDC_INCREMENT_ARTIST, IDC_INCREMENT_ALBUM, IDC_INCREMENT_COMMENT},
    {IDC_UPDATE_BUTTON}};

// One digit per control, group by group: "1111111 1111111 00000 1".
std::string States(const UiDriver& ui, bool (UiDriver::*state)(int) const) {
  std::string text;
  for (const auto& group : kGoverned) {
    if (!text.empty()) text += ' ';
    for (int id : group) text += (ui.*state)(id) ? '1' : '0';
  }
  return text;
}

std::vector<std::string> ComboNames(HWND combo) {
  std::vector<std::string> names;
  for (int i = 0; i < static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0)); ++i) {
    std::string name(static_cast<std::size_t>(::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    name.resize(
        static_cast<std::size_t>(::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
    names.push_back(name);
  }
  return names;
}

TEST(MainWindowTest, StartsInEditModeWithEveryUpdateBoxTicked) {
  CTagEditDlg dialog;
  RunDialog(dialog, [](UiDriver& ui) {
    EXPECT_EQ(WideText(ui.dialog()), L"Pelmix");
    EXPECT_TRUE(ui.IsChecked(IDC_MODE_EDIT));
    EXPECT_EQ(States(ui, &UiDriver::IsEnabled), "1111111 1111111 00000 1");
    EXPECT_EQ(States(ui, &UiDriver::IsChecked), "0000000 1111111 00000 0");
    EXPECT_EQ(ui.Text(IDC_MODE_HELP), "Edit selected Tags, Click Update to save");
    for (int id : kGoverned[0]) EXPECT_EQ(ui.Text(id), "") << id;
    EXPECT_EQ(::SendMessageW(ui.Item(IDC_GENRE), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(ui.FocusId(), IDC_TRACK);

    const HMENU systemMenu = ::GetSystemMenu(ui.dialog(), FALSE);
    const int last = ::GetMenuItemCount(systemMenu) - 1;
    wchar_t about[32] = {};
    ::GetMenuStringW(systemMenu, last, about, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(about), L"&About Pelmix...");
    EXPECT_EQ(::GetMenuItemID(systemMenu, last), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(::GetMenuState(systemMenu, last - 1, MF_BYPOSITION) & MF_SEPARATOR);

    const LRESULT icon = ::SendMessageW(ui.dialog(), WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(icon, 0);
    EXPECT_EQ(::SendMessageW(ui.dialog(), WM_GETICON, ICON_SMALL, 0), icon);
    EXPECT_EQ(::SendMessageW(ui.dialog(), WM_QUERYDRAGICON, 0, 0), icon);
  });
}

TEST(MainWindowTest, ModesAndUpdateBoxesDecideWhatIsEnabled) {
  const char* const kEditHelp = "Edit selected Tags, Click Update to save";
  const char* const kUpdateHelp = "Replace selected tags, Click Update to save";
  const struct {
    std::vector<int> clicks;
    const char* enabled;
    const char* help;
    bool artistIncrementChecked;
  } cases[] = {
      {{IDC_MODE_EDIT}, "1111111 1111111 00000 1", kEditHelp, false},
      {{IDC_MODE_VIEW}, "0000000 0000000 00000 0", "View Tags, no changes allowed", false},
      {{IDC_MODE_UPDATE}, "1111111 1111111 11111 1", kUpdateHelp, false},
      {{IDC_MODE_AUTO_UPDATE}, "1111111 1111111 11111 1", "Replace selected tags, Updated immediately", false},
      {{IDC_MODE_VIEW, IDC_MODE_EDIT}, "1111111 1111111 00000 1", kEditHelp, false},
      {{IDC_UPDATE_TITLE}, "1101111 1111111 00000 1", kEditHelp, false},
      {{IDC_UPDATE_TITLE, IDC_MODE_VIEW, IDC_MODE_EDIT}, "1101111 1111111 00000 1", kEditHelp, false},
      {{IDC_MODE_UPDATE, IDC_UPDATE_GENRE, IDC_UPDATE_YEAR}, "1011101 1111111 11111 1", kUpdateHelp, false},
      {{IDC_MODE_UPDATE, IDC_INCREMENT_ARTIST, IDC_UPDATE_ARTIST}, "1110111 1111111 11011 1", kUpdateHelp, true},
      {{IDC_MODE_UPDATE, IDC_INCREMENT_ARTIST, IDC_UPDATE_ARTIST, IDC_UPDATE_ARTIST},
       "1111111 1111111 11111 1",
       kUpdateHelp,
       true},
      {{IDC_MODE_UPDATE, IDC_INCREMENT_ARTIST, IDC_MODE_EDIT}, "1111111 1111111 00000 1", kEditHelp, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.clicks));
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      for (int id : c.clicks) ui.Click(id);
      EXPECT_EQ(States(ui, &UiDriver::IsEnabled), c.enabled);
      EXPECT_EQ(ui.Text(IDC_MODE_HELP), c.help);
      EXPECT_EQ(ui.IsChecked(IDC_INCREMENT_ARTIST), c.artistIncrementChecked);
    });
  }
}

TEST(MainWindowTest, TabRunsThroughTheFieldsAndAltYGoesToYear) {
  CTagEditDlg dialog;
  RunDialog(dialog, [](UiDriver& ui) {
    for (int next :
         {IDC_GENRE, IDC_TITLE, IDC_ARTIST, IDC_ALBUM, IDC_YEAR, IDC_COMMENT, IDC_UPDATE_BUTTON, IDC_TRACK}) {
      ui.PressKey(VK_TAB);
      EXPECT_EQ(ui.FocusId(), next);
    }
    // A checked mode button does not join the cycle.
    ui.Click(IDC_MODE_UPDATE);
    ui.Focus(IDC_UPDATE_BUTTON);
    ui.PressKey(VK_TAB);
    EXPECT_EQ(ui.FocusId(), IDC_TRACK);
    ui.PressAlt('y');
    EXPECT_EQ(ui.FocusId(), IDC_YEAR);
  });
}

TEST(MainWindowTest, SystemCommandsAndHelpAboutShowTheAboutBox) {
  // Opened by system commands whose low four bits vary, or by the menu; closed by OK, Enter, Escape.
  const struct {
    UINT message;
    WPARAM command;
    UINT closeKey;  // 0: the OK button
  } cases[] = {{WM_SYSCOMMAND, 0x0010, 0},
               {WM_SYSCOMMAND, 0x0013, VK_RETURN},
               {WM_SYSCOMMAND, 0x001F, VK_ESCAPE},
               {WM_COMMAND, ID_HELP_ABOUT, VK_ESCAPE}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    CTagEditDlg dialog;
    const INT_PTR result = RunDialog(dialog, [&](UiDriver& ui) {
      c.message == WM_SYSCOMMAND ? ui.SysCommand(c.command) : ui.Command(static_cast<int>(c.command));
      HWND about = nullptr;
      ASSERT_TRUE(UiDriver::WaitUntil([&] { return (about = ui.FindPopup(L"About Pelmix")) != nullptr; }));
      EXPECT_EQ(::GetWindow(about, GW_OWNER), ui.dialog());
      EXPECT_FALSE(::IsWindowEnabled(ui.dialog()));
      ASSERT_TRUE(UiDriver::WaitUntil([&] { return ::GetDlgCtrlID(ui.FocusWindow()) == IDOK; }));
      if (c.closeKey) {
        ui.PressKey(c.closeKey);
      } else {
        ::PostMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
      }
      EXPECT_TRUE(UiDriver::WaitUntil([&] { return !::IsWindow(about); }));
      EXPECT_TRUE(ui.DialogIsOpen() && ::IsWindowEnabled(ui.dialog()));
    });
    EXPECT_EQ(result, IDCANCEL);
  }
}

TEST(MainWindowTest, GenreListIsSortedAsTheControlSortsIt) {
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    const std::vector<std::string> shown = ComboNames(ui.Item(IDC_GENRE));
    // The same names added to a sorted drop-down list of our own: the control's own order.
    const HWND reference = ::CreateWindowExA(0, "ComboBox", "", CBS_DROPDOWNLIST | CBS_SORT | WS_POPUP, 0, 0, 100, 100,
                                             nullptr, nullptr, nullptr, nullptr);
    for (const std::string& name : shown)
      ::SendMessageA(reference, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    const std::vector<std::string> sorted = ComboNames(reference);
    ::DestroyWindow(reference);
    EXPECT_EQ(shown.size(), 17u) << "every line of genre.txt";
    ASSERT_EQ(shown.size(), sorted.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      // Names that differ only in case compare equal, and either may come first.
      EXPECT_EQ(::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, shown[i].c_str(), -1, sorted[i].c_str(), -1),
                CSTR_EQUAL)
          << i << ": " << shown[i] << " / " << sorted[i];
    }
  });
}

}  // namespace
}  // namespace pelmix::test
