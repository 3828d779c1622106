// The ".mp3" name test, on the name's own characters (bytes here, UTF-16 on Windows).
#include "core/mp3_name.h"

#include <algorithm>
#include <string_view>

#include "core/ascii.h"

namespace pelmix {

bool HasMp3Extension(const std::filesystem::path& name) { return HasMp3Extension(name.native()); }

bool HasMp3Extension(const std::filesystem::path::string_type& name) {
  using Char = std::filesystem::path::value_type;
  std::basic_string_view<Char> text = name;
  if (text.size() >= 2 && text[1] == ':' && AsciiLower(text[0]) >= 'a' && AsciiLower(text[0]) <= 'z') {
    text.remove_prefix(2);
  }
  constexpr Char kSeparators[] = {Char('/'), Char('\\')};
  const std::size_t separator = text.find_last_of(kSeparators, text.npos, 2);
  if (separator != text.npos) text.remove_prefix(separator + 1);
  const std::size_t dot = text.rfind(Char('.'));
  if (dot == text.npos) return false;
  constexpr std::string_view kExtension = ".mp3";
  const std::basic_string_view<Char> extension = text.substr(dot);
  return std::equal(extension.begin(), extension.end(), kExtension.begin(), kExtension.end(),
                    [](Char c, char e) { return AsciiLower(c) == static_cast<Char>(e); });
}

}  // namespace pelmix
