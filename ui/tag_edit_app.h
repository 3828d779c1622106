// The application: runs the main window as one modal dialog and ends with it.
#pragma once

#include "ui/framework/win_app.h"

namespace pelmix::ui {

class CTagEditApp : public CWinApp {
 public:
  bool InitInstance() override;
};

}  // namespace pelmix::ui
