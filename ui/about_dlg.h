// The About box: the program's name, version and author, closed with OK, Enter or Escape.
#pragma once

#include "ui/framework/dialog.h"

namespace pelmix::ui {

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
};

}  // namespace pelmix::ui
