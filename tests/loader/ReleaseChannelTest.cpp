#include "loader/ReleaseChannel.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Case {
  std::u16string_view list;
  std::uint32_t mask;
  friend void PrintTo(const Case&, std::ostream* os) { *os << "Case"; }
};

class ReleaseChannelListTest : public ::testing::TestWithParam<Case> {};

TEST_P(ReleaseChannelListTest, GivesTheAllowedChannels) { EXPECT_EQ(ParseReleaseChannelList(GetParam().list), GetParam().mask); }

INSTANTIATE_TEST_SUITE_P(
    Rules, ReleaseChannelListTest,
    ::testing::Values(Case{u"1,2", 0b00110}, Case{u"0,1,2,3,4", 0b11111}, Case{u"4", 0b10000},
                      // Numbers outside 0-4 and texts that are not numbers allow stable.
                      Case{u"7", 0b00001}, Case{u"x", 0b00001}, Case{u"-1", 0b00001}, Case{u"5,3", 0b01001},
                      // Empty items allow nothing.
                      Case{u",", 0}, Case{u",,", 0}, Case{u"", 0}, Case{u"2,", 0b00100}, Case{u",3", 0b01000},
                      // Items are read by the integer rule.
                      Case{u" 2, 3x", 0b01100}, Case{u" ", 0b00001}, Case{u"99999999999", 0b00001}));

TEST(ReleaseChannelTable, KeepsTheRegisteredNames) {
  ASSERT_EQ(kReleaseChannels.size(), 5u);
  EXPECT_EQ(kReleaseChannels[0].name, u"");
  EXPECT_EQ(kReleaseChannels[0].keyName, u"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}");
  EXPECT_EQ(kReleaseChannels[1].name, u"beta");
  EXPECT_EQ(kReleaseChannels[2].name, u"dev");
  EXPECT_EQ(kReleaseChannels[3].name, u"canary");
  EXPECT_EQ(kReleaseChannels[4].name, u"internal");
  EXPECT_EQ(kReleaseChannels[4].keyName, u"{BE59E8FD-089A-411B-A3B0-051D9E417818}");
  EXPECT_EQ(kReleaseChannels[2].packageFamilyName, u"Microsoft.WebView2Runtime.Dev_8wekyb3d8bbwe");
}

}  // namespace
