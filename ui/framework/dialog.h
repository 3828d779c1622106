// A dialog window from a template: modal or modeless, with a static message table, the
// standard OK and cancel actions and the data exchange between controls and values.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <type_traits>

#include "ui/framework/control_wrappers.h"

namespace pelmix::ui {

class CDataExchange;
class CDialog;

// A handler's answer: a result for the message, or nothing to leave the message to the
// default dialog processing.
using MessageResult = std::optional<LRESULT>;

// One line of a message table: a window message, or WM_COMMAND with a command ID and a
// notification code, and the handler it goes to. Tables are searched in their order.
struct MessageEntry {
  UINT message;
  UINT commandId;
  UINT notifyCode;
  MessageResult (*handler)(CDialog& dialog, WPARAM wParam, LPARAM lParam);
};

namespace detail {

template <class Method>
struct MethodClass;
template <class C, class R, class... A>
struct MethodClass<R (C::*)(A...)> {
  using Type = C;
};

// Calls a member handler: void() for commands, MessageResult(WPARAM, LPARAM) for messages.
template <auto Method>
MessageResult CallHandler(CDialog& dialog, WPARAM wParam, LPARAM lParam) {
  auto& self = static_cast<typename MethodClass<decltype(Method)>::Type&>(dialog);
  if constexpr (std::is_invocable_v<decltype(Method), decltype(self)>) {
    (self.*Method)();
    return 0;
  } else {
    return (self.*Method)(wParam, lParam);
  }
}

}  // namespace detail

// A command, by default a button click or a menu choice (notification code 0).
template <auto Method>
constexpr MessageEntry OnCommand(UINT commandId, UINT notifyCode = BN_CLICKED) {
  return {WM_COMMAND, commandId, notifyCode, &detail::CallHandler<Method>};
}

template <auto Method>
constexpr MessageEntry OnMessage(UINT message) {
  return {message, 0, 0, &detail::CallHandler<Method>};
}

class CDialog : public CWnd {
 public:
  // Without a parent, a modal run is owned by the application's main window, or else by
  // the thread's active window.
  explicit CDialog(UINT templateId, HWND parent = nullptr) : templateId_(templateId), parent_(parent) {}
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog();

  // Creates the window, runs its own message loop until EndDialog, and returns the end code
  // (-1 when the window could not be created).
  INT_PTR DoModal();
  // Creates the window and returns at once; the caller's loop runs it.
  bool Create(HWND parent = nullptr);
  void EndDialog(int code);

  // Runs DoDataExchange in one direction, with control notifications ignored meanwhile so
  // that filling the controls starts no handler. False when a validation failed; a save
  // without `validate` only copies.
  bool UpdateData(bool saveAndValidate, bool validate = true);

 protected:
  virtual std::span<const MessageEntry> GetMessageMap() const { return {}; }
  virtual void DoDataExchange(CDataExchange&) {}
  // Shows the values in the controls. True lets the dialog manager focus the first tab stop.
  virtual bool OnInitDialog();
  // The OK action: save with validation, then end with IDOK; a failure keeps the dialog open.
  virtual void OnOK();
  virtual void OnCancel();
  // A message the modal loop is about to hand to this dialog or one of its controls; true
  // takes it, so that nothing else sees it. The place for the dialog's own keys.
  virtual bool PreTranslateMessage(const MSG&) { return false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);
  MessageResult Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Owner() const;
  void CenterOverOwner() const;

  UINT templateId_;
  HWND parent_;
  bool modal_ = false;
};

}  // namespace pelmix::ui
