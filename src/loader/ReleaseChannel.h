#pragma once
// The release channels a runtime can come from, from the most stable (0) to
// the least stable (4). The key names and package family names are the
// names under which installations are registered, so they stay as they are.
#include <array>
#include <cstdint>
#include <string_view>

struct ReleaseChannel {
  // The name reported after the version text; empty for the stable channel.
  std::u16string_view name;
  // The ClientState key of the channel's registration.
  std::u16string_view keyName;
  std::u16string_view packageFamilyName;
};

inline constexpr std::array<ReleaseChannel, 5> kReleaseChannels{{
    {u"", u"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}", u"Microsoft.WebView2Runtime.Stable_8wekyb3d8bbwe"},
    {u"beta", u"{2CD8A007-E189-409D-A2C8-9AF4EF3C72AA}", u"Microsoft.WebView2Runtime.Beta_8wekyb3d8bbwe"},
    {u"dev", u"{0D50BFEC-CD6A-4F9A-964C-C7416E3ACB10}", u"Microsoft.WebView2Runtime.Dev_8wekyb3d8bbwe"},
    {u"canary", u"{65C35B14-6C1D-4122-AC46-7148CC9D6497}", u"Microsoft.WebView2Runtime.Canary_8wekyb3d8bbwe"},
    {u"internal", u"{BE59E8FD-089A-411B-A3B0-051D9E417818}", u"Microsoft.WebView2Runtime.Internal_8wekyb3d8bbwe"},
}};

// The release-channel list rule: a text of comma-separated channel numbers,
// each read by WideStringToLong. A number n from 0 to 4 allows channel n;
// any other number, and an item that is not a number (which reads as 0),
// allows channel 0. Empty items allow nothing, so "," allows no channel.
// Returns the bit mask of allowed channels.
std::uint32_t ParseReleaseChannelList(std::u16string_view list);
