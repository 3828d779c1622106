// The program's entry point: hands over to the one global application object.
#include <windows.h>

#include "ui/framework/win_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  pelmix::ui::CWinApp* app = pelmix::ui::CWinApp::Current();
  return app ? app->Run() : 1;
}
