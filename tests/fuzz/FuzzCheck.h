#pragma once
// What every fuzz target shares: a failed property ends the run (libFuzzer
// reports the input), and the input read as UTF-16 code units, so that lone
// surrogates and NULs reach the code under test.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// The input cut at `separator` into `count` fields, the last one all that
// remains; fields the input does not reach are empty.
inline std::vector<std::string> Fields(std::string_view input, std::size_t count, char separator) {
  std::vector<std::string> fields;
  while (fields.size() + 1 < count) {
    const std::size_t end = input.find(separator);
    if (end == std::string_view::npos) break;
    fields.emplace_back(input.substr(0, end));
    input.remove_prefix(end + 1);
  }
  fields.emplace_back(input);
  fields.resize(count);
  return fields;
}

inline std::u16string UnitsOf(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  return text;
}
