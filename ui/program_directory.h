// Where "genre.txt" and the help page are looked up: the running executable's directory.
#pragma once

#include <string>
#include <string_view>

namespace pelmix::ui {

// The module path up to and including its last backslash; a path without one stays whole.
std::wstring ProgramDirectory(std::wstring_view modulePath);

// The help page beside the executable: the directory, ending in its backslash, and the name.
std::wstring HelpPagePath(std::wstring_view programDirectory);

}  // namespace pelmix::ui
