// Thin wrappers over a dialog's child windows: a handle attached once, and the few
// messages the front end sends to buttons, edit controls and drop-down lists.
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

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
  void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CEdit : public CWnd {
 public:
  void SetLimitText(int limit) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(limit)); }
  void SelectAll() const { Send(EM_SETSEL, 0, -1); }
};

// Item texts are bytes of the ANSI code page, passed through the A-messages unconverted.
class CComboBox : public CWnd {
 public:
  void ResetContent() const { Send(CB_RESETCONTENT); }
  // Places the text at index whatever the sort style says; CB_ERR on failure.
  int InsertString(int index, const std::string& text) const;
  std::string GetLBText(int index) const;
  void SetItemData(int index, std::int32_t data) const { Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
  // CB_ERR (-1) for an index that names no item.
  std::int32_t GetItemData(int index) const {
    return static_cast<std::int32_t>(Send(CB_GETITEMDATA, static_cast<WPARAM>(index)));
  }
  int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

// The whole text of a window as ANSI bytes, and setting it.
std::string GetWindowTextAnsi(HWND hwnd);
void SetWindowTextAnsi(HWND hwnd, const std::string& text);

}  // namespace pelmix::ui
