// Code-page tables for bytes 0x80 to 0xFF (the lower half is ASCII in every single-byte
// code page offered); strict UTF-8; UTF-16 with U+FFFD for what cannot be paired or decoded.
#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/ascii.h"

namespace pelmix {
namespace {

using HighHalf = std::array<std::uint16_t, 128>;

// Eight to a line, as the code charts print them.
// clang-format off
constexpr HighHalf kWindows1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

constexpr HighHalf kWindows1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr HighHalf kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};
// clang-format on

char32_t CharacterOf(CodePage page, unsigned char byte) {
  if (byte < 0x80 || page == CodePage::Iso8859_1) return byte;
  const HighHalf& table = page == CodePage::Windows1250   ? kWindows1250
                          : page == CodePage::Windows1251 ? kWindows1251
                                                          : kWindows1252;
  return table[byte - 0x80];
}

std::optional<unsigned char> ByteOf(CodePage page, char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(c);
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    if (CharacterOf(page, static_cast<unsigned char>(byte)) == c) return static_cast<unsigned char>(byte);
  }
  return std::nullopt;
}

struct NamedPage {
  const char* name;
  CodePage page;
};

constexpr NamedPage kNames[] = {
    {"windows-1250", CodePage::Windows1250},
    {"cp1250", CodePage::Windows1250},
    {"1250", CodePage::Windows1250},
    {"windows-1251", CodePage::Windows1251},
    {"cp1251", CodePage::Windows1251},
    {"1251", CodePage::Windows1251},
    {"windows-1252", CodePage::Windows1252},
    {"cp1252", CodePage::Windows1252},
    {"1252", CodePage::Windows1252},
    {"iso-8859-1", CodePage::Iso8859_1},
    {"iso8859-1", CodePage::Iso8859_1},
    {"latin1", CodePage::Iso8859_1},
    {"latin-1", CodePage::Iso8859_1},
    {"utf-8", CodePage::Utf8},
    {"utf8", CodePage::Utf8},
    {"cp65001", CodePage::Utf8},
    {"65001", CodePage::Utf8},
};

std::size_t MalformedLength(std::string_view text, std::size_t at);
std::string Utf8WithReplacements(std::string_view text);

}  // namespace

std::optional<CodePage> CodePageByName(std::string_view name) {
  for (const NamedPage& entry : kNames) {
    if (CompareIgnoringAsciiCase(name, entry.name) == 0) return entry.page;
  }
  return std::nullopt;
}

const char* CodePageName(CodePage page) {
  switch (page) {
    case CodePage::Windows1250: return "Windows-1250";
    case CodePage::Windows1251: return "Windows-1251";
    case CodePage::Windows1252: return "Windows-1252";
    case CodePage::Iso8859_1: return "ISO-8859-1";
    case CodePage::Utf8: return "UTF-8";
  }
  return "";
}

std::string DecodeText(CodePage page, std::string_view bytes) {
  if (page == CodePage::Utf8) return Utf8WithReplacements(bytes);
  std::string text;
  text.reserve(bytes.size());
  for (char byte : bytes) AppendUtf8(text, CharacterOf(page, static_cast<unsigned char>(byte)));
  return text;
}

EncodeResult EncodeText(CodePage page, std::string_view utf8) {
  EncodeResult result;
  result.bytes.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    char32_t c = 0;
    if (!NextCodePoint(utf8, at, c)) {
      result.status = EncodeResult::Status::InvalidUtf8;
      return result;
    }
    if (page == CodePage::Utf8) continue;
    const std::optional<unsigned char> byte = ByteOf(page, c);
    if (!byte) {
      result.status = EncodeResult::Status::Unencodable;
      result.character = c;
      return result;
    }
    result.bytes.push_back(static_cast<char>(*byte));
  }
  if (page == CodePage::Utf8) result.bytes = utf8;
  return result;
}

std::size_t CharacterBoundary(CodePage page, std::string_view bytes, std::size_t most) {
  if (page != CodePage::Utf8 || bytes.size() <= most) return std::min(bytes.size(), most);
  std::size_t end = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t c = 0;
    // A byte that starts no character stands alone; a cut beside it splits nothing.
    NextCodePoint(bytes, at, c);
    if (at > most) break;
    end = at;
  }
  return end;
}

bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& codePoint) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    codePoint = lead;
    ++at;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    ++at;
    return false;
  }
  if (at + length > text.size()) {
    ++at;
    return false;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) {
      ++at;
      return false;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++at;
    return false;
  }
  codePoint = value;
  at += length;
  return true;
}

void AppendUtf8(std::string& text, char32_t c) {
  const auto put = [&text](char32_t bits) { text.push_back(static_cast<char>(bits)); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | (c >> 18));
    put(0x80 | ((c >> 12) & 0x3F));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

namespace {

// How many bytes from `at` make the longest start of a well-formed sequence: they become one
// U+FFFD together, as platforms following the Unicode recommendation replace them.
std::size_t MalformedLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 1;
  }
  std::size_t taken = 1;
  while (taken < length && at + taken < text.size()) {
    const auto next = static_cast<unsigned char>(text[at + taken]);
    if (next < low || next > high) break;
    low = 0x80;
    high = 0xBF;
    ++taken;
  }
  return taken;
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

std::string Utf8WithReplacements(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    char32_t c = 0;
    if (NextCodePoint(text, at, c)) {
      utf8.append(text, start, at - start);
    } else {
      AppendUtf8(utf8, kReplacementCharacter);
      at = start + MalformedLength(text, start);
    }
  }
  return utf8;
}

template <typename Unit>
std::string Utf8FromUnits(std::basic_string_view<Unit> text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = 0;
    if constexpr (sizeof(Unit) == 2) {
      c = static_cast<char16_t>(text[i]);
      const char32_t next = i + 1 < text.size() ? static_cast<char16_t>(text[i + 1]) : 0;
      if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      } else if (IsSurrogate(c)) {
        c = kReplacementCharacter;
      }
    } else {
      c = static_cast<char32_t>(text[i]);
      if (IsSurrogate(c) || c > 0x10FFFF) c = kReplacementCharacter;
    }
    AppendUtf8(utf8, c);
  }
  return utf8;
}

template <typename Unit>
std::basic_string<Unit> UnitsFromUtf8(std::string_view text) {
  std::basic_string<Unit> units;
  units.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    char32_t c = 0;
    if (!NextCodePoint(text, at, c)) {
      c = kReplacementCharacter;
      at = start + MalformedLength(text, start);
    }
    if (sizeof(Unit) == 2 && c >= 0x10000) {
      units.push_back(static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<Unit>(c));
    }
  }
  return units;
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view text) { return Utf8FromUnits(text); }
std::u16string Utf16FromUtf8(std::string_view text) { return UnitsFromUtf8<char16_t>(text); }
std::string Utf8FromWide(std::wstring_view text) { return Utf8FromUnits(text); }
std::wstring WideFromUtf8(std::string_view text) { return UnitsFromUtf8<wchar_t>(text); }

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  return Utf8FromWide(path.native());
#else
  return path.native();
#endif
}

std::wstring PathWideText(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.native();
#else
  return WideFromUtf8(path.native());
#endif
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
  return std::filesystem::path(WideFromUtf8(utf8));
#else
  return std::filesystem::path(std::string(utf8));
#endif
}

bool PathIsWellFormed(const std::filesystem::path& path) {
  const auto& name = path.native();
#ifdef _WIN32
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char32_t c = static_cast<char16_t>(name[i]);
    const char32_t next = i + 1 < name.size() ? static_cast<char16_t>(name[i + 1]) : 0;
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      ++i;
    } else if (IsSurrogate(c)) {
      return false;
    }
  }
  return true;
#else
  char32_t ignored = 0;
  for (std::size_t at = 0; at < name.size();) {
    if (!NextCodePoint(name, at, ignored)) return false;
  }
  return true;
#endif
}

std::string PathHex(const std::filesystem::path& path) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  const auto put = [&hex](unsigned byte) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  };
  for (const auto unit : path.native()) {
#ifdef _WIN32
    const auto value = static_cast<unsigned>(static_cast<char16_t>(unit));
    put(value & 0xFF);
    put(value >> 8);
#else
    put(static_cast<unsigned char>(unit));
#endif
  }
  return hex;
}

}  // namespace pelmix
