#pragma once
// What every fuzz target shares: a failed property ends the run (libFuzzer
// reports the input), and the input read as UTF-16 code units, so that lone
// surrogates and NULs reach the code under test.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

inline void Check(bool condition) {
  if (!condition) std::abort();
}

inline std::u16string UnitsOf(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  return text;
}
