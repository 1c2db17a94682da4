#pragma once
// GUIDs in their usual binary layout (a 32-bit, two 16-bit and eight 8-bit
// fields), with a compile-time parser for the brace form
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" so interface identifiers can be
// written as they are published.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::array<std::uint8_t, 8> Data4{};
  friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using REFIID = const IID&;

namespace guid_detail {
constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace guid_detail

// Parses the brace form; returns nothing for any other text.
constexpr std::optional<GUID> TryParseGuid(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  constexpr std::array<std::size_t, 4> dashes{9, 14, 19, 24};
  for (std::size_t d : dashes)
    if (text[d] != '-') return std::nullopt;
  std::array<std::uint8_t, 16> bytes{};
  std::size_t b = 0;
  for (std::size_t i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24) continue;
    const int hi = guid_detail::HexDigit(text[i]);
    const int lo = guid_detail::HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[b++] = static_cast<std::uint8_t>(hi * 16 + lo);
    ++i;
  }
  GUID g;
  g.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
  g.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  g.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (std::size_t i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
  return g;
}

// For identifiers written in the source: a malformed literal fails to compile.
consteval GUID MakeGuid(std::string_view text) {
  const auto g = TryParseGuid(text);
  if (!g) throw std::invalid_argument("malformed GUID literal");
  return *g;
}

// The brace form in upper case, the form in which identifiers are published
// and logged.
std::string GuidToString(const GUID& guid);
