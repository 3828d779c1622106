// A measuring tool, not a test: drops every .mp3 file of a folder on the main window in Auto
// Update, numbering their titles, and prints how long the window took. Used by
// bench/window-batch.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "res/resource.h"
#include "tests/ui/ui_driver.h"
#include "ui/tag_edit_dlg.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_batch_bench FOLDER\n");
    return 2;
  }
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (entry.path().extension() == ".mp3") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  const std::string last = "Song " + std::to_string(paths.size() + 1);

  double seconds = -1;
  pelmix::ui::CTagEditDlg dialog;
  pelmix::test::RunDialog(dialog, [&](pelmix::test::UiDriver& ui) {
    ui.Click(IDC_MODE_AUTO_UPDATE);
    for (int box : {IDC_UPDATE_TRACK, IDC_UPDATE_GENRE, IDC_UPDATE_ARTIST, IDC_UPDATE_ALBUM, IDC_UPDATE_YEAR,
                    IDC_UPDATE_COMMENT}) {
      ui.Click(box);
    }
    ui.Click(IDC_INCREMENT_TITLE);
    ui.SetText(IDC_TITLE, "Song 1");
    const HGLOBAL drop = pelmix::test::MakeDrop(paths, true);
    const auto start = std::chrono::steady_clock::now();
    ui.Drop(drop);
    // Reading the field waits for the window, which answers once the batch is done.
    while (ui.Text(IDC_TITLE) != last && !ui.FindPopup()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (ui.FindPopup()) std::fprintf(stderr, "the window showed a message box\n");
  });
  std::printf("%zu files in %.3f s\n", paths.size(), seconds);
  return seconds > 0 ? 0 : 1;
}
