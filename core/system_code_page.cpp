// The ANSI code page of this Windows machine, through the system's own conversion: it may
// be any code page the system knows, so there is no table of ours for it.
#include <windows.h>

#include <climits>

#include "core/text_codec.h"

namespace pelmix {

std::optional<std::string> ExactAnsiFromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const int length = static_cast<int>(text.size());
  // Best-fit and default characters are refused where the code page allows asking; the
  // round trip below catches them where it does not (UTF-8 as the ANSI code page).
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askDefault = &usedDefault;
  int size = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, askDefault);
  if (size <= 0) {
    flags = 0;
    askDefault = nullptr;
    size = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, askDefault);
  }
  if (size <= 0) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  size = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, ansi.data(), size, nullptr, askDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  ansi.resize(static_cast<std::size_t>(size));

  const int back = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring roundTrip(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, roundTrip.data(), back);
  if (roundTrip != text) return std::nullopt;
  return ansi;
}

std::wstring FirstCharacterWithoutAnsi(std::wstring_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const bool pair = at + 1 < text.size() && IS_HIGH_SURROGATE(text[at]) && IS_LOW_SURROGATE(text[at + 1]);
    const std::wstring_view character = text.substr(at, pair ? 2 : 1);
    if (!ExactAnsiFromWide(character)) return std::wstring(character);
    at += character.size();
  }
  return {};
}

}  // namespace pelmix
