#include "com/Guid.h"

#include <gtest/gtest.h>

TEST(GuidTest, ParsesTheBraceFormInAnyCaseAndPrintsItInUpperCase) {
  constexpr GUID g = MakeGuid("{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}");
  EXPECT_EQ(g, (GUID{0x4E8A3389u, 0xC9D8, 0x4BD2, {0xB6, 0xB5, 0x12, 0x4F, 0xEE, 0x6C, 0xC1, 0x4D}}));
  EXPECT_EQ(TryParseGuid("{4e8a3389-c9d8-4bd2-b6b5-124fee6cc14d}"), g);
  EXPECT_EQ(GuidToString(g), "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}");
}

// The wrong length, a missing brace, a dash elsewhere, a character that is no hex digit.
TEST(GuidTest, RejectsMalformedText) {
  for (const char* text : {"{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14}", "(4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}",
                           "{4E8A3389+C9D8-4BD2-B6B5-124FEE6CC14D}", "{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC1G4}"}) {
    EXPECT_FALSE(TryParseGuid(text).has_value()) << text;
  }
}
