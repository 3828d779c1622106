// The main window with files: loading, writing with "&Update", validation of the fields,
// and ending the dialog, checked on the bytes on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_driver.h"
#include "ui/framework/win_app.h"
#include "ui/tag_edit_dlg.h"

namespace pelmix::test {
namespace {

using ui::CTagEditDlg;

constexpr std::uint8_t kRock = 17;  // in the genre.txt beside the test program
constexpr std::uint8_t kLowerRock = 117;

std::filesystem::path MakeSong(const TempDir& dir, const std::string& utf8Name, const Bytes& bytes) {
  const std::filesystem::path path = dir.path() / std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
  WriteFile(path, bytes);
  return path;
}

void Load(UiDriver& ui, CTagEditDlg& dialog, const std::filesystem::path& path) {
  bool loaded = false;
  ui.OnUiThread([&] { loaded = dialog.session().LoadFile(path); });
  ASSERT_TRUE(loaded);
}

// "&Update" clicked, or pressed with Enter while it has the focus.
TEST(TagWritingTest, UpdateWritesTheLoadedFilesTrailer) {
  const Bytes audio = Audio(1000);
  const struct {
    const char* name;  // UTF-8
    const wchar_t* title;
    Bytes before;
    Bytes after;
    bool byEnter;
  } cases[] = {
      {"song.mp3", L"Pelmix -  song.mp3", Concat(audio, Trailer("Old", "Artist", "Album", "1999", "Note", 3, kRock)),
       Concat(audio, Trailer("New Title", "Artist", "Album", "1999", "Note", 3, kRock)), false},
      {"01 Intro.mp3", L"Pelmix -  01 Intro.mp3", audio, Concat(audio, Trailer("New Title", "", "", "", "", 0, 255)),
       true},
      {"\xC3\x9C" "ber \xE2\x99\xAB.mp3", L"Pelmix -  \u00DCber \u266B.mp3",
       Concat(audio, Trailer("Old", "", "", "", "", 0, kLowerRock)),
       Concat(audio, Trailer("New Title", "", "", "", "", 0, kLowerRock)), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::filesystem::path song = MakeSong(dir, c.name, c.before);
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      Load(ui, dialog, song);
      EXPECT_EQ(WideText(ui.dialog()), c.title);
      ui.SetText(IDC_TITLE, "New Title");
      if (c.byEnter) {
        ui.Focus(IDC_UPDATE_BUTTON);
        ui.PressKey(VK_RETURN);
      } else {
        ui.Click(IDC_UPDATE_BUTTON);
      }
      EXPECT_EQ(ReadFile(song), c.after);
      EXPECT_TRUE(ui.DialogIsOpen());
    });
  }
}

TEST(TagWritingTest, LoadedGenreSelectsTheEntryWithItsCode) {
  TempDir dir;
  for (std::uint8_t code : {kRock, kLowerRock, std::uint8_t{60}, std::uint8_t{61}, std::uint8_t{62}, std::uint8_t{41}}) {
    SCOPED_TRACE(static_cast<int>(code));
    const std::filesystem::path song = MakeSong(dir, "genre.mp3", Concat(Audio(200), Trailer("T", "", "", "", "", 0, code)));
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      Load(ui, dialog, song);
      const HWND combo = ui.Item(IDC_GENRE);
      const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
      ASSERT_NE(selected, CB_ERR);
      EXPECT_EQ(::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0), code);
      // Written back, the selection gives the same code.
      ui.SetText(IDC_TITLE, "U");
      ui.Click(IDC_UPDATE_BUTTON);
      EXPECT_TRUE(UiDriver::WaitUntil([&] { return ReadFile(song).back() == code && ReadFile(song)[203] == 'U'; }));
    });
  }
}

TEST(TagWritingTest, CountingTrackPastItsLimitFailsTheNextSave) {
  TempDir dir;
  const Bytes audio = Audio(500);
  const std::filesystem::path song = MakeSong(dir, "batch.mp3", audio);
  CTagEditDlg dialog;
  const INT_PTR result = RunDialog(dialog, [&](UiDriver& ui) {
    ui.Click(IDC_MODE_UPDATE);
    ui.Click(IDC_INCREMENT_TRACK);
    ASSERT_TRUE(UiDriver::WaitUntil([&] { return ui.IsChecked(IDC_INCREMENT_TRACK); }));
    ui.SetText(IDC_TRACK, "999");
    Load(ui, dialog, song);
    ui.Click(IDC_UPDATE_BUTTON);
    ASSERT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TRACK) == "1000"; }));
    EXPECT_EQ(ReadFile(song), Concat(audio, Trailer("", "", "", "", "", 999 % 256, 255)));

    // Year comes before Track in the exchange and is read; the help line comes after it and is not.
    ui.SetText(IDC_YEAR, "2024");
    ui.SetText(IDC_MODE_HELP, "not read");
    ui.Click(IDC_UPDATE_BUTTON);
    const auto box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Please enter no more than 3 characters.");
    EXPECT_EQ(box->caption, ui::ApplicationName());
    EXPECT_TRUE(box->hasIcon);
    // The update goes on with what was read: Year, and the track cut to its low byte.
    EXPECT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TRACK) == "1001"; }));
    EXPECT_EQ(ReadFile(song), Concat(audio, Trailer("", "", "", "2024", "", 1000 % 256, 255)));
    EXPECT_EQ(ui.Text(IDC_MODE_HELP), "Replace selected tags, Click Update to save");

    // The OK action stops at the failure with the focus on the field and its text selected.
    ui.Focus(IDC_TITLE);
    ui.PressKey(VK_RETURN);
    ASSERT_TRUE(ui.AnswerMessageBox());
    EXPECT_TRUE(UiDriver::WaitUntil([&] { return ui.FocusId() == IDC_TRACK; }));
    DWORD start = 1;
    DWORD end = 0;
    ::SendMessageW(ui.Item(IDC_TRACK), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    EXPECT_TRUE(ui.DialogIsOpen());
    ui.PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(result, IDCANCEL);
}

// How the dialog ends, with a loaded file and an edited Title that must never reach the disk.
TEST(TagWritingTest, OkAndCancelEndTheDialogWithoutWriting) {
  const struct {
    const char* what;
    bool overLongTrack;
    void (*act)(const UiDriver&);
    bool messageBox;
    INT_PTR result;
  } cases[] = {
      {"Enter in an edit control", false, [](const UiDriver& ui) { ui.Focus(IDC_TITLE); ui.PressKey(VK_RETURN); }, false, IDOK},
      {"Enter on a check box", false, [](const UiDriver& ui) { ui.Focus(IDC_UPDATE_YEAR); ui.PressKey(VK_RETURN); }, false, IDOK},
      {"File > Exit", false, [](const UiDriver& ui) { ui.Command(ID_FILE_EXIT); }, false, IDOK},
      {"Escape", true, [](const UiDriver& ui) { ui.Focus(IDC_TITLE); ui.PressKey(VK_ESCAPE); }, false, IDCANCEL},
      {"close box", true, [](const UiDriver& ui) { ui.SysCommand(SC_CLOSE); }, false, IDCANCEL},
      {"Enter over the limit", true, [](const UiDriver& ui) { ui.Focus(IDC_TITLE); ui.PressKey(VK_RETURN); }, true, IDCANCEL},
      {"File > Exit over the limit", true, [](const UiDriver& ui) { ui.Command(ID_FILE_EXIT); }, true, IDCANCEL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const Bytes before = Concat(Audio(300), Trailer("Kept", "", "", "", "", 1, kRock));
    const std::filesystem::path song = MakeSong(dir, "kept.mp3", before);
    CTagEditDlg dialog;
    const INT_PTR result = RunDialog(dialog, [&](UiDriver& ui) {
      Load(ui, dialog, song);
      ui.SetText(IDC_TITLE, "Dropped");
      if (c.overLongTrack) ui.SetText(IDC_TRACK, "1000");
      c.act(ui);
      if (c.messageBox) {
        const auto box = ui.AnswerMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, "Please enter no more than 3 characters.");
        EXPECT_TRUE(ui.DialogIsOpen());
      } else {
        EXPECT_TRUE(UiDriver::WaitUntil([&] { return !ui.DialogIsOpen(); }));
        EXPECT_FALSE(ui.FindPopup()) << "no message box";
      }
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(ReadFile(song), before);
  }
}

}  // namespace
}  // namespace pelmix::test
