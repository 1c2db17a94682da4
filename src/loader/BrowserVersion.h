#pragma once
// A runtime's version: four unsigned 32-bit components (major, minor, build,
// patch), compared component by component from the first.
#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

struct BrowserVersion {
  std::array<std::uint32_t, 4> components{};

  // The version rule. Up to four components are read, each by
  // WideStringToLong and stored as an unsigned 32-bit value (so "-1" gives
  // 4294967295). A number followed by '.' continues with the next component
  // after the dot; anything else ends the text and the remaining components
  // are 0. Only a first component without any digit makes the text invalid:
  // "100" reads as 100.0.0.0, "1.x" as 1.0.0.0, "1..2" as 1.0.2.0 (an empty
  // component is 0 and the dot after it still continues), and text after
  // the fourth component is ignored.
  static std::optional<BrowserVersion> Parse(std::u16string_view text);

  friend auto operator<=>(const BrowserVersion&, const BrowserVersion&) = default;
};

// The oldest runtime the loader accepts.
inline constexpr BrowserVersion kMinimumBrowserVersion{{86, 0, 616, 0}};
