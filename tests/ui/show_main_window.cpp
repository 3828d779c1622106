// A test tool, not part of Pelmix: shows the main window with the file named on the command
// line loaded, so that a screenshot can show the values in place.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>

#include "ui/tag_edit_dlg.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  pelmix::ui::CTagEditDlg dialog;
  if (!dialog.Create()) return 1;
  if (args && count > 1) dialog.session().LoadFile(std::filesystem::path(args[1]));
  ::LocalFree(args);
  MSG message;
  while (dialog.IsAttached() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!::IsDialogMessageW(dialog.hwnd(), &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return 0;
}
