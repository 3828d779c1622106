// The Open dialog: explorer style, resizable, on the wide-character call, with a result
// buffer that grows while the dialog runs, so that a selection of any size fits.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

namespace pelmix::ui {

class CFileDialog {
 public:
  // The filter lists names and patterns, each ended by "|", the list by one more "|".
  // Without an owner the dialog belongs to the application's main window.
  CFileDialog(std::wstring defaultExtension, std::wstring filter, HWND owner = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // The program's own flags; the explorer style, the hook and sizing are always added.
  DWORD& flags() { return flags_; }

  // IDOK with the result filled, or IDCANCEL (cancelled, or failed: see extendedError()).
  INT_PTR DoModal();
  // CommDlgExtendedError of a run that did not end with OK; 0 for a plain cancel.
  DWORD extendedError() const { return extendedError_; }
  // The result buffer as the dialog filled it, zeros included.
  std::wstring_view result() const { return std::wstring_view(ofn_.lpstrFile, ofn_.nMaxFile); }

 private:
  static UINT_PTR CALLBACK Hook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK BeforeOpen(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  void FitSelection(HWND dialog);

  std::wstring defaultExtension_;
  std::wstring filter_;
  HWND owner_;
  DWORD flags_ = 0;
  std::wstring buffer_;
  OPENFILENAMEW ofn_{};
  // The structure the running dialog reads its buffer from (ours, as the hook was told).
  OPENFILENAMEW* ofnInUse_ = nullptr;
  DWORD extendedError_ = 0;
};

}  // namespace pelmix::ui
