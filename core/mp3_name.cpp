// The ".mp3" name test, on the name's own characters (bytes here, UTF-16 on Windows).
#include "core/mp3_name.h"

#include <algorithm>
#include <string_view>

#include "core/ascii.h"

namespace pelmix {

bool HasMp3Extension(const std::filesystem::path& name) { return HasMp3Extension(name.native()); }

bool HasMp3Extension(const std::filesystem::path::string_type& name) {
  // The last four characters decide: ".mp3" holds no separator, colon or second dot, so a
  // name that ends in it has it as its last component's extension, and no other name does.
  // Every operand of a batch passes here, so nothing is searched.
  constexpr std::string_view kExtension = ".mp3";
  if (name.size() < kExtension.size()) return false;
  return std::equal(name.end() - static_cast<std::ptrdiff_t>(kExtension.size()), name.end(), kExtension.begin(),
                    [](auto c, char e) { return AsciiLower(c) == static_cast<decltype(c)>(e); });
}

}  // namespace pelmix
