// Converting UTF-8 text to the wide text of the W-functions.
#pragma once

#include <string>
#include <string_view>

namespace pelmix::ui {

// Malformed sequences become U+FFFD rather than being dropped.
std::wstring WideFromUtf8(std::string_view text);

}  // namespace pelmix::ui
