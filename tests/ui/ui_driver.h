// Runs a dialog modally on the test's thread while a second thread operates it the way a
// user would: posted clicks, commands and keys, and reading back what the windows show.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/framework/dialog.h"

namespace pelmix::test {

class UiDriver {
 public:
  UiDriver(DWORD uiThread, HWND invoker) : uiThread_(uiThread), invoker_(invoker) {}

  // Polls the condition until it holds; false only after a minute without it.
  static bool WaitUntil(const std::function<bool()>& condition);
  // Until the dialog is shown and active, with the focus in it.
  bool WaitForDialog();
  // Runs fn on the dialog's thread, between two of its messages.
  void OnUiThread(const std::function<void()>& fn) const;

  // Each action is posted to the dialog's thread and has been handled when the call returns
  // (or has opened a message box or dialog of its own, or has ended the dialog).
  void Click(int id) const { PostAndSettle(Item(id), BM_CLICK, 0, 0); }
  void Command(int id) const { PostAndSettle(dialog_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void SysCommand(WPARAM command) const { PostAndSettle(dialog_, WM_SYSCOMMAND, command, 0); }
  // A drop from the shell; the window owns the handle from here on.
  void Drop(HGLOBAL drop) const { PostAndSettle(dialog_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0); }
  // A key pressed in the window with the keyboard focus; Alt with a letter as a mnemonic.
  void PressKey(UINT key) const;
  void PressAlt(char letter) const;
  void SetText(int id, const std::string& text) const;
  void Focus(int id) const;
  // Until control id has the focus; false, after a minute, with DescribeFocus() to say why.
  bool WaitForFocus(int id) const;

  HWND dialog() const { return dialog_; }
  HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
  std::string Text(int id) const;
  bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  bool IsChecked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  HWND FocusWindow() const;
  int FocusId() const { return ::GetDlgCtrlID(FocusWindow()); }
  // Where the focus and the activation are, for a failure message.
  std::string DescribeFocus() const;
  bool DialogIsOpen() const { return ::IsWindow(dialog_) != FALSE; }
  // A dialog window of the thread other than the one being run, by caption if one is given.
  HWND FindPopup(const wchar_t* caption = nullptr) const;

  struct MessageBoxSeen {
    std::string text;
    std::wstring wideText;
    std::wstring caption;
    bool hasIcon = false;
  };
  // Waits for a message box, reads it, presses its OK button, or the one given (IDYES), and
  // waits until the dialog's thread is back at its messages.
  std::optional<MessageBoxSeen> AnswerMessageBox(int button = IDOK) const;
  // Ends whatever the script left open, the dialog with IDCANCEL.
  void CloseEverything() const;

 private:
  void PostAndSettle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
  // The dialog thread's active and focus windows; none when the system cannot say.
  std::optional<GUITHREADINFO> ThreadInfo() const;
  // Until the dialog's thread has handled what was posted so far.
  void Settle() const;

  DWORD uiThread_;
  HWND invoker_;
  HWND dialog_ = nullptr;
};

// Runs the dialog modally and the script beside it; returns the dialog's end code. Whatever
// the script leaves open is cancelled, so a failing script cannot hang the test.
INT_PTR RunDialog(ui::CDialog& dialog, const std::function<void(UiDriver&)>& script);

// The block the shell hands over with WM_DROPFILES, with the names in wide or ANSI form.
HGLOBAL MakeDrop(const std::vector<std::filesystem::path>& paths, bool wide);

// A window's text as ANSI bytes, or as wide text.
std::string AnsiText(HWND window);
std::wstring WideText(HWND window);

}  // namespace pelmix::test
