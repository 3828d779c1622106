// The --from-name pattern parser. The input is a pattern, a zero byte, then either a name
// to match or (after a second zero byte) values to build a name from. A match, put back
// into the pattern, must give the name again; a name built from valid values must match.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/name_pattern.h"
#include "fuzz/require.h"

namespace {

using pelmix::NameValues;
using pelmix::PlaceholderField;
using pelmix::TagField;
using pelmix::fuzz::Require;

bool IsDigitField(TagField field) { return field == TagField::Track || field == TagField::Year; }

// The pattern with its placeholders replaced by the values; nothing for a placeholder
// without a value. Only called on patterns the parser accepts.
std::optional<std::string> Fill(std::string_view pattern, const NameValues& values) {
  std::string name;
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    if (pattern[at] != '%') {
      name.push_back(pattern[at]);
    } else if (pattern[++at] == '%') {
      name.push_back('%');
    } else {
      const auto& value = values[pelmix::FieldIndex(*PlaceholderField(pattern[at]))];
      if (!value) return std::nullopt;
      name += *value;
    }
  }
  return name;
}

void CheckMatch(std::string_view pattern, std::string_view name, bool mustMatch) {
  const std::optional<NameValues> values = pelmix::MatchNamePattern(pattern, name);
  if (!values) {
    Require(!mustMatch, "a name built from the pattern matches it");
    return;
  }
  Require(!pelmix::NamePatternProblem(pattern), "only a usable pattern matches");
  Require(name.size() <= 4096, "an overlong name never matches");
  for (TagField field : pelmix::kAllTagFields) {
    const auto& value = (*values)[pelmix::FieldIndex(field)];
    if (!value) continue;
    Require(!value->empty(), "a placeholder takes at least one byte");
    if (IsDigitField(field)) {
      Require(value->find_first_not_of("0123456789") == std::string::npos, "track and year are digits");
    }
  }
  const std::optional<std::string> again = Fill(pattern, *values);
  Require(again && *again == name, "the values put back into the pattern give the name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view pattern = input.substr(0, split);
  const std::string_view rest = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  if (rest.empty() || rest[0] != '\0') {
    CheckMatch(pattern, rest, false);
    return 0;
  }
  // Values, each ended by a zero byte, taken in turn by the placeholders of the pattern.
  if (pelmix::NamePatternProblem(pattern)) return 0;
  NameValues values;
  std::string_view list = rest.substr(1);
  bool valid = true;
  for (std::size_t at = 0; at + 1 < pattern.size(); ++at) {
    if (pattern[at] != '%') continue;
    const std::optional<TagField> field = PlaceholderField(pattern[++at]);
    if (!field) continue;
    const std::size_t end = std::min(list.find('\0'), list.size());
    std::string value(list.substr(0, end));
    list = list.substr(std::min(end + 1, list.size()));
    if (value.empty() || (IsDigitField(*field) && value.find_first_not_of("0123456789") != std::string::npos)) {
      valid = false;
    }
    values[pelmix::FieldIndex(*field)] = std::move(value);
  }
  const std::optional<std::string> name = Fill(pattern, values);
  if (name) CheckMatch(pattern, *name, valid && name->size() <= 4096);
  return 0;
}
