// Names from tags: the pattern is parsed once per batch; the safe-name rule is the one place
// that knows which names Windows refuses, applied on every system so the names travel.
#include "core/name_from_tag.h"

#include <algorithm>

#include "core/ascii.h"
#include "core/name_pattern.h"
#include "core/text_codec.h"

namespace pelmix {
namespace {

constexpr char kReplacement = '_';

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool ForbiddenInName(char32_t c) {
  constexpr std::string_view kWindowsRefuses = "\\/:*?\"<>|";
  return c < 0x20 || c == 0x7F || (c < 0x80 && kWindowsRefuses.find(static_cast<char>(c)) != std::string_view::npos);
}

// Windows opens the device, not a file, for these names, whatever follows the first dot.
bool IsDeviceName(std::string_view base) {
  base = base.substr(0, base.find_last_not_of(' ') + 1);
  constexpr std::string_view kDevices[] = {"con", "prn", "aux", "nul"};
  for (const std::string_view device : kDevices) {
    if (CompareIgnoringAsciiCase(base, device) == 0) return true;
  }
  if (base.size() != 4 || base[3] < '1' || base[3] > '9') return false;
  const std::string_view stem = base.substr(0, 3);
  return CompareIgnoringAsciiCase(stem, "com") == 0 || CompareIgnoringAsciiCase(stem, "lpt") == 0;
}

}  // namespace

std::variant<NameTemplate, std::string> ParseNameTemplate(std::string_view pattern) {
  NameTemplate parts;
  bool placeholder = false;
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const char c = pattern[at];
    if (c == '/' || c == '\\') return std::string("a pattern makes a name, not a path: no / or \\ in it");
    if (c != '%' || (at + 1 < pattern.size() && pattern[at + 1] == '%')) {
      if (c == '%') ++at;
      if (parts.empty() || parts.back().field) parts.push_back({});
      parts.back().literal.push_back(c);
      continue;
    }
    if (at + 1 == pattern.size()) return std::string("a lone % at the end");
    std::size_t width = 0;
    if (pattern[at + 1] >= '1' && pattern[at + 1] <= '9') {
      width = static_cast<std::size_t>(pattern[++at] - '0');
      if (at + 1 < pattern.size() && pattern[at + 1] >= '0' && pattern[at + 1] <= '9') {
        return std::string("a width is one digit, 1 to 9 (%2n)");
      }
      if (at + 1 == pattern.size() || pattern[at + 1] != 'n') return std::string("a width goes with %n only (%2n)");
    }
    const char letter = pattern[++at];
    const std::optional<TagField> field = PlaceholderField(letter);
    if (!field) {
      const bool printable = letter > ' ' && letter < 0x7F;
      return printable ? std::string("unknown placeholder %") + letter : std::string("unknown placeholder after %");
    }
    parts.push_back({{}, field, width});
    placeholder = true;
  }
  if (!placeholder) return std::string("no placeholder (%n, %t, %a, %A or %y)");
  return parts;
}

MadeName MakeName(const NameTemplate& parts, const TagNameValues& values, std::size_t trackWidth) {
  MadeName made;
  for (const NamePart& part : parts) {
    if (!part.field) {
      made.name += part.literal;
      continue;
    }
    const std::string_view value = TrimSpaces(values[FieldIndex(*part.field)]);
    if (value.empty()) {
      made.missing = part.field;
      made.name.clear();
      return made;
    }
    if (*part.field == TagField::Track) {
      const std::size_t width = part.width ? part.width : trackWidth;
      if (value.size() < width) made.name.append(width - value.size(), '0');
    }
    made.name += value;
  }
  return made;
}

std::string SafeFileName(std::string_view utf8) {
  std::string name;
  name.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    char32_t c = 0;
    if (!NextCodePoint(utf8, at, c) || ForbiddenInName(c)) {
      name.push_back(kReplacement);
    } else {
      name.append(utf8.substr(start, at - start));
    }
  }
  const std::size_t first = name.find_first_not_of(". ");
  if (first == std::string::npos) return {};
  name = name.substr(first, name.find_last_not_of(". ") - first + 1);
  const std::size_t dot = std::min(name.find('.'), name.size());
  if (IsDeviceName(std::string_view(name).substr(0, dot))) name.insert(dot, 1, kReplacement);
  return name;
}

}  // namespace pelmix
