// Thin wrappers over a dialog's child windows: a handle attached once, enabling, and filling
// the drop-down list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace pelmix::ui {

class CWnd {
 public:
  HWND hwnd() const { return hwnd_; }
  bool IsAttached() const { return hwnd_ != nullptr; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  void EnableWindow(bool enabled) const { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

 protected:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(hwnd_, message, wParam, lParam);
  }

 private:
  HWND hwnd_ = nullptr;
};

// Buttons and edit controls need nothing beyond CWnd here: the exchange talks to them by ID.
class CButton : public CWnd {};
class CEdit : public CWnd {};

// Item texts are bytes of the ANSI code page, passed through the A-messages unconverted.
class CComboBox : public CWnd {
 public:
  void ResetContent() const { Send(CB_RESETCONTENT); }
  // Places the text at index whatever the sort style says; CB_ERR on failure.
  int InsertString(int index, const std::string& text) const;
  void SetItemData(int index, std::int32_t data) const { Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
};

// The whole text of a window as ANSI bytes, and setting it.
std::string GetWindowTextAnsi(HWND hwnd);
std::wstring GetWindowTextWide(HWND hwnd);
void SetWindowTextAnsi(HWND hwnd, const std::string& text);

}  // namespace pelmix::ui
