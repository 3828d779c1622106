// The main window with files: loading, writing with "&Update", validation of the fields,
// and ending the dialog, checked on the bytes on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include <filesystem>
#include <string>
#include <vector>

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
  const std::filesystem::path path = dir.path() /
                                     std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
  WriteFile(path, bytes);
  return path;
}

void Load(UiDriver& ui, CTagEditDlg& dialog, const std::filesystem::path& path) {
  bool loaded = false;
  ui.OnUiThread([&] { loaded = dialog.session().LoadFile(path); });
  ASSERT_TRUE(loaded);
}

// "&Update" clicked, or pressed with Enter while it has the focus.
TEST(TagWritingTest, UpdateWritesTheLoadedFilesTag) {
  const Bytes audio = Audio(1000);
  const struct {
    const char* name;  // UTF-8
    const wchar_t* title;
    Bytes before;
    Bytes after;
    bool byEnter;
  } cases[] = {
      {"song.mp3", L"Pelmix -  song.mp3", Concat(audio, TagBytes("Old", "Artist", "Album", "1999", "Note", 3, kRock)),
       Concat(audio, TagBytes("New Title", "Artist", "Album", "1999", "Note", 3, kRock)), false},
      {"01 Intro.mp3", L"Pelmix -  01 Intro.mp3", audio, Concat(audio, TagBytes("New Title", "", "", "", "", 0, 255)),
       true},
      {"\xC3\x9C"
       "ber \xE2\x99\xAB.mp3",
       L"Pelmix -  \u00DCber \u266B.mp3", Concat(audio, TagBytes("Old", "", "", "", "", 0, kLowerRock)),
       Concat(audio, TagBytes("New Title", "", "", "", "", 0, kLowerRock)), false},
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
  for (std::uint8_t code :
       {kRock, kLowerRock, std::uint8_t{60}, std::uint8_t{61}, std::uint8_t{62}, std::uint8_t{41}}) {
    SCOPED_TRACE(static_cast<int>(code));
    const std::filesystem::path song = MakeSong(dir, "genre.mp3",
                                                Concat(Audio(200), TagBytes("T", "", "", "", "", 0, code)));
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

TEST(TagWritingTest, TrackNumbersTheByteCannotHoldWriteNothing) {
  TempDir dir;
  const Bytes audio = Audio(500);
  const std::filesystem::path song = MakeSong(dir, "batch.mp3", audio);
  CTagEditDlg dialog;
  const INT_PTR result = RunDialog(dialog, [&](UiDriver& ui) {
    ui.Click(IDC_MODE_UPDATE);
    ui.Click(IDC_INCREMENT_TRACK);
    ASSERT_TRUE(UiDriver::WaitUntil([&] { return ui.IsChecked(IDC_INCREMENT_TRACK); }));
    ui.SetText(IDC_TRACK, "255");
    Load(ui, dialog, song);
    ui.Click(IDC_UPDATE_BUTTON);
    ASSERT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TRACK) == "256"; }));
    const Bytes stamped = Concat(audio, TagBytes("", "", "", "", "", 255, 255));
    EXPECT_EQ(ReadFile(song), stamped);

    // Counted past the byte, typed past it, or not a number: refused, the focus on Track.
    for (const char* track : {"256", "999", "3rd", "0"}) {
      SCOPED_TRACE(track);
      ui.SetText(IDC_TRACK, track);
      ui.Focus(IDC_TITLE);
      ui.Click(IDC_UPDATE_BUTTON);
      const auto box = ui.AnswerMessageBox();
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, "The track number must be a number up to 255, or empty for none.");
      EXPECT_EQ(box->caption, ui::ApplicationName());
      EXPECT_TRUE(ui.WaitForFocus(IDC_TRACK)) << ui.DescribeFocus();
      EXPECT_EQ(ui.Text(IDC_TRACK), track);
      EXPECT_EQ(ReadFile(song), stamped);
    }

    // Counted past the control's three digits: the same one message, nothing written.
    ui.SetText(IDC_YEAR, "2024");
    ui.SetText(IDC_TRACK, "1000");
    ui.Click(IDC_UPDATE_BUTTON);
    const auto box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "The track number must be a number up to 255, or empty for none.");
    EXPECT_TRUE(box->hasIcon);
    EXPECT_FALSE(ui.FindPopup()) << "one message only";
    EXPECT_EQ(ReadFile(song), stamped);

    // The OK action stops at the failure with the focus on the field and its text selected.
    ui.Focus(IDC_TITLE);
    ui.PressKey(VK_RETURN);
    ASSERT_TRUE(ui.AnswerMessageBox());
    EXPECT_TRUE(ui.WaitForFocus(IDC_TRACK)) << ui.DescribeFocus();
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

// What an Update stores is what the window shows afterwards, or it says why not.
TEST(TagWritingTest, AfterUpdateTheFieldsShowWhatIsOnDisk) {
  TempDir dir;
  const Bytes audio = Audio(100);
  const std::filesystem::path song = MakeSong(dir, "shown.mp3", audio);
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    Load(ui, dialog, song);
    // A character the code page has no place for: named, and nothing written.
    ::SendMessageW(ui.Item(IDC_TITLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u03A9mega \u20AC \u041F\u0440"));
    ui.Click(IDC_UPDATE_BUTTON);
    auto box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(
        box->wideText,
        L"The Title field holds \"\u03A9\", which this system's code page (1252) cannot store. Please replace it.");
    EXPECT_TRUE(ui.WaitForFocus(IDC_TITLE)) << ui.DescribeFocus();
    EXPECT_EQ(ReadFile(song), audio);

    // A load asks nothing of the values it replaces: dropped again, the file loads quietly.
    ui.Drop(MakeDrop({song}, true));
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
    EXPECT_EQ(WideText(ui.Item(IDC_TITLE)), L"");
    EXPECT_EQ(ReadFile(song), audio);

    // The euro sign is in the code page; a 29-byte comment and a track number cannot both
    // be stored: the comment is refused, not cut.
    ::SendMessageW(ui.Item(IDC_TITLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Omega \u20AC"));
    ui.SetText(IDC_COMMENT, std::string(29, 'c'));
    ui.SetText(IDC_TRACK, "007");
    ui.Click(IDC_UPDATE_BUTTON);
    box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text,
              "With a track number the comment keeps no more than 28 characters: the track number takes its last "
              "place. Please shorten it.");
    EXPECT_TRUE(ui.WaitForFocus(IDC_COMMENT)) << ui.DescribeFocus();
    EXPECT_EQ(ReadFile(song), audio);
    ui.SetText(IDC_COMMENT, std::string(28, 'c'));
    ui.Click(IDC_UPDATE_BUTTON);
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
    EXPECT_EQ(ReadFile(song), Concat(audio, TagBytes("Omega \x80", "", "", "", std::string(28, 'c'), 7, 255)));
    EXPECT_EQ(ui.Text(IDC_TRACK), "7");

    // The same values again are no write: the file keeps its time.
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    std::filesystem::last_write_time(song, old);
    ui.Click(IDC_UPDATE_BUTTON);
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
    EXPECT_LT(std::chrono::abs(std::filesystem::last_write_time(song) - old), std::chrono::minutes(1));
    EXPECT_EQ(WideText(ui.Item(IDC_TITLE)), L"Omega \u20AC");

    // Gone since it was loaded: said so, and the typed values stay.
    std::filesystem::remove(song);
    ui.SetText(IDC_ARTIST, "Kept");
    ui.Click(IDC_UPDATE_BUTTON);
    box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "The tag was not written to \"" + song.string() + "\".\n\nThe file was not found.");
    EXPECT_EQ(ui.Text(IDC_ARTIST), "Kept");
    EXPECT_EQ(WideText(ui.dialog()), L"Pelmix -  shown.mp3");
  });
}

TEST(TagWritingTest, BatchesSayWhatWasNotStampedOrWhereTheyStopped) {
  TempDir dir;
  const Bytes audio = Audio(100);
  std::vector<std::filesystem::path> songs;
  for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3"}) songs.push_back(MakeSong(dir, name, audio));
  // Held open by "another program" that lets others read but not write, as a player does:
  // a read-only attribute would not stop Wine run as root.
  HANDLE held = ::CreateFileW(songs[2].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    ui.Click(IDC_MODE_AUTO_UPDATE);
    ui.Click(IDC_INCREMENT_TRACK);
    ui.SetText(IDC_TRACK, "1");
    ui.Drop(MakeDrop(songs, true));
    auto box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "1 of 5 files were not stamped:\n\n3.mp3: Another program is using the file.");
    EXPECT_EQ(ReadFile(songs[2]), audio);
    // The unwritable file used up its number.
    EXPECT_EQ(ReadFile(songs[3]), Concat(audio, TagBytes("", "", "", "", "", 4, 255)));

    // From 254 over four files the third would get 256: checked before the first is
    // written, the batch writes nothing and says where, with the focus on Track.
    ::CloseHandle(held);
    ui.SetText(IDC_TRACK, "254");
    ui.Drop(MakeDrop({songs[1], songs[2], songs[3], songs[4]}, false));
    box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text,
              "Nothing was stamped: file 3 of 4, \"4.mp3\", would get track number 256, and a track number goes up "
              "to 255.");
    EXPECT_TRUE(ui.WaitForFocus(IDC_TRACK)) << ui.DescribeFocus();
    EXPECT_FALSE(ui.FindPopup()) << "one message only";

    // A title that would count past its 30 characters on the second file: one message.
    ui.Click(IDC_UPDATE_TRACK);
    ui.Click(IDC_INCREMENT_TITLE);
    ui.SetText(IDC_TITLE, std::string(29, 't') + "9");
    ui.Drop(MakeDrop({songs[0], songs[1]}, true));
    box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text,
              "Nothing was stamped: file 2 of 2, \"2.mp3\", would get a title longer than its 30 characters.");
    EXPECT_TRUE(ui.WaitForFocus(IDC_TITLE)) << ui.DescribeFocus();
    EXPECT_FALSE(ui.FindPopup()) << "one message only";
    EXPECT_EQ(ui.Text(IDC_TITLE), std::string(29, 't') + "9");
  });
  EXPECT_EQ(ReadFile(songs[0]), Concat(audio, TagBytes("", "", "", "", "", 1, 255)));
  EXPECT_EQ(ReadFile(songs[1]), Concat(audio, TagBytes("", "", "", "", "", 2, 255)));
  EXPECT_EQ(ReadFile(songs[2]), audio);
  EXPECT_EQ(ReadFile(songs[3]), Concat(audio, TagBytes("", "", "", "", "", 4, 255)));
  EXPECT_EQ(ReadFile(songs[4]), Concat(audio, TagBytes("", "", "", "", "", 5, 255)));
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
      {"Enter in an edit control", false,
       [](const UiDriver& ui) {
         ui.Focus(IDC_TITLE);
         ui.PressKey(VK_RETURN);
       },
       false, IDOK},
      {"Enter on a check box", false,
       [](const UiDriver& ui) {
         ui.Focus(IDC_UPDATE_YEAR);
         ui.PressKey(VK_RETURN);
       },
       false, IDOK},
      {"File > Exit", false, [](const UiDriver& ui) { ui.Command(ID_FILE_EXIT); }, false, IDOK},
      {"Escape", true,
       [](const UiDriver& ui) {
         ui.Focus(IDC_TITLE);
         ui.PressKey(VK_ESCAPE);
       },
       false, IDCANCEL},
      {"close box", true, [](const UiDriver& ui) { ui.SysCommand(SC_CLOSE); }, false, IDCANCEL},
      {"Enter over the limit", true,
       [](const UiDriver& ui) {
         ui.Focus(IDC_TITLE);
         ui.PressKey(VK_RETURN);
       },
       true, IDCANCEL},
      {"File > Exit over the limit", true, [](const UiDriver& ui) { ui.Command(ID_FILE_EXIT); }, true, IDCANCEL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const Bytes before = Concat(Audio(300), TagBytes("Kept", "", "", "", "", 1, kRock));
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
