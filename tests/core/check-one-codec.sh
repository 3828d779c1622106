#!/usr/bin/env bash
# Fails when a source file outside core's text codec converts between encodings itself.
# Usage: check-one-codec.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: check-one-codec.sh SOURCE_DIR}"

# The system's conversions, the library's, paths asked for their text in another encoding,
# and the marks of hand-written UTF-16/UTF-8 work and of code-page tables.
pattern='MultiByteToWideChar|WideCharToMultiByte|CP_(ACP|OEMCP|UTF8)|codecvt|wstring_convert'
pattern+='|mbstowcs|wcstombs|mbrtowc|wcrtomb|mbrtoc(8|16|32)|c(8|16|32)rtomb|iconv'
pattern+='|u8string|u16string|u32string|char16_t|(\.|->)(w|u8|u16|u32|generic_)?string\(\)'
# Narrow text widened one byte at a time.
pattern+='|wstring\([a-zA-Z_.>-]+\.begin\(\), *[a-zA-Z_.>-]+\.end\(\)\)'
pattern+='|IS_(HIGH|LOW)_SURROGATE|0x(D800|DBFF|DC00|DFFF|FFFD|10000|10FFFF|20AC)\b|0x3F\b'

found=$(grep -rnE "$pattern" --include='*.cpp' --include='*.h' core session cli ui fuzz bench |
        grep -vE '^core/(text_codec\.(h|cpp)|system_code_page\.cpp):' || true)
if [[ -n $found ]]; then
  echo "Text converted outside core/text_codec (call the codec instead):" >&2
  echo "$found" >&2
  exit 1
fi
