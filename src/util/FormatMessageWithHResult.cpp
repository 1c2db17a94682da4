#include "util/FormatMessageWithHResult.h"

#include <cstdint>
#include <string>

namespace {

std::u16string ToDigits(std::uint64_t value, unsigned base, bool upper) {
  const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  std::u16string reversed;
  do {
    reversed.push_back(digits[value % base]);
    value /= base;
  } while (value != 0);
  return std::u16string(reversed.rbegin(), reversed.rend());
}

// Formats the single insert with the printf-style type of "%1!type!".
// Returns false for a type this formatter does not know.
bool FormatInsert(char16_t type, HRESULT hr, std::u16string& out) {
  const auto bits = static_cast<std::uint32_t>(hr);
  switch (type) {
    case u'x':
      out += ToDigits(bits, 16, false);
      return true;
    case u'X':
      out += ToDigits(bits, 16, true);
      return true;
    case u'u':
      out += ToDigits(bits, 10, false);
      return true;
    case u'd':
    case u'i': {
      const auto value = static_cast<std::int64_t>(hr);
      if (value < 0) out += u'-';
      out += ToDigits(value < 0 ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value), 10, false);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::u16string FormatMessageWithHResult(std::u16string_view text, HRESULT hr) {
  std::u16string out;
  out.reserve(text.size() + 8);
  std::size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (c != u'%' || i + 1 >= text.size()) {
      out += c;
      ++i;
      continue;
    }
    const char16_t next = text[i + 1];
    switch (next) {
      case u'%':
      case u' ':
      case u'.':
      case u'!':
        out += next;
        i += 2;
        continue;
      case u'n':
        out += u'\n';
        i += 2;
        continue;
      case u'r':
        out += u'\r';
        i += 2;
        continue;
      case u't':
        out += u'\t';
        i += 2;
        continue;
      case u'0':
        return out;
      default:
        break;
    }
    // "%1!t!" is the only insert there is an argument for; "%12!x!" names
    // insert 12 and fails the check on the third character.
    if (next == u'1' && i + 4 < text.size() && text[i + 2] == u'!' && text[i + 4] == u'!') {
      if (FormatInsert(text[i + 3], hr, out)) {
        i += 5;
        continue;
      }
    }
    out += c;
    ++i;
  }
  return out;
}
