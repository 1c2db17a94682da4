#include "util/Win32Error.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(Win32ErrorFromErrnoTest, MapsToTheWindowsCodeAndItsHResultAndNeverToSuccessOnFailure) {
  // The codes the program's file paths report. Unknown values are a general failure, and so is a failure
  // without an errno.
  const struct { int error; std::uint32_t win32; } cases[] = {{ENOENT, 2}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5},
      {EISDIR, 5}, {ENAMETOOLONG, 206}, {EMFILE, 4}, {ENOMEM, 8}, {ENOSPC, 112}, {EINVAL, 87}, {ELOOP, 1921},
      {EFBIG, 223}, {EOVERFLOW, 223}, {EDOM, 31}, {12345, 31}, {-1, 31}, {0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(Win32ErrorFromErrno(c.error), c.win32) << "errno " << c.error;
    EXPECT_EQ(static_cast<std::uint32_t>(HResultFromErrno(c.error)), 0x80070000u | (c.error ? c.win32 : 31));
  }
}
