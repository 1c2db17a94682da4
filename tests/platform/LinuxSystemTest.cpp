#include "platform/linux/LinuxSystem.h"

#include <gtest/gtest.h>

#include <ostream>
#include <unistd.h>

#include <filesystem>

#include "loader/LoaderTestSupport.h"
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
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(u"").has_value());
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(std::u16string(u"VELLUM_TEST_TEXT\0X", 18)).has_value());
}

TEST_F(LinuxSystemTest, ExecutableAndWorkingDirectory) {
  std::u16string path;
  ASSERT_EQ(m_system.GetExecutablePath(&path), S_OK);
  EXPECT_EQ(path, Wide(fs::read_symlink("/proc/self/exe")));
  EXPECT_EQ(path.front(), u'/');
  ScopedWorkingDirectory cwd(m_dir.Path());
  ASSERT_EQ(m_system.GetCurrentDirectory(&path), S_OK);
  EXPECT_EQ(path, Wide(fs::canonical(m_dir.Path())));
  EXPECT_EQ(m_system.GetCurrentDirectory(nullptr), E_POINTER);
}

struct DataFolderCase {
  const char* label;
  const char* xdg;
  const char* home;
  std::u16string expected;
  friend void PrintTo(const DataFolderCase& c, std::ostream* os) { *os << c.label; }
};

class RoamingDataFolderTest : public ::testing::TestWithParam<DataFolderCase> {};

TEST_P(RoamingDataFolderTest, FollowsTheBaseDirectoryRules) {
  const DataFolderCase& c = GetParam();
  ScopedEnvironmentVariable xdg("XDG_DATA_HOME", c.xdg);
  ScopedEnvironmentVariable home("HOME", c.home);
  LinuxSystem system;
  std::u16string path;
  ASSERT_EQ(system.GetRoamingDataFolder(&path), S_OK) << c.label;
  EXPECT_EQ(path, c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, RoamingDataFolderTest,
                         ::testing::Values(DataFolderCase{"xdg", "/data/home", "/home/a", u"/data/home"},
                                           DataFolderCase{"default", nullptr, "/home/a", u"/home/a/.local/share"},
                                           DataFolderCase{"relative xdg", "rel", "/home/a", u"/home/a/.local/share"},
                                           DataFolderCase{"empty xdg", "", "/home/a", u"/home/a/.local/share"}));

TEST_F(LinuxSystemTest, FilesExistAndOpen) {
  const auto file = m_dir.WriteFile("lib.so", "x");
  EXPECT_TRUE(m_system.FileExists(Wide(file)));
  EXPECT_TRUE(m_system.FileExists(Wide(m_dir.Path())));
  EXPECT_FALSE(m_system.FileExists(Wide(m_dir.Path() / "none")));
  EXPECT_FALSE(m_system.FileExists(u""));
  EXPECT_FALSE(m_system.FileExists(Wide(file) + std::u16string(1, u'\0') + u"x"));
  // Relative paths are taken from the working directory.
  ScopedWorkingDirectory cwd(m_dir.Path());
  EXPECT_TRUE(m_system.FileExists(u"lib.so"));

  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(file)), S_OK);
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path())), HResultFromWin32(5));
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path() / "none")), HResultFromWin32(2));
}

TEST_F(LinuxSystemTest, RegistryReadsTheStoreFilesInBothViews) {
  const auto machine = m_dir.WriteFile("m.reg", "[HKEY_LOCAL_MACHINE\\Software\\A\\B]\n\"v\"=\"machine\"\n");
  const auto user = m_dir.WriteFile("u.reg", "[HKEY_CURRENT_USER\\Software\\A\\B]\n\"v\"=dword:00000007\n");
  ScopedEnvironmentVariable m("VELLUMVIEW_MACHINE_REGISTRY", machine.c_str());
  ScopedEnvironmentVariable u("VELLUMVIEW_USER_REGISTRY", user.c_str());
  for (const RegistryView view : {RegistryView::Default, RegistryView::Bits32}) {
    EXPECT_TRUE(m_system.RegistryKeyOpens(RegistryHive::LocalMachine, view, u"Software\\A"));
    EXPECT_FALSE(m_system.RegistryKeyOpens(RegistryHive::LocalMachine, view, u"Software\\C"));
    RegistryValue value;
    ASSERT_EQ(m_system.ReadRegistryValue(RegistryHive::LocalMachine, view, u"software\\a\\b", u"V", &value), S_OK);
    EXPECT_EQ(value.text, u"machine");
    ASSERT_EQ(m_system.ReadRegistryValue(RegistryHive::CurrentUser, view, u"Software\\A\\B", u"v", &value), S_OK);
    EXPECT_EQ(value.type, REG_DWORD);
    EXPECT_EQ(value.number, 7u);
  }
  // The store is read afresh on every call.
  m_dir.WriteFile("m.reg", "");
  EXPECT_FALSE(m_system.RegistryKeyOpens(RegistryHive::LocalMachine, RegistryView::Default, u"Software\\A"));
}

TEST_F(LinuxSystemTest, NoPackagesOnLinux) {
  EXPECT_FALSE(m_system.PackageFunctionsAvailable());
  std::vector<PackageEntry> entries;
  EXPECT_EQ(m_system.GetPackageGraph(&entries), HResultFromWin32(50));
  EXPECT_EQ(m_system.AddPackageDependency(u"Microsoft.WebView2Runtime.Stable_8wekyb3d8bbwe"), HResultFromWin32(50));
}

TEST_F(LinuxSystemTest, ApplicationIdIsRemembered) {
  EXPECT_FALSE(m_system.GetAppUserModelId().has_value());
  m_system.SetAppUserModelId(u"QuillBrowser.");
  EXPECT_EQ(m_system.GetAppUserModelId(), u"QuillBrowser.");
}

struct LoadCase {
  const char* label;
  std::string content;  // empty: a folder; "-": nothing there
  HRESULT expected;
  friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }
};

class LibraryLoadFailureTest : public LinuxSystemTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LibraryLoadFailureTest, FailsWithACodeNotACrash) {
  const LoadCase& c = GetParam();
  const fs::path path = m_dir.Path() / "lib.so";
  if (c.content.empty()) {
    fs::create_directory(path);
  } else if (c.content != "-") {
    m_dir.WriteFile("lib.so", c.content);
  }
  LibraryHandle library = reinterpret_cast<LibraryHandle>(1);
  EXPECT_EQ(m_system.LoadLibrary(Wide(path), &library), c.expected) << c.label;
  EXPECT_EQ(library, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibraryLoadFailureTest,
                         ::testing::Values(LoadCase{"missing", "-", HResultFromWin32(2)},
                                           LoadCase{"text", "not a library", HResultFromWin32(193)},
                                           LoadCase{"elf header only", std::string("\x7F" "ELF\x02\x01\x01", 7) +
                                                                           std::string(57, '\0'),
                                                    HResultFromWin32(193)},
                                           LoadCase{"folder", "", HResultFromWin32(5)}));

TEST_F(LinuxSystemTest, LoadsLibrariesAndFindsExports) {
  LibraryHandle library = nullptr;
  ASSERT_EQ(m_system.LoadLibrary(Utf8ToWide(VELLUM_TEST_RUNTIME), &library), S_OK);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, kCreateEnvironmentEntryName), S_OK);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, "DllCanUnloadNow"), HResultFromWin32(127));
  CreateEnvironmentEntry entry;
  ASSERT_EQ(m_system.GetCreateEnvironmentEntry(library, kCreateEnvironmentEntryName, &entry), S_OK);
  // The test runtime refuses a call without a handler.
  EXPECT_EQ(entry(1, 0, nullptr, nullptr, nullptr), E_INVALIDARG);
  CreateEnvironmentEntry none;
  EXPECT_EQ(m_system.GetCreateEnvironmentEntry(library, "NoSuchExport", &none), HResultFromWin32(127));
  EXPECT_FALSE(none);
  m_system.FreeLibrary(library);
  EXPECT_EQ(m_system.LoadLibrary(u"", &library), HResultFromWin32(123));
  std::u16string version;
  EXPECT_EQ(m_system.ReadLibraryVersion(Utf8ToWide(VELLUM_TEST_RUNTIME), &version), S_OK);
  EXPECT_EQ(version, u"131.0.1.0");
}

TEST_F(LinuxSystemTest, DebugLinesGoToTheDebugOutput) {
  ScopedDebugOutputCapture capture;
  m_system.WriteDebugLine("WebView2: skipped inaccessible /x\n");
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"WebView2: skipped inaccessible /x\n"}));
  // The event goes to the journal when there is one; writing it never fails.
  m_system.WriteCreationFailureEvent({HResultFromWin32(2), false, true});
}

}  // namespace
