// Splitting the Open dialog's result buffer into full paths.
#include "ui/open_file_result.h"

#include <algorithm>
#include <string>

namespace pelmix::ui {
namespace {

// The zero-ended string at `at`, with `at` moved past its zero; a buffer that ends without
// one ends the string too.
std::wstring_view NextString(std::wstring_view buffer, std::size_t& at) {
  const std::size_t end = std::min(buffer.find(L'\0', at), buffer.size());
  const std::wstring_view text = buffer.substr(at, end - at);
  at = end + 1;
  return text;
}

}  // namespace

std::vector<std::filesystem::path> SplitOpenFileResult(std::wstring_view buffer, bool multipleSelection) {
  std::size_t at = 0;
  const std::wstring_view first = NextString(buffer, at);
  if (first.empty()) return {};
  if (!multipleSelection) return {std::filesystem::path(std::wstring(first))};

  std::vector<std::filesystem::path> paths;
  const bool endsInSeparator = first.back() == L'\\' || (first.back() == L'/' && first.find(L'\\') == first.npos);
  for (;;) {
    const std::wstring_view name = at < buffer.size() ? NextString(buffer, at) : std::wstring_view();
    if (name.empty()) break;
    std::wstring path(first);
    if (!endsInSeparator) path += L'\\';
    path += name;
    paths.emplace_back(std::move(path));
  }
  // No name follows: the one file chosen, by its full path.
  if (paths.empty()) paths.emplace_back(std::wstring(first));
  return paths;
}

}  // namespace pelmix::ui
