#include "loader/ReleaseChannel.h"

#include "loader/WideStringToLong.h"

std::uint32_t ParseReleaseChannelList(std::u16string_view list) {
  std::uint32_t mask = 0;
  // Every item is converted on its own; the order in which items are taken
  // cannot change the resulting set of bits.
  while (true) {
    const std::size_t comma = list.find(u',');
    const std::u16string_view item = list.substr(0, comma);
    if (!item.empty()) {
      const std::int32_t channel = WideStringToLong(item);
      mask |= (channel >= 0 && channel < static_cast<std::int32_t>(kReleaseChannels.size())) ? (1u << channel) : 1u;
    }
    if (comma == std::u16string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return mask;
}
