// The drop-down list's items and window text in the ANSI code page, through the A-messages.
#include "ui/framework/control_wrappers.h"

namespace pelmix::ui {

int CComboBox::InsertString(int index, const std::string& text) const {
  return static_cast<int>(
      ::SendMessageA(hwnd(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

std::string GetWindowTextAnsi(HWND hwnd) {
  // The length may overstate the text (it can count a double-byte conversion), never understate it.
  const int length = ::GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

std::wstring GetWindowTextWide(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void SetWindowTextAnsi(HWND hwnd, const std::string& text) { ::SetWindowTextA(hwnd, text.c_str()); }

}  // namespace pelmix::ui
