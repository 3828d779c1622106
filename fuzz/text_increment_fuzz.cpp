// IncrementText against a model that checks the result by counting back down: the digits
// of the result, read as one decimal number and decreased by one, give the digits of the
// input, and every other character stays where it stood.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text_increment.h"
#include "fuzz/require.h"

namespace {

using pelmix::fuzz::Require;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string DigitsOf(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (IsDigit(c)) digits.push_back(c);
  }
  return digits;
}

// One less, with a borrow from the right; false for a number that is zero.
bool Decrement(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '0') {
      --digits[i];
      return true;
    }
    digits[i] = '9';
  }
  return false;
}

void Check(const std::string& text) {
  const std::string result = pelmix::IncrementText(text);
  Require(result.size() == text.size() || result.size() == text.size() + 1, "length grows by at most one");

  const std::string before = DigitsOf(text);
  std::string after = DigitsOf(result);
  if (before.empty()) {
    Require(result == text + "1", "a text without digits gets 1 appended");
    return;
  }

  // Where the result is longer, a 1 went in before the first digit; taken out again, the
  // result must line up with the text character by character.
  std::string aligned = result;
  if (result.size() > text.size()) {
    const std::size_t first = text.find_first_of("0123456789");
    Require(result[first] == '1', "a carry out of the counter puts a 1 before its first digit");
    aligned.erase(first, 1);
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    Require(IsDigit(text[i]) == IsDigit(aligned[i]), "digits stay digits, other characters stay in place");
    if (!IsDigit(text[i])) Require(text[i] == aligned[i], "a character that is not a digit is kept");
  }

  Require(Decrement(after), "the counter never counts up to zero");
  if (after.size() > before.size()) {
    Require(after.size() == before.size() + 1 && after[0] == '0', "only a carry lengthens the counter");
    after.erase(0, 1);
  }
  Require(after == before, "the counter goes up by exactly one");

  // The same once more with machine arithmetic where the numbers fit.
  if (before.size() <= 18) {
    const std::string counted = DigitsOf(result);
    Require(std::stoull(counted) == std::stoull(before) + 1, "the counter goes up by one");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
