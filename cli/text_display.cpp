// Escaping what is printed: control characters written as \xNN, JSON kept valid, errors in a few words.
#include "cli/text_display.h"

#include <algorithm>
#include <cstdio>

#include "core/file_error.h"
#include "core/text_codec.h"

namespace pelmix::cli {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string Hex(char32_t c, const char* format) {
  char digits[16];
  std::snprintf(digits, sizeof digits, format, static_cast<unsigned>(c));
  return digits;
}

// Every character of the text, invalid bytes as U+FFFD, handed to `put`.
template <typename Put>
void ForEachCharacter(std::string_view utf8, Put put) {
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    char32_t c = 0;
    if (NextCodePoint(utf8, at, c)) {
      put(c, utf8.substr(start, at - start));
    } else {
      put(kReplacementCharacter, utf8.substr(start, at - start));
    }
  }
}

void AppendEscaped(std::string& text, std::string_view utf8, bool quoting) {
  // Most names and tags need no escaping; they are passed on without decoding.
  const bool plain = std::all_of(utf8.begin(), utf8.end(), [quoting](char c) {
    return c >= 0x20 && c < 0x7F && !(quoting && (c == '"' || c == '\\'));
  });
  if (plain) {
    text += utf8;
    return;
  }
  // Bytes that are not UTF-8 (a file name in another encoding) are shown as \xNN: alone,
  // 0x9B and its kin are control introducers to some terminals.
  ForEachCharacter(utf8, [&](char32_t c, std::string_view bytes) {
    if (c == kReplacementCharacter && bytes != "\xEF\xBF\xBD") {
      for (unsigned char b : bytes) text += Hex(b, "\\x%02X");
    } else if (IsControl(c)) {
      text += Hex(c, "\\x%02X");
    } else if (quoting && (c == '"' || c == '\\')) {
      text.push_back('\\');
      text.push_back(static_cast<char>(c));
    } else {
      text += bytes;
    }
  });
}

std::string Escaped(std::string_view utf8, bool quoting) {
  std::string text;
  AppendEscaped(text, utf8, quoting);
  return text;
}

}  // namespace

std::string Printable(std::string_view utf8) { return Escaped(utf8, false); }

void AppendPrintablePath(std::string& text, const std::filesystem::path& path) {
#ifdef _WIN32
  AppendEscaped(text, PathText(path), false);
#else
  AppendEscaped(text, path.native(), false);
#endif
}

std::string Quoted(std::string_view utf8) { return '"' + Escaped(utf8, true) + '"'; }

std::string JsonString(std::string_view utf8) {
  std::string text = "\"";
  text.reserve(utf8.size() + 2);
  ForEachCharacter(utf8, [&text](char32_t c, std::string_view bytes) {
    switch (c) {
      case '"': text += "\\\""; break;
      case '\\': text += "\\\\"; break;
      case '\n': text += "\\n"; break;
      case '\r': text += "\\r"; break;
      case '\t': text += "\\t"; break;
      case kReplacementCharacter: AppendUtf8(text, kReplacementCharacter); break;
      default:
        if (IsControl(c)) {
          text += Hex(c, "\\u%04x");
        } else {
          text += bytes;
        }
    }
  });
  return text + '"';
}

std::string JsonPath(const std::filesystem::path& path) { return JsonPath("path", path); }

std::string JsonPath(std::string_view key, const std::filesystem::path& path) {
  std::string member = '"' + std::string(key) + "\":" + JsonString(PathText(path));
  if (!PathIsWellFormed(path)) member += ",\"" + std::string(key) + "_bytes\":\"" + PathHex(path) + '"';
  return member;
}

std::string ErrorReason(const std::error_code& error) {
  switch (KindOf(error)) {
    case FileErrorKind::NotFound: return "not found";
    case FileErrorKind::PermissionDenied: return "permission denied";
    case FileErrorKind::ReadOnlyFileSystem: return "read-only file system";
    // Only a folder named without -r is ever opened as a file.
    case FileErrorKind::IsADirectory: return "is a folder (use -r to walk it)";
    case FileErrorKind::NotARegularFile: return "not a regular file";
    case FileErrorKind::DiskFull: return "disk full";
    case FileErrorKind::FileTooLarge: return "file too large";
    case FileErrorKind::InUse: return "in use by another program";
    case FileErrorKind::NameTooLong: return "name too long";
    case FileErrorKind::TooManyOpenFiles: return "too many open files";
    case FileErrorKind::IoError: return "input/output error";
    case FileErrorKind::Other: break;
  }
  return error.message();
}

}  // namespace pelmix::cli
