// File > Undo Last Batch... in the live window, and the same journal from pelmix-cli.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/child_process.h"
#include "tests/support/journal_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_driver.h"
#include "ui/tag_edit_dlg.h"

namespace pelmix::test {
namespace {

namespace fs = std::filesystem;
using ui::CTagEditDlg;

fs::path PelmixCli() {
  std::wstring module(32768, L'\0');
  module.resize(::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  return fs::path(module).parent_path() / PELMIX_CLI_FROM_UI_TESTS;
}

TEST(UndoWindowTest, ADroppedBatchIsTakenBackFromTheMenuOrFromPelmixCli) {
  TempDir dir;
  const JournalFolderSet journal(dir / "journal");
  std::vector<fs::path> files;
  std::vector<Bytes> original;
  for (int i = 1; i <= 6; ++i) {
    files.push_back(dir / ("Track " + std::to_string(i) + ".mp3"));
    original.push_back(i % 2 ? Audio(300) : Concat(Audio(300), TagBytes("Old", "", "", "1987", "Keep", 0, 17)));
    WriteFile(files.back(), original.back());
  }
  std::vector<Bytes> stamped;
  CTagEditDlg dialog;
  RunDialog(dialog, [&](UiDriver& ui) {
    const HMENU file = ::GetSubMenu(::GetMenu(ui.dialog()), 0);
    wchar_t text[64] = {};
    ::GetMenuStringW(file, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Undo Last Batch...");
    EXPECT_EQ(::GetMenuItemID(file, 1), static_cast<UINT>(ID_FILE_UNDO));

    ui.Command(ID_FILE_UNDO);
    std::optional<UiDriver::MessageBoxSeen> box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->wideText, L"There is no batch to take back.");

    ui.Click(IDC_MODE_AUTO_UPDATE);
    ui.SetText(IDC_TITLE, "Wrong");
    ui.Drop(MakeDrop(files, true));
    for (const fs::path& path : files) stamped.push_back(ReadFile(path));
    ASSERT_NE(stamped[0], original[0]);

    // "No" leaves the files as the batch left them.
    ui.Command(ID_FILE_UNDO);
    box = ui.AnswerMessageBox(IDNO);
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->wideText.starts_with(L"Take back the stamp of 6 files from ")) << box->text;
    ui.OnUiThread([] {});
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), stamped[i]) << i;

    // A file changed by hand is named, the others come back.
    Bytes byHand = stamped[2];
    byHand[byHand.size() - 3] = 'X';
    WriteFile(files[2], byHand);
    ui.Command(ID_FILE_UNDO);
    ASSERT_TRUE(ui.AnswerMessageBox(IDYES));
    box = ui.AnswerMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->wideText,
              L"1 of 6 files were not restored:\n\nTrack 3.mp3: It changed after the batch wrote it, so it was left "
              L"alone.");
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), i == 2 ? byHand : original[i]) << i;

    WriteFile(files[2], original[2]);
    ui.Drop(MakeDrop(files, true));
  });
  for (std::size_t i = 0; i < files.size(); ++i) ASSERT_EQ(ReadFile(files[i]), stamped[i]) << i;

  // The window's batch, taken back from the command line in the same system.
  const ProgramRun run = RunProgram(PelmixCli(), {"undo", "-q"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadFile(files[i]), original[i]) << i;
}

}  // namespace
}  // namespace pelmix::test
