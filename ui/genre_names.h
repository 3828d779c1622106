// Genre names compared the way the window's sorted drop-down list compares them.
#pragma once

#include <string_view>

namespace pelmix::ui {

// Negative, zero or positive, as CompareStringA orders the two ANSI texts in the user's
// locale, ignoring letter case.
int CompareGenreNames(std::string_view a, std::string_view b);

}  // namespace pelmix::ui
