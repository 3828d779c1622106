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
  // saveAndValidate: the save direction; validate: with the DDV_ checks (the save direction
  // of the OK action), or without (a save that only copies).
  CDataExchange(CDialog& dialog, bool saveAndValidate, bool validate = true)
      : dialog_(dialog), saveAndValidate_(saveAndValidate), validate_(saveAndValidate && validate) {}

  bool saveAndValidate() const { return saveAndValidate_; }
  bool validate() const { return validate_; }
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
  bool validate_;
  bool failed_ = false;
  HWND lastControl_ = nullptr;
  bool lastIsEdit_ = false;
};

// Attaches the wrapper to the control once; later exchanges leave it as it is.
void DDX_Control(CDataExchange& dx, int id, CWnd& control);
// Load: sets the text unless the control shows exactly that. Save: the whole text in the
// ANSI code page. A character the code page cannot hold is reported in *notInCodePage (the
// value keeps what it had), or without that fails with a message naming it; given a
// character there, the load direction leaves the control as the user typed it.
void DDX_Text(CDataExchange& dx, int id, std::string& value, char32_t* notInCodePage = nullptr);
// Save with validation: a value longer than maxChars fails with a message; both directions
// limit the control.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars);
// The selected index of a drop-down list; -1 for none.
void DDX_CBIndex(CDataExchange& dx, int id, int& index);
// A check box's state; a value the box cannot show is first set to 0.
void DDX_Check(CDataExchange& dx, int id, int& value);
// The position of the checked radio button in the group that starts at id; -1 for none.
void DDX_Radio(CDataExchange& dx, int id, int& value);

}  // namespace pelmix::ui
