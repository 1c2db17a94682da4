#include "ByteRange.h"

#include <gtest/gtest.h>

namespace {

struct RangeCase {
  const char* header;
  std::uint64_t size;
  ByteRange::Outcome outcome;
  std::uint64_t first;
  std::uint64_t last;
};

class ByteRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ByteRangeTest, Parses) {
  ByteRange range{99, 99};
  const auto outcome = ByteRange::Parse(GetParam().header, GetParam().size, &range);
  EXPECT_EQ(outcome, GetParam().outcome);
  if (outcome == ByteRange::Outcome::kPartial) {
    EXPECT_EQ(range.first, GetParam().first);
    EXPECT_EQ(range.last, GetParam().last);
    EXPECT_EQ(range.Length(), GetParam().last - GetParam().first + 1);
  }
}

using O = ByteRange::Outcome;
INSTANTIATE_TEST_SUITE_P(Cases, ByteRangeTest,
                         ::testing::Values(RangeCase{"bytes=0-", 4096, O::kPartial, 0, 4095},
                                           RangeCase{"bytes=0-1445", 4096, O::kPartial, 0, 1445},
                                           RangeCase{"bytes=0-1445", 10, O::kPartial, 0, 9},
                                           RangeCase{"bytes=100-199", 4096, O::kPartial, 100, 199},
                                           RangeCase{"bytes=-100", 4096, O::kPartial, 3996, 4095},
                                           RangeCase{"bytes=-9999", 4096, O::kPartial, 0, 4095},
                                           RangeCase{" bytes = 5 - 6 ", 10, O::kWhole, 0, 0},
                                           RangeCase{"bytes=5 - 6", 10, O::kPartial, 5, 6},
                                           RangeCase{"bytes=4096-", 4096, O::kUnsatisfiable, 0, 0},
                                           RangeCase{"bytes=0-", 0, O::kUnsatisfiable, 0, 0},
                                           RangeCase{"bytes=-0", 10, O::kUnsatisfiable, 0, 0},
                                           RangeCase{"bytes=0-1,5-6", 10, O::kWhole, 0, 0},
                                           RangeCase{"items=0-1", 10, O::kWhole, 0, 0},
                                           RangeCase{"bytes=6-5", 10, O::kWhole, 0, 0},
                                           RangeCase{"bytes=a-b", 10, O::kWhole, 0, 0},
                                           RangeCase{"bytes=", 10, O::kWhole, 0, 0},
                                           RangeCase{"", 10, O::kWhole, 0, 0}));

}  // namespace
