#include "platform/linux/LinuxSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "util/ScopedDebugOutputCapture.h"
#include "util/ScopedEnvironmentVariable.h"
#include "util/ScopedWorkingDirectory.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"
#include "webview/EngineContract.h"

namespace fs = std::filesystem;

namespace {

std::u16string Wide(const fs::path& path) { return Utf8ToWide(path.string()); }

class LinuxSystemTest : public ::testing::Test {
 protected:
  TemporaryDirectory m_dir;
  LinuxSystem m_system;
};

TEST_F(LinuxSystemTest, EnvironmentTellsAbsentFromEmpty) {
  ScopedEnvironmentVariable absent("VELLUM_TEST_ABSENT", nullptr);
  ScopedEnvironmentVariable empty("VELLUM_TEST_EMPTY", "");
  ScopedEnvironmentVariable text("VELLUM_TEST_TEXT", "\xC3\xA9t\xC3\xA9");
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(u"VELLUM_TEST_ABSENT").has_value());
  EXPECT_EQ(m_system.ReadEnvironmentVariable(u"VELLUM_TEST_EMPTY"), u"");
  EXPECT_EQ(m_system.ReadEnvironmentVariable(u"VELLUM_TEST_TEXT"), u"\u00E9t\u00E9");
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(std::u16string(u"VELLUM_TEST_TEXT\0X", 18)).has_value());
}

TEST_F(LinuxSystemTest, FoldersAndFiles) {
  std::u16string path;
  ASSERT_EQ(m_system.GetExecutablePath(&path), S_OK);
  EXPECT_EQ(path, Wide(fs::read_symlink("/proc/self/exe")));
  ScopedWorkingDirectory cwd(m_dir.Path());
  ASSERT_EQ(m_system.GetCurrentDirectory(&path), S_OK);
  EXPECT_EQ(path, Wide(fs::canonical(m_dir.Path())));
  // Relative paths are taken from the working directory; a path with a NUL inside names nothing.
  const auto file = m_dir.WriteFile("lib.so", "x");
  EXPECT_TRUE(m_system.FileExists(u"lib.so"));
  EXPECT_FALSE(m_system.FileExists(Wide(m_dir.Path() / "none")));
  EXPECT_FALSE(m_system.FileExists(Wide(file) + std::u16string(1, u'\0') + u"x"));
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(file)), S_OK);
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path())), HResultFromWin32(5));
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path() / "none")), HResultFromWin32(2));
  const std::tuple<const char*, std::u16string> cases[] = {
      {"/data/home", u"/data/home"}, {nullptr, u"/home/a/.local/share"}, {"rel", u"/home/a/.local/share"},
      {"", u"/home/a/.local/share"}};
  ScopedEnvironmentVariable home("HOME", "/home/a");
  for (const auto& [xdg, expected] : cases) {
    ScopedEnvironmentVariable data("XDG_DATA_HOME", xdg);
    ASSERT_EQ(LinuxSystem().GetRoamingDataFolder(&path), S_OK);
    EXPECT_EQ(path, expected) << (xdg ? xdg : "unset");
  }
}

// (The registry store files are read afresh in both views as the end-to-end tests show.)
TEST_F(LinuxSystemTest, LoadsLibrariesAndFindsExports) {
  LibraryHandle library = nullptr;
  ASSERT_EQ(m_system.LoadLibrary(Utf8ToWide(VELLUM_TEST_RUNTIME), &library), S_OK);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, kCreateEnvironmentEntryName), S_OK);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, "DllCanUnloadNow"), HResultFromWin32(127));
  m_system.FreeLibrary(library);
  // Failures give a code, not a crash.
  fs::create_directory(m_dir.Path() / "folder.so");
  const std::pair<fs::path, HRESULT> failures[] = {
      {m_dir.Path() / "missing.so", HResultFromWin32(2)}, {m_dir.Path() / "folder.so", HResultFromWin32(5)}, {"", HResultFromWin32(123)},
      {m_dir.WriteFile("text.so", "not a library"), HResultFromWin32(193)},
      {m_dir.WriteFile("header.so", std::string("\x7F" "ELF\x02\x01\x01", 7) + std::string(57, '\0')), HResultFromWin32(193)}};
  for (const auto& [path, hr] : failures) {
    library = reinterpret_cast<LibraryHandle>(1);
    EXPECT_EQ(m_system.LoadLibrary(Wide(path), &library), hr) << path;
    EXPECT_EQ(library, nullptr);
  }
}

TEST_F(LinuxSystemTest, ALibraryWhoseDependencyIsMissingSaysSoAndWhy) {
  const auto library = m_dir.Path() / "needs.so";
  fs::copy_file(VELLUM_TEST_NEEDS_MISSING_DEPENDENCY, library);
  ScopedDebugOutputCapture debug;
  LibraryHandle handle = nullptr;
  EXPECT_EQ(m_system.LoadLibrary(Wide(library), &handle), HResultFromWin32(126));
  EXPECT_EQ(handle, nullptr);
  ASSERT_EQ(debug.Lines().size(), 1u);
  EXPECT_NE(debug.Lines()[0].find("libvellum_test_vanishing_dependency.so"), std::string::npos) << debug.Lines()[0];
}

TEST_F(LinuxSystemTest, StartsProgramsDirectlyAndReportsWhyOneCannotStart) {
  ScopedWorkingDirectory cwd(m_dir.Path());
  // The program writes its arguments, one a line, so that the list arrives
  // as given: a shell would split "a b" and expand "$HOME".
  const auto script = m_dir.WriteFile("args.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > args.txt\n");
  fs::permissions(script, fs::perms::owner_all);
  ProcessHandle process = 0;
  ASSERT_EQ(m_system.StartProcess(u"args.sh", {u"/silent", u"a b", u"$HOME"}, &process), S_OK);
  EXPECT_EQ(m_system.WaitForProcess(process), S_OK);
  std::ifstream in(m_dir.Path() / "args.txt");
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "/silent\na b\n$HOME\n");
  // A process already waited for cannot be waited for again.
  EXPECT_TRUE(FAILED(m_system.WaitForProcess(process)));

  const auto notExecutable = m_dir.WriteFile("plain.sh", "#!/bin/sh\n");
  fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
  const auto notAProgram = m_dir.WriteFile("data.bin", std::string("\x01\x02garbage", 9));
  fs::permissions(notAProgram, fs::perms::owner_all);
  const std::pair<std::u16string, HRESULT> failures[] = {
      {u"plain.sh", static_cast<HRESULT>(0x80070005)},
      {u"missing/installer", static_cast<HRESULT>(0x80070002)},
      {u"data.bin", static_cast<HRESULT>(0x800700C1)}};
  for (const auto& [path, hr] : failures) {
    process = 1;
    EXPECT_EQ(m_system.StartProcess(path, {}, &process), hr) << WideToUtf8(path);
    EXPECT_EQ(process, 0);
  }
}

}  // namespace
