// A strict reader for the one-object JSON lines the command line prints, so that tests can
// check a line is valid JSON (UTF-8, escapes, structure) and look at what it says.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pelmix::test {

// The object's members, each string value decoded to UTF-8 and every other value as its
// JSON text (2, null, true); nothing when the line is not exactly one valid JSON object.
std::optional<std::map<std::string, std::string>> ParseJsonObject(std::string_view line);

}  // namespace pelmix::test
