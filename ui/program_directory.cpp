// The executable's directory and the help page's path, worked out from the module path.
#include "ui/program_directory.h"

namespace pelmix::ui {

std::wstring ProgramDirectory(std::wstring_view modulePath) {
  const std::size_t slash = modulePath.rfind(L'\\');
  if (slash == std::wstring_view::npos) return std::wstring(modulePath);
  return std::wstring(modulePath.substr(0, slash + 1));
}

std::wstring HelpPagePath(std::wstring_view programDirectory) {
  return std::wstring(programDirectory) + L"Pelmix.html";
}

}  // namespace pelmix::ui
