// What the Open dialog's file name field holds, read as the dialog reads it, and whether the
// dialog can take those names without overrunning its own buffers.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmix::ui {

// The longest path, its ending zero included, that the system's Open dialogs build for
// themselves (MAX_PATH); some overrun their buffers past it rather than fail.
inline constexpr std::size_t kDialogPathLimit = 260;

// The names in the field: each part between a pair of quotes, or the whole text when it
// holds no quote. Empty parts are left out.
std::vector<std::wstring> FieldNames(std::wstring_view text);

// Whether each name, joined to the folder as the dialog joins it and given the default
// extension, still fits kDialogPathLimit. A name with a drive or a leading separator
// stands for itself (one without a drive takes the folder's).
bool NamesFitDialog(std::wstring_view folder, std::span<const std::wstring> names, std::wstring_view defaultExtension);

}  // namespace pelmix::ui
