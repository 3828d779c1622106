// Reading the Open dialog's file name field and measuring the paths it would build.
#include "ui/framework/file_name_field.h"

namespace pelmix::ui {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasDrive(std::wstring_view name) {
  return name.size() >= 2 && name[1] == L':' &&
         ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z'));
}

}  // namespace

std::vector<std::wstring> FieldNames(std::wstring_view text) {
  std::vector<std::wstring> names;
  if (text.find(L'"') == text.npos) {
    if (!text.empty()) names.emplace_back(text);
    return names;
  }
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = text.find(L'"', at);
    if (open == text.npos) break;
    const std::size_t close = text.find(L'"', open + 1);
    // An unclosed quote runs to the end, as the dialog reads it.
    const std::wstring_view name = text.substr(open + 1, close == text.npos ? text.npos : close - open - 1);
    if (!name.empty()) names.emplace_back(name);
    if (close == text.npos) break;
    at = close + 1;
  }
  return names;
}

bool NamesFitDialog(std::wstring_view folder, std::span<const std::wstring> names, std::wstring_view defaultExtension) {
  const std::size_t joint = !folder.empty() && IsSeparator(folder.back()) ? 0 : 1;
  for (const std::wstring& name : names) {
    std::size_t length = name.size();
    if (HasDrive(name)) {
    } else if (!name.empty() && IsSeparator(name.front())) {
      length += 2;
    } else {
      length += folder.size() + joint;
    }
    // The dot and the extension the dialog may add, and the ending zero.
    if (!defaultExtension.empty()) length += 1 + defaultExtension.size();
    if (length + 1 > kDialogPathLimit) return false;
  }
  return true;
}

}  // namespace pelmix::ui
