// Opening a document with the program the shell associates with it.
#include "ui/framework/shell.h"

#include <shellapi.h>

namespace pelmix::ui {

void ShellOpenDocument(const std::wstring& path) {
  ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace pelmix::ui
