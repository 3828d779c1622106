// The About box needs only its template and CDialog's OK and cancel.
#include "ui/about_dlg.h"

#include "res/resource.h"

namespace pelmix::ui {

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

}  // namespace pelmix::ui
