// The data exchange between a dialog's controls and values: one call per control, run in
// the load direction (values into controls) or the save direction (controls into values,
// with validation). After a failed validation every later call does nothing.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/control_wrappers.h"

namespace pelmix::ui {

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool saveAndValidate, bool checkOnly = false)
      : dialog_(dialog), saveAndValidate_(saveAndValidate || checkOnly), checkOnly_(checkOnly) {}

  bool saveAndValidate() const { return saveAndValidate_; }
  // Validation of the values alone: no control is read or written, and a failure is not
  // shown (the caller exchanges for real to show it).
  bool checkOnly() const { return checkOnly_; }
  bool failed() const { return failed_; }
  CDialog& dialog() const { return dialog_; }

  // The control the next steps work on; an edit control is the one DDV_MaxChars checks.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  HWND lastControl() const { return lastControl_; }

  // Stops the exchange and puts the focus on the last edit control, with its text selected.
  void Fail();

 private:
  CDialog& dialog_;
  bool saveAndValidate_;
  bool checkOnly_;
  bool failed_ = false;
  HWND lastControl_ = nullptr;
  bool lastIsEdit_ = false;
};

// Attaches the wrapper to the control once; later exchanges leave it as it is.
void DDX_Control(CDataExchange& dx, int id, CWnd& control);
// Load: sets the text unless the control shows exactly that. Save: the whole text in the
// ANSI code page; a character the code page cannot hold fails with a message naming it.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// Save: a value longer than maxChars fails with a message; both directions limit the control.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars);
// The selected index of a drop-down list; -1 for none.
void DDX_CBIndex(CDataExchange& dx, int id, int& index);
// A check box's state; a value the box cannot show is first set to 0.
void DDX_Check(CDataExchange& dx, int id, int& value);
// The position of the checked radio button in the group that starts at id; -1 for none.
void DDX_Radio(CDataExchange& dx, int id, int& value);

}  // namespace pelmix::ui
