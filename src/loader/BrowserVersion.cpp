#include "loader/BrowserVersion.h"

#include "loader/WideStringToLong.h"

std::optional<BrowserVersion> BrowserVersion::Parse(std::u16string_view text) {
  BrowserVersion version;
  std::size_t at = 0;
  for (std::size_t i = 0; i < version.components.size(); ++i) {
    std::size_t consumed = 0;
    const std::int32_t value = WideStringToLong(text.substr(at), &consumed);
    if (i == 0 && consumed == 0) return std::nullopt;
    version.components[i] = static_cast<std::uint32_t>(value);
    at += consumed;
    if (at >= text.size() || text[at] != u'.') break;
    ++at;
  }
  return version;
}
