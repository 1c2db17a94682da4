// Launches through the desktop: GIO is pointed at a recording handler by a
// temporary XDG data folder and mimeapps.list, and a started program records
// its arguments, so each test sees exactly what the launched side received.
#include "platform/linux/ShellLauncher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "util/TemporaryDirectory.h"

namespace {

// GIO reads the XDG folders once per process and keeps what it found, so the
// whole suite shares one set of folders; each test starts with no record.
class ShellLauncherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TemporaryDirectory;
    const auto& root = s_dir->Path();
    for (const char* name : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) ::setenv(name, (root / "none").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    std::filesystem::create_directories(root / "data/applications");
    std::filesystem::create_directories(root / "config");
    const std::string record = Record().string();
    s_script = new std::filesystem::path(s_dir->WriteFile(
        "record.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> \"" + record + ".part\"\nmv \"" +
                         record + ".part\" \"" + record + "\"\n"));
    ::chmod(s_script->c_str(), 0755);
    s_dir->WriteFile("data/applications/vellum-recorder.desktop",
                     "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + s_script->string() +
                         " %u\nMimeType=x-scheme-handler/https;x-scheme-handler/http;inode/directory;\n");
    s_dir->WriteFile("config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/https=vellum-recorder.desktop\n"
                     "x-scheme-handler/http=vellum-recorder.desktop\ninode/directory=vellum-recorder.desktop\n");
  }
  static void TearDownTestSuite() {
    delete s_script;
    delete s_dir;
  }
  void SetUp() override { std::filesystem::remove(Record()); }

  static std::filesystem::path Record() { return s_dir->Path() / "record.txt"; }

  // What the launched side recorded; waits for the detached process to write.
  static std::string Recorded() {
    for (int i = 0; i < 200 && !std::filesystem::exists(Record()); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream file(Record());
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  static inline TemporaryDirectory* s_dir = nullptr;
  static inline std::filesystem::path* s_script = nullptr;
  TemporaryDirectory m_dir;
  const std::filesystem::path& m_script = *s_script;
};

TEST_F(ShellLauncherTest, AWebAddressReachesTheDefaultHandlerExactly) {
  ASSERT_EQ(ShellLauncher::OpenDefault("https://example.com/a b?x=1&y=2#top"), S_OK);
  EXPECT_EQ(Recorded(), "[https://example.com/a b?x=1&y=2#top]\n");
}

TEST_F(ShellLauncherTest, AFolderOpensWithItsHandlerAsAFileAddress) {
  std::filesystem::create_directory(m_dir.Path() / "My Folder");
  ASSERT_EQ(ShellLauncher::OpenDefault((m_dir.Path() / "My Folder").string()), S_OK);
  // GIO hands a local file to the handler as its path.
  EXPECT_EQ(Recorded(), "[" + m_dir.Path().string() + "/My Folder]\n");
}

TEST_F(ShellLauncherTest, AProgramGetsEachArgumentWholeWithoutAShell) {
  ASSERT_EQ(ShellLauncher::Start(m_script.string(), {"/My Docs/a b.txt", "$(touch x); *"}), S_OK);
  EXPECT_EQ(Recorded(), "[/My Docs/a b.txt]\n[$(touch x); *]\n");
  EXPECT_FALSE(std::filesystem::exists("x"));
}

TEST_F(ShellLauncherTest, WhatCannotBeLaunchedFails) {
  EXPECT_TRUE(FAILED(ShellLauncher::Start((m_dir.Path() / "missing-program").string(), {})));
  EXPECT_TRUE(FAILED(ShellLauncher::OpenDefault("nohandler-scheme:x")));
  EXPECT_TRUE(FAILED(ShellLauncher::OpenDefault("")));
}

}  // namespace
