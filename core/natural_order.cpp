// Comparing names with runs of digits taken as numbers, folder by folder.
#include "core/natural_order.h"

#include <string>

#include "core/ascii.h"
#include "core/text_codec.h"

namespace pelmix {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// A digit run's value as a string without leading zeros: longer means larger, and runs of
// any length compare without overflow.
std::string_view Significant(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

std::string_view DigitRun(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsAsciiDigit(text[at])) ++at;
  return text.substr(start, at - start);
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsAsciiDigit(a[i]) && IsAsciiDigit(b[j])) {
      const std::string_view x = Significant(DigitRun(a, i));
      const std::string_view y = Significant(DigitRun(b, j));
      if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
      if (const int order = x.compare(y); order != 0) return Sign(order);
      continue;
    }
    const unsigned char x = AsciiLower(static_cast<unsigned char>(a[i++]));
    const unsigned char y = AsciiLower(static_cast<unsigned char>(b[j++]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return Sign(a.compare(b));
}

bool NaturalPathLess(const std::filesystem::path& a, const std::filesystem::path& b) {
  auto x = a.begin();
  auto y = b.begin();
  for (; x != a.end() && y != b.end(); ++x, ++y) {
    const int order = NaturalCompare(PathText(*x), PathText(*y));
    if (order != 0) return order < 0;
  }
  return x == a.end() && y != b.end();
}

bool NaturalNameLess(const std::filesystem::path::string_type& a, const std::filesystem::path::string_type& b) {
#ifdef _WIN32
  return NaturalPathLess(a, b);
#else
  // Component by component, as NaturalPathLess: "/" separates, repeated ones count once.
  std::string_view x(a);
  std::string_view y(b);
  const auto next = [](std::string_view& rest) {
    while (rest.size() > 1 && rest.front() == '/' && rest[1] == '/') rest.remove_prefix(1);
    const std::size_t end = rest.front() == '/' ? 1 : std::min(rest.find('/'), rest.size());
    const std::string_view part = rest.substr(0, end);
    rest.remove_prefix(end);
    if (part != "/") {
      while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    }
    return part;
  };
  while (!x.empty() && !y.empty()) {
    const int order = NaturalCompare(next(x), next(y));
    if (order != 0) return order < 0;
  }
  return x.empty() && !y.empty();
#endif
}

}  // namespace pelmix
