// The pattern becomes a list of literals and placeholders; a table of which suffixes of the
// name the rest of the pattern can match makes the split linear in the pattern times the
// name, whatever the input, so no pattern can make it backtrack for long.
#include "core/name_pattern.h"

#include <vector>

#include "core/ascii.h"

namespace pelmix {

std::optional<TagField> PlaceholderField(char c) {
  switch (c) {
    case 'n': return TagField::Track;
    case 't': return TagField::Title;
    case 'a': return TagField::Artist;
    case 'A': return TagField::Album;
    case 'y': return TagField::Year;
    default: return std::nullopt;
  }
}

namespace {

constexpr std::size_t kLongestName = 4096;

struct Token {
  std::string literal;  // when field is empty
  std::optional<TagField> field;
  bool digits = false;
};

// The tokens, or the problem with the pattern.
std::optional<std::string> Tokenize(std::string_view pattern, std::vector<Token>& tokens) {
  std::array<bool, kTagFieldCount> seen{};
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const char c = pattern[at];
    if (c != '%' || (at + 1 < pattern.size() && pattern[at + 1] == '%')) {
      if (c == '%') ++at;
      if (tokens.empty() || tokens.back().field) tokens.push_back({});
      tokens.back().literal.push_back(c);
      continue;
    }
    if (at + 1 == pattern.size()) return "a lone % at the end";
    const char letter = pattern[++at];
    const std::optional<TagField> field = PlaceholderField(letter);
    if (!field) {
      const bool printable = letter > ' ' && letter < 0x7F;
      return printable ? std::string("unknown placeholder %") + letter : std::string("unknown placeholder after %");
    }
    if (seen[FieldIndex(*field)]) return std::string("%") + letter + " given twice";
    seen[FieldIndex(*field)] = true;
    tokens.push_back({{}, field, *field == TagField::Track || *field == TagField::Year});
  }
  for (const Token& token : tokens) {
    if (token.field) return std::nullopt;
  }
  return "no placeholder (%n, %t, %a, %A or %y)";
}

}  // namespace

std::optional<std::string> NamePatternProblem(std::string_view pattern) {
  std::vector<Token> tokens;
  return Tokenize(pattern, tokens);
}

std::optional<NameValues> MatchNamePattern(std::string_view pattern, std::string_view name) {
  std::vector<Token> tokens;
  if (Tokenize(pattern, tokens) || name.size() > kLongestName) return std::nullopt;
  std::size_t shortest = 0;
  for (const Token& token : tokens) shortest += token.field ? 1 : token.literal.size();
  if (shortest > name.size()) return std::nullopt;

  const std::size_t n = name.size();
  const std::size_t width = n + 1;
  // digitsFrom[p]: how many ASCII digits start at p.
  std::vector<std::size_t> digitsFrom(width, 0);
  for (std::size_t p = n; p-- > 0;) digitsFrom[p] = IsAsciiDigit(name[p]) ? digitsFrom[p + 1] + 1 : 0;
  // fits[t * width + p]: tokens t.. match name[p..] exactly. nextFit[p]: the first q >= p
  // where the following row fits, or n + 1.
  std::vector<char> fits((tokens.size() + 1) * width, 0);
  fits[tokens.size() * width + n] = 1;
  std::vector<std::size_t> nextFit(width + 1);
  for (std::size_t t = tokens.size(); t-- > 0;) {
    const char* after = &fits[(t + 1) * width];
    nextFit[width] = width;
    for (std::size_t p = width; p-- > 0;) nextFit[p] = after[p] ? p : nextFit[p + 1];
    char* row = &fits[t * width];
    const Token& token = tokens[t];
    for (std::size_t p = 0; p < width; ++p) {
      if (!token.field) {
        const std::size_t end = p + token.literal.size();
        row[p] = end <= n && name.compare(p, token.literal.size(), token.literal) == 0 && after[end];
      } else if (token.digits) {
        row[p] = digitsFrom[p] > 0 && nextFit[p + 1] <= p + digitsFrom[p];
      } else {
        row[p] = p < n && nextFit[p + 1] < width;
      }
    }
  }
  if (!fits[0]) return std::nullopt;

  NameValues values;
  std::size_t p = 0;
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    const Token& token = tokens[t];
    const char* after = &fits[(t + 1) * width];
    if (!token.field) {
      p += token.literal.size();
      continue;
    }
    std::size_t end = p + 1;
    if (token.digits) {
      end = p + digitsFrom[p];
      while (!after[end]) --end;
    } else {
      while (!after[end]) ++end;
    }
    values[FieldIndex(*token.field)] = std::string(name.substr(p, end - p));
    p = end;
  }
  return values;
}

}  // namespace pelmix
