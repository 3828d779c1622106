// Files brought into the live window: drops of a real HDROP, the Open dialog driven as a
// user drives it, and Help.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_driver.h"
#include "ui/framework/win_app.h"
#include "ui/tag_edit_dlg.h"

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;
using ui::CTagEditDlg;

const Bytes kAudio = Audio(300);

Bytes Tagged(const std::string& title, std::uint8_t track = 0) {
  return Concat(kAudio, TagBytes(title, "", "", "", "", track, 255));
}

// Auto Update stamping one field only, Track or Title, counting up from `first`.
void CountInAutoUpdate(const UiDriver& ui, int field, const char* first) {
  ui.Click(IDC_MODE_AUTO_UPDATE);
  for (int box : {IDC_UPDATE_TRACK, IDC_UPDATE_GENRE, IDC_UPDATE_TITLE, IDC_UPDATE_ARTIST, IDC_UPDATE_ALBUM,
                  IDC_UPDATE_YEAR, IDC_UPDATE_COMMENT}) {
    if (box != (field == IDC_TRACK ? IDC_UPDATE_TRACK : IDC_UPDATE_TITLE)) ui.Click(box);
  }
  ui.Click(field == IDC_TRACK ? IDC_INCREMENT_TRACK : IDC_INCREMENT_TITLE);
  ui.SetText(field, first);
}

void NumberTracksFrom(const UiDriver& ui, const char* first) { CountInAutoUpdate(ui, IDC_TRACK, first); }

TEST(FilesInTest, DropsTakeOneFileOrAnAutoUpdateBatchOfMp3Files) {
  const struct {
    const char* what;
    int mode;
    std::vector<std::string> dropped;  // names in the temp dir; "x.mp3/" is a folder
    bool wideOnly;
    std::vector<int> tracks;  // per dropped name: the track on disk; -1 unchanged
    const wchar_t* title;
    const char* message;  // the box the drop brings, or none
  } cases[] = {
      {"one file in Edit", IDC_MODE_EDIT, {"SONG.MP3"}, false, {-1}, L"Pelmix -  SONG.MP3", nullptr},
      {"not an .mp3", IDC_MODE_EDIT, {"notes.txt"}, false, {-1}, L"Pelmix", nullptr},
      {"two in Edit", IDC_MODE_EDIT, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", nullptr},
      {"two in View", IDC_MODE_VIEW, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", nullptr},
      {"two in Update", IDC_MODE_UPDATE, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", nullptr},
      // Numbered in the order of the names, not of the drop.
      {"a batch in name order",
       IDC_MODE_AUTO_UPDATE,
       {"Track 10.mp3", "x.wav", "Track 2.Mp3", "Track 1.mp3"},
       false,
       {3, -1, 2, 1},
       L"Pelmix -  Track 10.mp3",
       nullptr},
      // One file under two names is one file: stamped once, numbered once.
      {"the same file twice", IDC_MODE_AUTO_UPDATE, {"a.mp3", "a.mp3"}, false, {1, 1}, L"Pelmix -  a.mp3", nullptr},
      {"extension rules", IDC_MODE_AUTO_UPDATE, {"song.mp3.bak", ".mp3"}, false, {-1, 1}, L"Pelmix -  .mp3", nullptr},
      {"a folder", IDC_MODE_AUTO_UPDATE, {"x.mp3/"}, false, {-1}, L"Pelmix", "It is a folder, not a file."},
      {"long and Japanese names",
       IDC_MODE_AUTO_UPDATE,
       {std::string(120, 'd') + "/" + std::string(170, 'n') + ".mp3", "\xE6\x9B\xB2.mp3"},
       true,
       {1, 2},
       L"Pelmix -  \u66F2.mp3",
       nullptr},
  };
  for (const auto& c : cases) {
    for (bool wide : {false, true}) {
      if (c.wideOnly && !wide) continue;
      SCOPED_TRACE(std::string(c.what) + (wide ? ", wide" : ", ANSI"));
      TempDir dir;
      std::vector<fs::path> paths;
      for (const std::string& name : c.dropped) {
        fs::path path = dir.path() / fs::path(std::u8string(name.begin(), name.end()));
        if (name.back() == '/') {
          path = path.parent_path();
          fs::create_directories(path);
        } else {
          fs::create_directories(path.parent_path());
          WriteFile(path, Tagged("Dropped"));
        }
        paths.push_back(path);
      }
      if (c.wideOnly) {
        ASSERT_GT(paths.front().wstring().size(), 300u);
      }
      CTagEditDlg dialog;
      RunDialog(dialog, [&](UiDriver& ui) {
        if (c.mode == IDC_MODE_AUTO_UPDATE) {
          NumberTracksFrom(ui, "1");
        } else {
          ui.Click(c.mode);
        }
        ui.Drop(MakeDrop(paths, wide));
        if (c.message) {
          const auto box = ui.AnswerMessageBox();
          ASSERT_TRUE(box);
          EXPECT_NE(box->text.find(c.message), std::string::npos) << box->text;
        } else {
          EXPECT_FALSE(ui.FindPopup()) << "no message box";
        }
        EXPECT_EQ(WideText(ui.dialog()), c.title);
        if (c.mode == IDC_MODE_EDIT && c.title != std::wstring(L"Pelmix")) {
          EXPECT_EQ(ui.Text(IDC_TITLE), "Dropped");
        }
      });
      for (std::size_t i = 0; i < paths.size(); ++i) {
        if (c.dropped[i].back() == '/') continue;
        EXPECT_EQ(ReadFile(paths[i]), c.tracks[i] < 0 ? Tagged("Dropped") : Tagged("Dropped", c.tracks[i]))
            << c.dropped[i];
      }
    }
  }
}

// The Open dialog of the running window, found among the thread's dialogs.
HWND OpenDialog(const UiDriver& ui) {
  HWND open = nullptr;
  UiDriver::WaitUntil([&] { return (open = ui.FindPopup(L"Open")) != nullptr; });
  return open;
}

void TypeAndOpen(HWND open, const std::wstring& text) {
  // The file name field: an edit of its own, or the edit of the (extended) combo box.
  HWND name = ::GetDlgItem(open, 0x480);
  if (!name || !::IsWindowVisible(name)) {
    const HWND combo = ::GetDlgItem(open, 0x47C);
    name = reinterpret_cast<HWND>(::SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
    if (!name) name = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
  }
  ASSERT_TRUE(name);
  ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
}

std::wstring FolderShown(HWND open) {
  std::wstring folder(32768, L'\0');
  const LRESULT length = ::SendMessageW(open, CDM_GETFOLDERPATH, folder.size(),
                                        reinterpret_cast<LPARAM>(folder.data()));
  folder.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
  return folder;
}

// Goes to the folder, as a user typing its path does; the dialog stays open.
void GoTo(HWND open, const fs::path& folder) {
  TypeAndOpen(open, folder.wstring());
  EXPECT_TRUE(UiDriver::WaitUntil([&] { return fs::path(FolderShown(open)) == folder; })) << FolderShown(open);
}

TEST(FilesInTest, OpenDialogBringsOneFileOrAnAutoUpdateBatch) {
  TempDir dir;
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) WriteFile(dir / name, Tagged(name));
  {
    SCOPED_TRACE("one file in Edit, then Cancel");
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      ui.Command(ID_FILE_OPEN);
      HWND open = OpenDialog(ui);
      ASSERT_TRUE(open);
      EXPECT_EQ(::GetWindow(open, GW_OWNER), ui.dialog());
      EXPECT_FALSE(::IsWindowEnabled(ui.dialog()));
      TypeAndOpen(open, (dir / "b.mp3").wstring());
      ASSERT_TRUE(UiDriver::WaitUntil([&] { return WideText(ui.dialog()) == L"Pelmix -  b.mp3"; }));
      EXPECT_EQ(ui.Text(IDC_TITLE), "b.mp3");

      ui.Command(ID_FILE_OPEN);
      open = OpenDialog(ui);
      ASSERT_TRUE(open);
      ::PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
      ASSERT_TRUE(UiDriver::WaitUntil([&] { return !::IsWindow(open) && ::IsWindowEnabled(ui.dialog()); }));
      EXPECT_EQ(WideText(ui.dialog()), L"Pelmix -  b.mp3");
      EXPECT_FALSE(ui.FindPopup()) << "no message box";
    });
  }
  {
    SCOPED_TRACE("typed lists in Auto Update, one longer than the first buffer; a name without extension");
    TempDir many;
    std::wstring typed;
    for (int i = 1; i <= 100; ++i) {
      const std::string name = "a name of some length and more, number " + std::to_string(i) + ".mp3";
      WriteFile(many / name, Tagged(""));
      typed += L"\"" + std::wstring(name.begin(), name.end()) + L"\" ";
    }
    ASSERT_GT(typed.size(), 4096u);
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      NumberTracksFrom(ui, "1");
      const struct {
        const fs::path& folder;
        std::wstring typed;
        const char* nextTrack;
      } choices[] = {{dir.path(), L"\"c.mp3\" \"a.mp3\" \"b.mp3\"", "4"},
                     {dir.path(), (dir / "a").wstring(), "5"},
                     {many.path(), typed, "105"}};
      for (const auto& choice : choices) {
        ui.Command(ID_FILE_OPEN);
        const HWND open = OpenDialog(ui);
        ASSERT_TRUE(open);
        GoTo(open, choice.folder);
        TypeAndOpen(open, choice.typed);
        EXPECT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TRACK) == choice.nextTrack; })) << ui.Text(IDC_TRACK);
      }
      EXPECT_FALSE(ui.FindPopup()) << "no message box";
    });
    // Chosen as c, a, b: numbered by name.
    EXPECT_EQ(ReadFile(dir / "b.mp3"), Tagged("b.mp3", 2));
    EXPECT_EQ(ReadFile(dir / "c.mp3"), Tagged("c.mp3", 3));
    EXPECT_EQ(ReadFile(dir / "a.mp3"), Tagged("a.mp3", 4));
    EXPECT_EQ(ReadFile(many / "a name of some length and more, number 100.mp3"), Tagged("", 104));
  }
}

TEST(FilesInTest, OpenDialogTakesTwoThousandFilesSelectedInItsList) {
  TempDir dir;
  const std::string padding(28, 'x');
  std::size_t nameLength = 0;
  for (int i = 0; i < 2000; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", i);
    const std::string name = std::string("track ") + number + " " + padding + ".mp3";
    nameLength += name.size();
    WriteFile(dir / name, Tagged(""));
  }
  ASSERT_GT(nameLength, 60000u);
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    CountInAutoUpdate(ui, IDC_TITLE, "Song 1");
    ui.Command(ID_FILE_OPEN);
    HWND open = OpenDialog(ui);
    ASSERT_TRUE(open);
    GoTo(open, dir.path());
    HWND list = nullptr;
    ASSERT_TRUE(UiDriver::WaitUntil([&] {
      const HWND view = ::FindWindowExW(open, nullptr, L"SHELLDLL_DefView", nullptr);
      list = view ? ::FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
      return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 2000;
    }));
    // Selected as Ctrl+A selects: every item of the list.
    LVITEMW all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    ASSERT_EQ(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 2000);
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
    EXPECT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TITLE) == "Song 2001"; })) << ui.Text(IDC_TITLE);
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
  });
  std::set<std::string> titles;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const Bytes bytes = ReadFile(entry.path());
    ASSERT_EQ(bytes.size(), kAudio.size() + 128) << entry.path();
    titles.insert(std::string(bytes.begin() + kAudio.size() + 3, bytes.begin() + kAudio.size() + 33).c_str());
  }
  EXPECT_EQ(titles.size(), 2000u);
  EXPECT_TRUE(titles.contains("Song 1") && titles.contains("Song 2000"));
}

TEST(FilesInTest, HelpAndF1AskTheShellToOpenThePageBesideTheProgram) {
  CTagEditDlg dialog;
  std::vector<std::wstring> opened;
  dialog.SetDocumentOpener([&](const std::wstring& path) { opened.push_back(path); });
  RunDialog(dialog, [&](UiDriver& ui) {
    ui.Command(ID_HELP_HELP);
    ui.Focus(IDC_TITLE);
    ui.PressKey(VK_F1);
    const std::wstring page = ui::ModuleFileName(nullptr).substr(0, ui::ModuleFileName(nullptr).rfind(L'\\') + 1) +
                              L"Pelmix.html";
    EXPECT_EQ(opened, (std::vector<std::wstring>{page, page}));
  });

  // The real shell, and no page beside the test program: nothing of ours appears.
  CTagEditDlg shellDialog;
  RunDialog(shellDialog, [&](UiDriver& ui) {
    ASSERT_FALSE(fs::exists(shellDialog.programDirectory() / "Pelmix.html"));
    ui.Command(ID_HELP_HELP);
    EXPECT_TRUE(ui.DialogIsOpen());
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
  });
}

}  // namespace
}  // namespace pelmix::test
