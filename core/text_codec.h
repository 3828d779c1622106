// The one text codec: tag bytes of a code page (single-byte, or UTF-8), UTF-8, and the
// UTF-16 of the platform's wide calls and file names. No other file converts between encodings.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelmix {

// What a malformed sequence becomes wherever text must stay readable.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// ---- Code pages: the bytes tag text is stored in. All single-byte but UTF-8, which many
// taggers write into the fields as well.

enum class CodePage { Windows1250, Windows1251, Windows1252, Iso8859_1, Utf8 };

// "windows-1252", "cp1252", "1252", "iso-8859-1", "latin1", "utf-8", ... regardless of letter case.
std::optional<CodePage> CodePageByName(std::string_view name);
// The name the program uses for it in messages.
const char* CodePageName(CodePage page);

// Tag bytes as UTF-8. In a single-byte page every byte has a character: one the page
// leaves undefined becomes the control character of the same number, as Windows does, so
// it converts back. In UTF-8, bytes that are not (a character cut short by another
// tagger, text of another page) become U+FFFD, as UTF-16 conversions below do.
std::string DecodeText(CodePage page, std::string_view bytes);

struct EncodeResult {
  enum class Status { Ok, InvalidUtf8, Unencodable };
  Status status = Status::Ok;
  std::string bytes;
  char32_t character = 0;  // the character the code page cannot hold
};

// UTF-8 as tag bytes; nothing is ever replaced or dropped.
EncodeResult EncodeText(CodePage page, std::string_view utf8);

// The length of the longest start of the tag bytes, at most `most` bytes long, that ends
// between two characters of the code page: where a value can be cut without splitting one.
std::size_t CharacterBoundary(CodePage page, std::string_view bytes, std::size_t most);

// ---- UTF-8, the text of file names in titles, the command line and the terminal.

// The character starting at `at`, with `at` moved past it. False, with `at` moved past one
// byte, for a byte sequence that is not well-formed UTF-8 (overlong forms and surrogates
// included).
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& codePoint);

void AppendUtf8(std::string& text, char32_t codePoint);

// ---- UTF-16 for the platform's wide calls. Neither direction fails: an unpaired surrogate,
// or a malformed UTF-8 sequence (as much of it as could start a character), becomes U+FFFD.

std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

// The same for wchar_t: UTF-16 where it has 16 bits (Windows), code points where it has 32.
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// ---- File names.

// A path as UTF-8 for display. Never throws: on Windows a name that is not valid UTF-16
// gets U+FFFD in place of the stray half; elsewhere the name's bytes are given as they are.
std::string PathText(const std::filesystem::path& path);
// A path as wide text for the window's messages (on Windows, the name as it is).
std::wstring PathWideText(const std::filesystem::path& path);
// The path a UTF-8 text names: on Windows converted to UTF-16, elsewhere its bytes as they are.
std::filesystem::path PathFromUtf8(std::string_view utf8);
// Whether the name is well-formed as the system holds it (UTF-8 elsewhere, UTF-16 on
// Windows): only then does its text stand for it without a U+FFFD.
bool PathIsWellFormed(const std::filesystem::path& path);
// The name as the system holds it, two lowercase hex digits a byte: its bytes, or on
// Windows its UTF-16 code units low byte first. A name that is not well-formed is
// recovered exactly from this.
std::string PathHex(const std::filesystem::path& path);

#ifdef _WIN32
// ---- The ANSI code page of this Windows machine, which may be any the system knows; the
// conversion is the system's (core/system_code_page.cpp).

// The text in the ANSI code page, or nothing when a character has no place there: the
// system's own conversion would put a look-alike ("O" for "Ω") or "?" in its place.
std::optional<std::string> ExactAnsiFromWide(std::wstring_view text);
// The first character (one or two UTF-16 units) that ExactAnsiFromWide cannot convert.
std::wstring FirstCharacterWithoutAnsi(std::wstring_view text);
#endif

}  // namespace pelmix
