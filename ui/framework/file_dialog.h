// The Open dialog: the system's item-based dialog where it has one, else the classic
// explorer-style dialog with a result buffer that grows while it runs. A name the dialog
// cannot take or hand over ends the run as a failure the caller tells, never as a crash.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shobjidl.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmix::ui {

// Makes the item-based dialog; a failure sends the run to the classic dialog.
using ItemDialogFactory = HRESULT (*)(IFileOpenDialog** dialog);

class CFileDialog {
 public:
  enum class Failure {
    None,               // chosen, or cancelled by the user
    SelectionTooLong,   // the names chosen did not fit the classic dialog's buffer
    NameNotHandedOver,  // a name too long for the dialog, or one it gave no full path for
    SystemError,        // the dialog itself failed; errorCode() says how
  };

  // The filter lists names and patterns, each ended by "|", the list by one more "|".
  // Without an owner the dialog belongs to the application's main window.
  CFileDialog(std::wstring defaultExtension, std::wstring filter, HWND owner = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // The program's own flags; OFN_ALLOWMULTISELECT is honoured by either dialog.
  DWORD& flags() { return flags_; }

  // IDOK with the choice filled in, or IDCANCEL (cancelled, or failed: see failure()).
  INT_PTR DoModal();
  Failure failure() const { return failure_; }
  // The HRESULT or common dialog error code behind a SystemError.
  DWORD errorCode() const { return errorCode_; }
  // Whether the classic dialog ran: its choice is result(), the item dialog's paths().
  bool ranClassic() const { return ranClassic_; }
  // The classic dialog's result buffer as it filled it, zeros included.
  std::wstring_view result() const { return std::wstring_view(ofn_.lpstrFile, ofn_.lpstrFile ? ofn_.nMaxFile : 0); }
  // The item dialog's choice as full paths, in its order.
  const std::vector<std::filesystem::path>& paths() const { return paths_; }

  // Where the item dialog comes from; null restores the system's. Tests fail it on purpose.
  static void SetItemDialogFactory(ItemDialogFactory factory);

 private:
  class Events;

  INT_PTR RunItemDialog(IFileOpenDialog& dialog, HWND owner);
  INT_PTR RunClassicDialog(HWND owner);
  bool TakeOverLongNames(bool fromList);
  bool TakeOverSelection(const std::vector<std::wstring>& names);
  void WatchItemDialogWindow(HWND window);
  static LRESULT CALLBACK ItemDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
  static LRESULT CALLBACK ListFilter(int code, WPARAM wParam, LPARAM lParam);
  static UINT_PTR CALLBACK Hook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK BeforeOpen(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  void FitSelection(HWND dialog);
  bool ClassicNamesFit(HWND dialog) const;

  std::wstring defaultExtension_;
  std::wstring filter_;
  HWND owner_;
  DWORD flags_ = 0;
  std::wstring buffer_;
  OPENFILENAMEW ofn_{};
  // The structure the running dialog reads its buffer from (ours, as the hook was told).
  OPENFILENAMEW* ofnInUse_ = nullptr;
  Failure failure_ = Failure::None;
  DWORD errorCode_ = 0;
  bool ranClassic_ = false;
  std::vector<std::filesystem::path> paths_;
  // While the item dialog runs: the dialog, its window once shown, and whether this
  // object ended the run itself.
  IFileOpenDialog* itemDialog_ = nullptr;
  HWND itemWindow_ = nullptr;
  bool tookOver_ = false;
};

}  // namespace pelmix::ui
