// The application object: one global instance whose start-up runs the program.
#pragma once

#include <windows.h>

#include <string>

namespace pelmix::ui {

class CWnd;

class CWinApp {
 public:
  // The one global instance registers itself here; the start-up finds it through Current().
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  static CWinApp* Current();

  // Called once at start-up. True runs a message loop afterwards, false ends the program.
  virtual bool InitInstance() = 0;

  // The owner of the framework's message boxes and of dialogs run without a parent.
  CWnd* mainWindow() const { return mainWindow_; }
  void SetMainWindow(CWnd* window) { mainWindow_ = window; }

  // What WinMain does: initialise, call InitInstance, and run a message loop if it asks.
  int Run();

 private:
  CWnd* mainWindow_ = nullptr;
};

// The caption of the framework's message boxes: the executable's file name without its
// extension.
const std::wstring& ApplicationName();

// The running executable's full path, of any length.
std::wstring ModuleFileName(HMODULE module);

}  // namespace pelmix::ui
