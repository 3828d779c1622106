// The single-byte code pages tag text is stored in, and conversion between them and UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmix::cli {

enum class CodePage { Windows1250, Windows1251, Windows1252, Iso8859_1 };

// "windows-1252", "cp1252", "1252", "iso-8859-1", "latin1", ... regardless of letter case.
std::optional<CodePage> CodePageByName(std::string_view name);
// The name the program uses for it in messages.
const char* CodePageName(CodePage page);

// Tag bytes as UTF-8. Every byte has a character: one a code page leaves undefined
// becomes the control character of the same number, as Windows does, so it converts back.
std::string DecodeText(CodePage page, std::string_view bytes);

struct EncodeResult {
  enum class Status { Ok, InvalidUtf8, Unencodable };
  Status status = Status::Ok;
  std::string bytes;
  char32_t character = 0;  // the character the code page cannot hold
};

// UTF-8 as tag bytes; nothing is ever replaced or dropped.
EncodeResult EncodeText(CodePage page, std::string_view utf8);

}  // namespace pelmix::cli
