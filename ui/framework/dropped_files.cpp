// Reading the names of a drop, each of any length.
#include "ui/framework/dropped_files.h"

#include <string>

namespace pelmix::ui {

std::filesystem::path CDroppedFiles::Name(UINT index) const {
  const UINT length = ::DragQueryFileW(drop_, index, nullptr, 0);
  if (length == 0) return {};
  std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
  const UINT got = ::DragQueryFileW(drop_, index, name.data(), length + 1);
  name.resize(got);
  return name;
}

}  // namespace pelmix::ui
