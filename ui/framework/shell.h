// Handing documents to the programs the system associates with them, and the wait cursor.
#pragma once

#include <windows.h>

#include <string>

namespace pelmix::ui {

// Opens the document with its associated program and returns at once; whether that worked
// is not known here.
void ShellOpenDocument(const std::wstring& path);

// Shows the wait cursor while it lives, and the cursor from before afterwards.
class CWaitCursor {
 public:
  CWaitCursor() : previous_(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  ~CWaitCursor() { ::SetCursor(previous_); }

 private:
  HCURSOR previous_;
};

}  // namespace pelmix::ui
