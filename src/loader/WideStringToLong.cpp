#include "loader/WideStringToLong.h"

#include <limits>

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

std::int32_t WideStringToLong(std::u16string_view text, std::size_t* consumed) {
  if (consumed) *consumed = 0;
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
  }
  const std::size_t digitsStart = at;
  // The magnitude is kept one past the positive limit so that the negative
  // limit is representable; beyond that only saturation matters.
  constexpr std::int64_t kPositiveLimit = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kNegativeLimit = kPositiveLimit + 1;
  std::int64_t magnitude = 0;
  bool overflow = false;
  while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
    if (!overflow) {
      magnitude = magnitude * 10 + (text[at] - u'0');
      if (magnitude > kNegativeLimit) overflow = true;
    }
    ++at;
  }
  if (at == digitsStart) return 0;
  if (consumed) *consumed = at;
  if (negative) {
    if (overflow || magnitude >= kNegativeLimit) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(-magnitude);
  }
  if (overflow || magnitude > kPositiveLimit) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(magnitude);
}
