// A small recursive-descent JSON reader, strict about UTF-8 and escapes.
#include "tests/support/json_line.h"

#include <cstdint>

#include "core/text_codec.h"

namespace pelmix::test {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') return ++at_, true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        // Raw text must be valid UTF-8.
        std::size_t next = at_;
        char32_t code = 0;
        if (!NextCodePoint(text_, next, code)) return false;
        out.append(text_.substr(at_, next - at_));
        at_ = next;
        continue;
      }
      if (++at_ >= text_.size()) return false;
      const char escape = text_[at_++];
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meaning = "\"\\/\b\f\n\r\t";
      if (const auto i = simple.find(escape); i != std::string_view::npos) {
        out.push_back(meaning[i]);
        continue;
      }
      if (escape != 'u') return false;
      char32_t unit = 0;
      if (!Hex4(unit)) return false;
      if (unit >= 0xD800 && unit <= 0xDBFF) {
        char32_t low = 0;
        if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        return false;
      }
      AppendUtf8(out, unit);
    }
    return false;
  }

  // Any other value, given as its text.
  bool Scalar(std::string& out) {
    for (std::string_view word : {"null", "true", "false"}) {
      if (text_.substr(at_, word.size()) == word) {
        at_ += word.size();
        out = word;
        return true;
      }
    }
    const std::size_t start = at_;
    Take('-');
    if (!Digits()) return false;
    if (Take('.') && !Digits()) return false;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    out = text_.substr(start, at_ - start);
    return true;
  }

 private:
  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool Hex4(char32_t& value) {
    if (text_.size() - at_ < 4) return false;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return false;
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> ParseJsonObject(std::string_view line) {
  Reader reader(line);
  std::map<std::string, std::string> members;
  if (!reader.Take('{')) return std::nullopt;
  if (!reader.Take('}')) {
    do {
      std::string key;
      std::string value;
      if (!reader.String(key) || !reader.Take(':')) return std::nullopt;
      if (!reader.String(value) && !reader.Scalar(value)) return std::nullopt;
      if (!members.emplace(std::move(key), std::move(value)).second) return std::nullopt;
    } while (reader.Take(','));
    if (!reader.Take('}')) return std::nullopt;
  }
  if (!reader.AtEnd()) return std::nullopt;
  return members;
}

}  // namespace pelmix::test
