// Turning paths, tag text and errors into the text the program prints.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "core/text_codec.h"  // PathText, which every caller of these needs as well

namespace pelmix::cli {

// UTF-8 with control characters written as \xNN, so a tag cannot steer the terminal.
std::string Printable(std::string_view utf8);
// Printable(PathText(path)) added to `text`, without a copy of the name where it needs none.
void AppendPrintablePath(std::string& text, const std::filesystem::path& path);
// Printable, in double quotes, with quote and backslash escaped.
std::string Quoted(std::string_view utf8);
// A JSON string literal; bytes that are not UTF-8 become U+FFFD so the line stays valid JSON.
std::string JsonString(std::string_view utf8);
// The "path" member of a JSON object. A name that is not well-formed shows U+FFFD there,
// so two names could read alike: it also gets "path_bytes", its exact bytes in hex.
std::string JsonPath(const std::filesystem::path& path);
// The same under another name: "new_path" (and "new_path_bytes").
std::string JsonPath(std::string_view key, const std::filesystem::path& path);

// Why a file could not be read or written, in a few words: "not found", "permission denied".
std::string ErrorReason(const std::error_code& error);

}  // namespace pelmix::cli
