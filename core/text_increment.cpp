// The carry walks left over non-digits to the next digit, so "1x9" becomes "2x0".
#include "core/text_increment.h"

#include "core/ascii.h"

namespace pelmix {

std::string IncrementText(std::string text) {
  std::size_t leftmostNine = std::string::npos;
  for (std::size_t i = text.size(); i-- > 0;) {
    // Only the ten ASCII digits count; code-page characters that look like digits do not.
    if (!IsAsciiDigit(text[i])) continue;
    if (text[i] != '9') {
      ++text[i];
      return text;
    }
    text[i] = '0';
    leftmostNine = i;
  }
  // Every digit was a nine (a new leading 1 goes before the first), or there was none.
  if (leftmostNine == std::string::npos) {
    text.push_back('1');
  } else {
    text.insert(leftmostNine, 1, '1');
  }
  return text;
}

}  // namespace pelmix
