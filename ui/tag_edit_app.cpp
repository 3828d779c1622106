// The one application object of Pelmix.exe and its start-up: the main window, run modally.
#include "ui/tag_edit_app.h"

#include "ui/tag_edit_dlg.h"

namespace pelmix::ui {

// The one application object; WinMain finds it once static initialisation has built it.
CTagEditApp theApp;

bool CTagEditApp::InitInstance() {
  CTagEditDlg dialog;
  SetMainWindow(&dialog);
  dialog.DoModal();
  SetMainWindow(nullptr);
  // The dialog was the whole program: no message loop follows it.
  return false;
}

}  // namespace pelmix::ui
