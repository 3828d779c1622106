#include "ui/framework/wide_text.h"

#include <windows.h>

#include <climits>

namespace pelmix::ui {

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
  if (wide > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), wide);
  return result;
}

}  // namespace pelmix::ui
