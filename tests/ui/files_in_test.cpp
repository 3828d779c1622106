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
#include "ui/framework/file_dialog.h"
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

TEST(FilesInTest, DropsTakeOneFileOrAnAutoUpdateBatchOfMp3FilesAndFolders) {
  const wchar_t* const kOneFile =
      L"This mode takes one .mp3 file at a time; several files, or a folder, go in Auto Update.";
  const wchar_t* const kNothing =
      L"Nothing to stamp: Auto Update takes .mp3 files, and folders with .mp3 files in them.";
  const struct {
    const char* what;
    int mode;
    // Names in the temp dir, dropped in this order: "x/" is a folder; "+x/a.mp3" is made
    // but not dropped.
    std::vector<std::string> dropped;
    bool wideOnly;
    std::vector<int> tracks;  // per name: the track on disk; -1 unchanged
    const wchar_t* title;
    const wchar_t* message;  // the box the drop brings, or none
  } cases[] = {
      {"one file in Edit", IDC_MODE_EDIT, {"SONG.MP3"}, false, {-1}, L"Pelmix -  SONG.MP3", nullptr},
      {"not an .mp3", IDC_MODE_EDIT, {"notes.txt"}, false, {-1}, L"Pelmix", kOneFile},
      {"two in Edit", IDC_MODE_EDIT, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", kOneFile},
      {"two in View", IDC_MODE_VIEW, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", kOneFile},
      {"two in Update", IDC_MODE_UPDATE, {"a.mp3", "b.mp3"}, false, {-1, -1}, L"Pelmix", kOneFile},
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
      {"a .txt in Auto Update", IDC_MODE_AUTO_UPDATE, {"notes.txt"}, false, {-1}, L"Pelmix", kNothing},
      {"a folder's files in name order, and a file beside it",
       IDC_MODE_AUTO_UPDATE,
       {"album/", "+album/Track 10.mp3", "+album/Track 2.mp3", "+album/notes.txt", "+album/cd 2/Track 1.mp3", "zz.mp3"},
       false,
       {-1, 2, 1, -1, -1, 3},
       L"Pelmix -  zz.mp3",
       nullptr},
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
      std::vector<fs::path> dropped;
      for (std::string name : c.dropped) {
        const bool made = name.front() == '+';
        if (made) name.erase(0, 1);
        fs::path path = dir.path() / fs::path(std::u8string(name.begin(), name.end()));
        if (name.back() == '/') {
          path = path.parent_path();
          fs::create_directories(path);
        } else {
          fs::create_directories(path.parent_path());
          WriteFile(path, Tagged("Dropped"));
        }
        paths.push_back(path);
        if (!made) dropped.push_back(path);
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
        ui.Drop(MakeDrop(dropped, wide));
        if (c.message) {
          const auto box = ui.AnswerMessageBox();
          ASSERT_TRUE(box);
          EXPECT_EQ(box->wideText, c.message);
        }
        EXPECT_FALSE(ui.FindPopup()) << "no other message box";
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

TEST(FilesInTest, ABatchShowsInTheTitleWhereItIsAndEndsWithTheLastFile) {
  TempDir dir;
  for (int i = 1; i <= 12; ++i) WriteFile(dir / ("Track " + std::to_string(i) + ".mp3"), Tagged(""));
  CTagEditDlg dialog;
  // A clock that runs a tenth of a second each time it is read, and notes the title then.
  auto now = std::chrono::steady_clock::now();
  std::vector<std::wstring> titles;
  dialog.SetClock([&] {
    titles.push_back(WideText(dialog.hwnd()));
    return now += std::chrono::milliseconds(100);
  });
  RunDialog(dialog, [&](UiDriver& ui) {
    NumberTracksFrom(ui, "1");
    titles.clear();
    ui.Drop(MakeDrop({dir.path()}, true));
    EXPECT_EQ(WideText(ui.dialog()), L"Pelmix -  Track 12.mp3");
    EXPECT_EQ(ui.Text(IDC_TRACK), "13");
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
  });
  // Read as the batch starts, then before each file: shown every third file, from the third.
  const std::wstring third = L"Pelmix -  3 of 12: Track 3.mp3";
  const std::wstring sixth = L"Pelmix -  6 of 12: Track 6.mp3";
  const std::wstring ninth = L"Pelmix -  9 of 12: Track 9.mp3";
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Pelmix", L"Pelmix", L"Pelmix", L"Pelmix", third, third, third, sixth,
                                               sixth, sixth, ninth, ninth, ninth}));
  for (int i = 1; i <= 12; ++i) {
    EXPECT_EQ(ReadFile(dir / ("Track " + std::to_string(i) + ".mp3")), Tagged("", static_cast<std::uint8_t>(i))) << i;
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

// The list of files in either kind of Open dialog: the list view of its shell view.
HWND FileList(HWND open) {
  HWND found = nullptr;
  ::EnumChildWindows(
      open,
      [](HWND window, LPARAM result) {
        wchar_t name[32] = {};
        wchar_t parent[32] = {};
        ::GetClassNameW(window, name, 32);
        ::GetClassNameW(::GetParent(window), parent, 32);
        if (std::wstring(name) != WC_LISTVIEWW || std::wstring(parent) != L"SHELLDLL_DefView") return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The position of the name in the dialog's list, or -1. The item dialog's list gives its
// texts on request only, so each is asked for.
int ListIndex(HWND open, const std::wstring& name) {
  const HWND list = FileList(open);
  const int count = list ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  std::wstring text(name.size() + 2, L'\0');
  for (int index = 0; index < count; ++index) {
    LVITEMW item{};
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<std::size_t>(
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (std::wstring_view(text.data(), length) == name) return index;
  }
  return -1;
}

// Goes to the folder, as a user typing its path does, until the list shows the file named;
// the dialog stays open.
void GoTo(HWND open, const fs::path& folder, const fs::path& fileShown) {
  TypeAndOpen(open, folder.wstring());
  EXPECT_TRUE(UiDriver::WaitUntil([&] { return ListIndex(open, fileShown.wstring()) >= 0; })) << folder;
}

// Selects the file in the list as a click does; then opens it with a double-click or the
// Open button.
void ChooseInList(HWND open, const fs::path& file, bool doubleClick) {
  const HWND list = FileList(open);
  const int index = ListIndex(open, file.wstring());
  ASSERT_GE(index, 0);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  if (doubleClick) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rect.left + 2, (rect.top + rect.bottom) / 2));
  } else {
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
  }
}

HRESULT NoItemDialog(IFileOpenDialog**) { return REGDB_E_CLASSNOTREG; }

// Runs the classic dialog, as on a system without the item-based one, while it lives.
struct ClassicDialogOnly {
  explicit ClassicDialogOnly(bool classic) {
    if (classic) ui::CFileDialog::SetItemDialogFactory(&NoItemDialog);
  }
  ~ClassicDialogOnly() { ui::CFileDialog::SetItemDialogFactory(nullptr); }
};

TEST(FilesInTest, ALongNameOpensFromTheOpenDialogsListOrIsToldAbout) {
  TempDir dir;
  const std::string name = std::string(250, 'n') + ".mp3";
  WriteFile(dir / name, Tagged("Long"));
  WriteFile(dir / "short.mp3", Tagged("Short"));
  ASSERT_GT((dir / name).wstring().size(), 260u);
  const std::wstring longTitle = L"Pelmix -  " + std::wstring(name.begin(), name.end());
  const struct {
    const char* what;
    bool classic;
    bool doubleClick;
    const char* file;
    const wchar_t* title;  // after the choice
    const char* message;   // the box it brings, or none
  } cases[] = {
      {"item dialog, Open", false, false, name.c_str(), longTitle.c_str(), nullptr},
      {"item dialog, double-click", false, true, name.c_str(), longTitle.c_str(), nullptr},
      {"item dialog, a short name", false, true, "short.mp3", L"Pelmix -  short.mp3", nullptr},
      // The classic dialog cannot hand the name over at all: it says so, and the program lives on.
      {"classic dialog, Open", true, false, name.c_str(), L"Pelmix", "could not hand over the name of a file chosen"},
      {"classic dialog, double-click", true, true, name.c_str(), L"Pelmix",
       "could not hand over the name of a file chosen"},
      {"classic dialog, a short name", true, false, "short.mp3", L"Pelmix -  short.mp3", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ClassicDialogOnly classic(c.classic);
    CTagEditDlg dialog;
    RunDialog(dialog, [&](UiDriver& ui) {
      ui.Command(ID_FILE_OPEN);
      const HWND open = OpenDialog(ui);
      ASSERT_TRUE(open);
      // A dialog left open by a failure is cancelled: OK would only browse its folder again.
      const struct CancelLeftOpen {
        HWND open;
        ~CancelLeftOpen() {
          if (::IsWindow(open)) ::PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
        }
      } cancel{open};
      GoTo(open, dir.path(), c.file);
      ChooseInList(open, c.file, c.doubleClick);
      if (c.message) {
        const auto box = ui.AnswerMessageBox();
        ASSERT_TRUE(box);
        EXPECT_NE(box->text.find(c.message), std::string::npos) << box->text;
      }
      EXPECT_TRUE(UiDriver::WaitUntil([&] { return !::IsWindow(open) && ::IsWindowEnabled(ui.dialog()); }));
      EXPECT_EQ(WideText(ui.dialog()), c.title);
      EXPECT_EQ(ui.Text(IDC_TITLE), c.title == std::wstring(L"Pelmix") ? "" : c.file == name ? "Long" : "Short");
      EXPECT_FALSE(ui.FindPopup()) << "nothing else is open";
    });
    EXPECT_EQ(ReadFile(dir / name), Tagged("Long"));
  }
}

// One file in Edit, then a cancelled run; typed lists in Auto Update.
void OpenOneFileOrAnAutoUpdateBatch() {
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
        const char* shown;
        std::wstring typed;
        const char* nextTrack;
      } choices[] = {{dir.path(), "a.mp3", L"\"c.mp3\" \"a.mp3\" \"b.mp3\"", "4"},
                     {dir.path(), "a.mp3", (dir / "a").wstring(), "5"},
                     {many.path(), "a name of some length and more, number 1.mp3", typed, "105"}};
      for (const auto& choice : choices) {
        ui.Command(ID_FILE_OPEN);
        const HWND open = OpenDialog(ui);
        ASSERT_TRUE(open);
        GoTo(open, choice.folder, choice.shown);
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

TEST(FilesInTest, OpenDialogBringsOneFileOrAnAutoUpdateBatch) {
  for (bool classicOnly : {false, true}) {
    SCOPED_TRACE(classicOnly ? "classic dialog" : "item dialog");
    const ClassicDialogOnly classic(classicOnly);
    OpenOneFileOrAnAutoUpdateBatch();
  }
}

TEST(FilesInTest, OpenDialogTakesASelectionOfSixtyThousandCharacters) {
  TempDir dir;
  // Long names rather than many: the selection's text is what grows the buffer, and a list
  // of thousands takes Wine's dialog minutes to select.
  const std::string padding(95, 'x');
  std::size_t nameLength = 0;
  for (int i = 0; i < 600; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", i);
    const std::string name = std::string("track ") + number + " " + padding + ".mp3";
    nameLength += name.size();
    WriteFile(dir / name, Tagged(""));
  }
  ASSERT_GT(nameLength, 60000u);
  // The classic dialog's buffer grows with the selection; the item dialog has none.
  const ClassicDialogOnly classic(true);
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    CountInAutoUpdate(ui, IDC_TITLE, "Song 1");
    ui.Command(ID_FILE_OPEN);
    HWND open = OpenDialog(ui);
    ASSERT_TRUE(open);
    GoTo(open, dir.path(), "track 0000 " + padding + ".mp3");
    HWND list = nullptr;
    ASSERT_TRUE(UiDriver::WaitUntil([&] {
      list = FileList(open);
      return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 600;
    }));
    // Selected as Ctrl+A selects: every item of the list.
    LVITEMW all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    ASSERT_EQ(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 600);
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
    EXPECT_TRUE(UiDriver::WaitUntil([&] { return ui.Text(IDC_TITLE) == "Song 601"; })) << ui.Text(IDC_TITLE);
    EXPECT_FALSE(ui.FindPopup()) << "no message box";
  });
  std::set<std::string> titles;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const Bytes bytes = ReadFile(entry.path());
    ASSERT_EQ(bytes.size(), kAudio.size() + 128) << entry.path();
    titles.insert(std::string(bytes.begin() + kAudio.size() + 3, bytes.begin() + kAudio.size() + 33).c_str());
  }
  EXPECT_EQ(titles.size(), 600u);
  EXPECT_TRUE(titles.contains("Song 1") && titles.contains("Song 600"));
}

// A key pressed on the keyboard: through the system's input queue, which makes more of some
// keys than a posted message would.
void TypeKey(const UiDriver& ui, WORD key) {
  ::SetForegroundWindow(ui.dialog());
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(::SendInput(2, input, sizeof(INPUT)), 2u);
}

TEST(FilesInTest, HelpAndF1AskTheShellToOpenThePageBesideTheProgramOnce) {
  CTagEditDlg dialog;
  std::vector<std::wstring> opened;
  dialog.SetDocumentOpener([&](const std::wstring& path) { opened.push_back(path); });
  RunDialog(dialog, [&](UiDriver& ui) {
    const std::wstring page = ui::ModuleFileName(nullptr).substr(0, ui::ModuleFileName(nullptr).rfind(L'\\') + 1) +
                              L"Pelmix.html";
    ui.Command(ID_HELP_HELP);
    EXPECT_EQ(opened, std::vector<std::wstring>{page});
    std::size_t expected = 1;
    for (int id : {IDC_TITLE, IDC_GENRE, IDC_UPDATE_BUTTON}) {
      SCOPED_TRACE(id);
      ui.Focus(id);
      TypeKey(ui, VK_F1);
      ++expected;
      EXPECT_TRUE(UiDriver::WaitUntil([&] { return opened.size() >= expected; }));
      // Whatever the key brought is queued by now; a command behind it lets it all through.
      ui.Command(0);
      EXPECT_EQ(opened.size(), expected);
    }
    EXPECT_EQ(opened.back(), page);
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
