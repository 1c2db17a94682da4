#include "runtime/loopback/ByteRange.h"

#include <charconv>

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseNumber(std::string_view text, std::uint64_t* value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

ByteRange::Outcome ByteRange::Parse(std::string_view header, std::uint64_t size, ByteRange* range) {
  header = Trim(header);
  constexpr std::string_view kUnit = "bytes=";
  if (!header.starts_with(kUnit)) return Outcome::kWhole;
  const std::string_view ranges = Trim(header.substr(kUnit.size()));
  if (ranges.find(',') != std::string_view::npos) return Outcome::kWhole;
  const std::size_t dash = ranges.find('-');
  if (dash == std::string_view::npos) return Outcome::kWhole;
  const std::string_view from = Trim(ranges.substr(0, dash));
  const std::string_view to = Trim(ranges.substr(dash + 1));

  std::uint64_t first = 0, last = 0;
  if (from.empty()) {
    // A suffix: the last n bytes.
    std::uint64_t count = 0;
    if (!ParseNumber(to, &count)) return Outcome::kWhole;
    if (count == 0 || size == 0) return Outcome::kUnsatisfiable;
    first = count >= size ? 0 : size - count;
    last = size - 1;
  } else {
    if (!ParseNumber(from, &first)) return Outcome::kWhole;
    if (to.empty()) {
      last = size == 0 ? 0 : size - 1;
    } else {
      if (!ParseNumber(to, &last) || last < first) return Outcome::kWhole;
      if (size > 0 && last >= size) last = size - 1;
    }
    if (first >= size) return Outcome::kUnsatisfiable;
  }
  range->first = first;
  range->last = last;
  return Outcome::kPartial;
}
