// Running GetOpenFileNameW with a result buffer that grows to fit the selection.
#include "ui/framework/file_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/framework/control_wrappers.h"
#include "ui/framework/win_app.h"

namespace pelmix::ui {
namespace {

// The buffer a run starts with; the hook grows it as the selection grows.
constexpr std::size_t kFirstBufferSize = 2048;

}  // namespace

CFileDialog::CFileDialog(std::wstring defaultExtension, std::wstring filter, HWND owner)
    : defaultExtension_(std::move(defaultExtension)), filter_(std::move(filter)), owner_(owner) {
  std::replace(filter_.begin(), filter_.end(), L'|', L'\0');
}

INT_PTR CFileDialog::DoModal() {
  HWND owner = owner_;
  if (!owner) {
    const CWinApp* app = CWinApp::Current();
    const CWnd* main = app ? app->mainWindow() : nullptr;
    owner = main && main->IsAttached() ? main->hwnd() : ::GetActiveWindow();
  }
  buffer_.assign(kFirstBufferSize, L'\0');
  ofn_ = {};
  ofn_.lStructSize = sizeof(ofn_);
  ofn_.hwndOwner = owner;
  ofn_.lpstrFilter = filter_.c_str();
  ofn_.lpstrFile = buffer_.data();
  ofn_.nMaxFile = static_cast<DWORD>(buffer_.size());
  ofn_.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  ofn_.Flags = flags_ | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
  ofn_.lpfnHook = &CFileDialog::Hook;
  ofn_.lCustData = reinterpret_cast<LPARAM>(this);
  ofnInUse_ = &ofn_;
  const bool chosen = ::GetOpenFileNameW(&ofn_) != FALSE;
  extendedError_ = chosen ? 0 : ::CommDlgExtendedError();
  return chosen ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::Hook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  // The hook is a child of the dialog proper; the dialog reads lpstrFile and nMaxFile from
  // the structure given here when the user opens the files.
  if (message == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
    auto* self = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
    if (!self) return 0;
    self->ofnInUse_ = ofn;
    // A list of names typed into the field changes no selection: the buffer is fitted
    // again just before the dialog takes the names.
    ::SetWindowSubclass(::GetParent(hook), &CFileDialog::BeforeOpen, 1, reinterpret_cast<DWORD_PTR>(self));
    return 0;
  }
  if (message != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
  if (notify->hdr.code != CDN_SELCHANGE || !notify->lpOFN) return 0;
  if (auto* self = reinterpret_cast<CFileDialog*>(notify->lpOFN->lCustData)) self->FitSelection(::GetParent(hook));
  return 0;
}

LRESULT CALLBACK CFileDialog::BeforeOpen(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    reinterpret_cast<CFileDialog*>(self)->FitSelection(dialog);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(dialog, &CFileDialog::BeforeOpen, 1);
  }
  return ::DefSubclassProc(dialog, message, wParam, lParam);
}

void CFileDialog::FitSelection(HWND dialog) {
  if (!ofnInUse_) return;
  OPENFILENAMEW& ofn = *ofnInUse_;
  // The result holds the folder, then each name with one zero where the edit field shows it
  // in quotes with a blank: never more than the two lengths together and two zeros.
  const LRESULT names = ::SendMessageW(dialog, CDM_GETSPEC, 0, 0);
  const LRESULT folder = ::SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
  if (names < 0 || folder < 0) return;
  const std::size_t needed = static_cast<std::size_t>(names) + static_cast<std::size_t>(folder) + 2;
  if (needed <= ofn.nMaxFile || needed > MAXDWORD / 2) return;
  // Twice what is needed, so a selection that grows a file at a time copies rarely.
  buffer_.resize(needed * 2, L'\0');
  ofn.lpstrFile = buffer_.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer_.size());
}

}  // namespace pelmix::ui
