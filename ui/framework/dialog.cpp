// Creating dialogs, running the modal loop, and routing messages through the message table.
#include "ui/framework/dialog.h"

#include <algorithm>

#include "ui/framework/data_exchange.h"
#include "ui/framework/win_app.h"

namespace pelmix::ui {
namespace {

// The window whose control notifications are ignored while its exchange fills the controls.
thread_local HWND lockoutWindow = nullptr;
// The innermost modal dialog of the thread, whose loop passes its messages through
// MessageFilter, and that filter.
thread_local CDialog* innermostModal = nullptr;
thread_local HHOOK messageFilter = nullptr;

// A dialog procedure hands most results back through DWLP_MSGRESULT; these messages take
// theirs as the procedure's own return value.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
  }
}

}  // namespace

CDialog::~CDialog() {
  // A modeless dialog outlived by nothing: its window must not call back into a dead object.
  if (IsAttached() && ::IsWindow(hwnd())) ::DestroyWindow(hwnd());
}

INT_PTR CDialog::DoModal() {
  modal_ = true;
  // The system's dialog loop offers each message to a message filter before it translates
  // it: the one place where a modal dialog can see its keys first.
  CDialog* const outer = innermostModal;
  innermostModal = this;
  const bool ownsFilter = messageFilter == nullptr;
  if (ownsFilter)
    messageFilter = ::SetWindowsHookExW(WH_MSGFILTER, &CDialog::MessageFilter, nullptr, ::GetCurrentThreadId());
  const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), Owner(),
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (ownsFilter && messageFilter) {
    ::UnhookWindowsHookEx(messageFilter);
    messageFilter = nullptr;
  }
  innermostModal = outer;
  modal_ = false;
  return result;
}

LRESULT CALLBACK CDialog::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && innermostModal && innermostModal->IsAttached()) {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    const HWND dialog = innermostModal->hwnd();
    const bool ours = message.hwnd == dialog || ::IsChild(dialog, message.hwnd);
    try {
      if (ours && innermostModal->PreTranslateMessage(message)) return TRUE;
    } catch (...) {
      // As in the dialog procedure: no exception unwinds through the system's frames.
      return TRUE;
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CDialog::Create(HWND parent) {
  if (parent) parent_ = parent;
  modal_ = false;
  return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), Owner(), &CDialog::DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(int code) {
  if (modal_) {
    ::EndDialog(hwnd(), code);
  } else {
    ::DestroyWindow(hwnd());
  }
}

bool CDialog::UpdateData(bool saveAndValidate, bool validate) {
  struct Lockout {
    HWND previous;
    explicit Lockout(HWND window) : previous(lockoutWindow) { lockoutWindow = window; }
    ~Lockout() { lockoutWindow = previous; }
  } lockout(hwnd());
  CDataExchange dx(*this, saveAndValidate, validate);
  DoDataExchange(dx);
  return !dx.failed();
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    self->Attach(hwnd);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT and the like) reach no object.
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->Attach(nullptr);
    return FALSE;
  }

  MessageResult result;
  // No C++ exception may unwind through USER32's frames: a handler that throws (out of
  // memory, say) leaves the message unhandled, like any other failure the window keeps quiet.
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
  // Unhandled: the dialog manager's default processing; a dialog never calls DefWindowProc.
  if (!result) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(*result);
  ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
  return TRUE;
}

MessageResult CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const bool focusFirstTabStop = OnInitDialog();
    // A dialog that is not visible yet is placed over its owner before it first shows.
    if (!(::GetWindowLongW(hwnd(), GWL_STYLE) & WS_VISIBLE)) CenterOverOwner();
    return focusFirstTabStop ? TRUE : FALSE;
  }
  // Notifications that the exchange's own changes cause (lParam names a control) are dropped.
  if (message == WM_COMMAND && lParam != 0 && lockoutWindow == hwnd()) return 0;

  for (const MessageEntry& entry : GetMessageMap()) {
    if (entry.message != message) continue;
    if (message == WM_COMMAND && (entry.commandId != LOWORD(wParam) || entry.notifyCode != HIWORD(wParam))) {
      continue;
    }
    return entry.handler(*this, wParam, lParam);
  }

  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDOK: OnOK(); return 0;
      case IDCANCEL: OnCancel(); return 0;
      default: break;
    }
  }
  return std::nullopt;
}

HWND CDialog::Owner() const {
  if (parent_) return parent_;
  if (const CWinApp* app = CWinApp::Current()) {
    const CWnd* main = app->mainWindow();
    if (main && main != this && main->IsAttached()) return main->hwnd();
  }
  return ::GetActiveWindow();
}

void CDialog::CenterOverOwner() const {
  const HWND owner = ::GetWindow(hwnd(), GW_OWNER);
  if (!owner) return;
  RECT ownerRect;
  RECT rect;
  ::GetWindowRect(owner, &ownerRect);
  ::GetWindowRect(hwnd(), &rect);
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  LONG x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
  LONG y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
  // Kept on the owner's screen, so a small owner near an edge does not push it off.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& area = monitor.rcWork;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
  }
  ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace pelmix::ui
