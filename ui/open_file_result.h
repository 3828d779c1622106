// The paths in the Open dialog's explorer-style result buffer.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace pelmix::ui {

// Without multiple selection the buffer holds one full path. With it: one full path and an
// empty string, or a directory followed by names, each string ended by a zero and the last
// by two. A name joins its directory with one backslash; none is added when the directory
// ends in a backslash, nor when it ends in a slash and holds no backslash at all.
std::vector<std::filesystem::path> SplitOpenFileResult(std::wstring_view buffer, bool multipleSelection);

}  // namespace pelmix::ui
