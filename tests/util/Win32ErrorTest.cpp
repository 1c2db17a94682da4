#include "util/Win32Error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

struct ErrnoCase {
  int error;
  DWORD win32;
};

class Win32ErrorFromErrnoTest : public testing::TestWithParam<ErrnoCase> {};

TEST_P(Win32ErrorFromErrnoTest, MapsToTheWindowsCodeAndItsHResult) {
  const auto& c = GetParam();
  EXPECT_EQ(Win32ErrorFromErrno(c.error), c.win32);
  EXPECT_EQ(static_cast<std::uint32_t>(HResultFromErrno(c.error)), 0x80070000u | c.win32);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32ErrorFromErrnoTest,
    testing::Values(ErrnoCase{ENOENT, 2}, ErrnoCase{ENOTDIR, 3}, ErrnoCase{EACCES, 5}, ErrnoCase{EPERM, 5},
                    ErrnoCase{EISDIR, 5}, ErrnoCase{ENAMETOOLONG, 206}, ErrnoCase{EMFILE, 4}, ErrnoCase{ENFILE, 4},
                    ErrnoCase{ENOMEM, 8}, ErrnoCase{EBUSY, 170}, ErrnoCase{ETXTBSY, 32}, ErrnoCase{EEXIST, 80},
                    ErrnoCase{ENOSPC, 112}, ErrnoCase{EDQUOT, 112}, ErrnoCase{EINVAL, 87}, ErrnoCase{EIO, 1117},
                    ErrnoCase{ELOOP, 1921}, ErrnoCase{EROFS, 19}, ErrnoCase{EBADF, 6}, ErrnoCase{EFBIG, 223},
                    ErrnoCase{EOVERFLOW, 223}, ErrnoCase{ENOTEMPTY, 145}, ErrnoCase{EXDEV, 17},
                    ErrnoCase{EPIPE, 109}, ErrnoCase{ENOEXEC, 193}, ErrnoCase{ENODEV, 15}, ErrnoCase{ESPIPE, 132},
                    ErrnoCase{EMLINK, 1142}, ErrnoCase{ENOSYS, 50}, ErrnoCase{ETIMEDOUT, 1460},
                    ErrnoCase{ECANCELED, 1223},
                    // Values the table does not know become a general failure.
                    ErrnoCase{EDOM, 31}, ErrnoCase{ERANGE, 31}, ErrnoCase{12345, 31}, ErrnoCase{-1, 31}));

TEST(HResultFromErrnoTest, NeverReportsSuccessForAFailureWithoutErrno) {
  EXPECT_EQ(Win32ErrorFromErrno(0), ERROR_SUCCESS);
  EXPECT_TRUE(FAILED(HResultFromErrno(0)));
  EXPECT_EQ(static_cast<std::uint32_t>(HResultFromErrno(0)), 0x8007001Fu);
}

TEST(HResultFromErrnoTest, MissingFileIsTheFamiliarCode) {
  EXPECT_EQ(static_cast<std::uint32_t>(HResultFromErrno(ENOENT)), 0x80070002u);
}

}  // namespace
