// Feeds arbitrary UTF-16 text to the release-channel list rule and checks it
// against the rule as it is written: items taken from the right at each
// comma, the part before the first comma last, empty items skipped, each
// converted number 0-4 allowing that channel and any other allowing channel 0.
#include <string>

#include "loader/ReleaseChannel.h"
#include "loader/WideStringToLong.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::uint32_t Bit(std::u16string_view item) {
  const std::int32_t n = WideStringToLong(item);
  return n >= 0 && n <= 4 ? 1u << n : 1u;
}

std::uint32_t FromTheRight(std::u16string text) {
  std::uint32_t mask = 0;
  for (std::size_t comma = text.rfind(u','); comma != std::u16string::npos; comma = text.rfind(u',')) {
    const std::u16string item = text.substr(comma + 1);
    if (!item.empty()) mask |= Bit(item);
    text.resize(comma);
  }
  if (!text.empty()) mask |= Bit(text);
  return mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = UnitsOf(data, size);
  const std::uint32_t mask = ParseReleaseChannelList(text);
  Check((mask & ~0x1Fu) == 0);
  Check(mask == FromTheRight(text));
  return 0;
}
