// Starting a program and opening through the desktop. What the desktop's
// default handler receives for a web address or a folder is checked by the
// link policy GUI test (weblinks, openfolder); here a started program records
// its arguments, so the test sees exactly what the launched side received.
#include "platform/linux/system/ShellLauncher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "tests/util/TemporaryDirectory.h"

namespace {

TEST(ShellLauncherTest, AProgramGetsEachArgumentWholeWithoutAShell) {
  TemporaryDirectory dir;
  const std::string record = (dir.Path() / "record.txt").string();
  const auto script = dir.WriteFile("record.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" +
                                                     record + ".part\"\nmv \"" + record + ".part\" \"" + record + "\"\n");
  ::chmod(script.c_str(), 0755);
  ASSERT_EQ(ShellLauncher::Start(script.string(), {"/My Docs/a b.txt", "$(touch x); *"}), S_OK);
  // The program runs detached: wait until it has written its record.
  for (int i = 0; i < 200 && !std::filesystem::exists(record); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(TemporaryDirectory::ReadFile(record), "[/My Docs/a b.txt]\n[$(touch x); *]\n");
  EXPECT_FALSE(std::filesystem::exists("x"));
}

TEST(ShellLauncherTest, WhatCannotBeLaunchedFails) {
  EXPECT_TRUE(FAILED(ShellLauncher::Start("/nonexistent/missing-program", {})));
  EXPECT_TRUE(FAILED(ShellLauncher::OpenDefault("nohandler-scheme:x")));
  EXPECT_TRUE(FAILED(ShellLauncher::OpenDefault("")));
}

}  // namespace
