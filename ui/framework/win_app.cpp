// Starting the program: the application object, the common controls and the message loop.
#include "ui/framework/win_app.h"

#include <commctrl.h>

#include <cassert>
#include <filesystem>

namespace pelmix::ui {
namespace {

CWinApp* theApp = nullptr;

}  // namespace

CWinApp::CWinApp() {
  assert(!theApp);  // one application object per program
  theApp = this;
}

CWinApp::~CWinApp() {
  if (theApp == this) theApp = nullptr;
}

CWinApp* CWinApp::Current() { return theApp; }

int CWinApp::Run() {
  // Loads the common controls that the manifest asks for, so dialogs draw in the current style.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!InitInstance()) return 0;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

const std::wstring& ApplicationName() {
  static const std::wstring name = std::filesystem::path(ModuleFileName(nullptr)).stem().native();
  return name;
}

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD got = ::GetModuleFileNameW(module, path.data(), size);
    if (got == 0) return {};
    // A full buffer means the path may have been cut: try again with twice the room.
    if (got < size) {
      path.resize(got);
      return path;
    }
    // No Windows path is longer than 32767 characters.
    if (size > 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace pelmix::ui
