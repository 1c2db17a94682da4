#include "com/Guid.h"

#include <gtest/gtest.h>

namespace {

TEST(GuidTest, ParsesBraceFormIntoFields) {
  constexpr GUID g = MakeGuid("{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}");
  EXPECT_EQ(g.Data1, 0x4E8A3389u);
  EXPECT_EQ(g.Data2, 0xC9D8u);
  EXPECT_EQ(g.Data3, 0x4BD2u);
  EXPECT_EQ(g.Data4[0], 0xB6);
  EXPECT_EQ(g.Data4[7], 0x4D);
  EXPECT_EQ(GuidToString(g), "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}");
}

TEST(GuidTest, LowerCaseEqualsUpperCase) {
  EXPECT_EQ(TryParseGuid("{4e8a3389-c9d8-4bd2-b6b5-124fee6cc14d}"),
            TryParseGuid("{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}"));
}

TEST(GuidTest, RejectsMalformedText) {
  for (const char* text : {"", "{}", "4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D", "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14}",
                           "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14DX}", "{4E8A3389+C9D8-4BD2-B6B5-124FEE6CC14D}",
                           "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC1G4}"}) {
    EXPECT_FALSE(TryParseGuid(text).has_value()) << text;
  }
}

}  // namespace
