// The loader against real files: runtimes copied into temporary folders,
// registered in temporary registry store files, found through the Linux
// system services and loaded with dlopen. (A successful creation through a
// real runtime and the main loop is what every GUI test of the program does.)
#include <gtest/gtest.h>

#include <filesystem>

#include "com/Callback.h"
#include "loader/RuntimeLoader.h"
#include "platform/linux/system/LinuxSystem.h"
#include "tests/loader/LoaderTestSupport.h"
#include "tests/util/ScopedDebugOutputCapture.h"
#include "tests/util/ScopedEnvironmentVariable.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/Strings.h"

namespace fs = std::filesystem;

namespace {

class LoaderEndToEndTest : public ::testing::Test {
 protected:
  LoaderEndToEndTest() {
    for (const char* name : {"WEBVIEW2_USE_EDGE_VIEW", "WEBVIEW2_RELEASE_CHANNELS", "WEBVIEW2_CHANNEL_SEARCH_KIND",
                             "WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", "WEBVIEW2_BROWSER_EXECUTABLE_FOLDER"})
      m_cleared.push_back(std::make_unique<ScopedEnvironmentVariable>(name, nullptr));
  }

  // Puts a copy of `library` (or, when null, a text file) where the runtime
  // folder <dir>/<name> keeps its client library; returns the folder.
  std::string InstallRuntime(const std::string& name, const char* library = VELLUM_TEST_RUNTIME) {
    const fs::path target = m_dir.Path() / name / WideToUtf8(kClientLibraryRelativePath);
    fs::create_directories(target.parent_path());
    if (library) fs::copy_file(library, target);
    else m_dir.WriteFile(target, "this is not a shared library\n");
    return (m_dir.Path() / name).string();
  }
  // Writes a registry store file holding one text value.
  void Store(const char* file, const std::string& key, const char* name, const std::string& value) {
    m_dir.WriteFile(file, "[" + key + "]\r\n\"" + name + "\"=\"" + value + "\"\n");
  }

  TemporaryDirectory m_dir;
  ScopedEnvironmentVariable m_machine{"VELLUMVIEW_MACHINE_REGISTRY", (m_dir.Path() / "machine.reg").c_str()};
  ScopedEnvironmentVariable m_user{"VELLUMVIEW_USER_REGISTRY", (m_dir.Path() / "user.reg").c_str()};
  std::vector<std::unique_ptr<ScopedEnvironmentVariable>> m_cleared;
  LinuxSystem m_system;
};

TEST_F(LoaderEndToEndTest, RuntimesAreFoundThroughTheStoresByChannelAndPolicy) {
  EXPECT_EQ(loader_test::QueryVersion(m_system), std::pair(HResultFromWin32(2), std::u16string(u"(null)")));
  Store("machine.reg", "HKEY_LOCAL_MACHINE\\" + WideToUtf8(loader_test::ChannelKey(0)), "EBWebView",
        InstallRuntime("stable/131.0.1.0"));
  Store("user.reg", "HKEY_CURRENT_USER\\" + WideToUtf8(loader_test::ChannelKey(1)), "ebwebview",
        InstallRuntime("beta/132.0.5.0"));
  EXPECT_EQ(loader_test::QueryVersion(m_system), std::pair(S_OK, std::u16string(u"131.0.1.0")));
  ScopedEnvironmentVariable leastStable("WEBVIEW2_CHANNEL_SEARCH_KIND", "1");
  EXPECT_EQ(loader_test::QueryVersion(m_system), std::pair(S_OK, std::u16string(u"132.0.5.0 beta")));
  // A fixed folder named by machine policy reports the library's own version.
  Store("machine.reg", "HKLM\\Software\\Policies\\Microsoft\\Edge\\WebView2\\BrowserExecutableFolder", "*",
        InstallRuntime("policy"));
  EXPECT_EQ(loader_test::QueryVersion(m_system), std::pair(S_OK, Utf8ToWide(VELLUM_TEST_RUNTIME_VERSION)));
}

// A library that cannot serve fails both attempts at once, each with the
// loader's reason (and, for one that does not load, the system's before it).
TEST_F(LoaderEndToEndTest, LibrariesThatCannotServeFailAtOnceAndSayWhy) {
  const struct { const char* name; const char* library; HRESULT returned; std::string why; } cases[] = {
      {"noentry", VELLUM_TEST_RUNTIME_NO_ENTRY, HResultFromWin32(127),
       "WebView2: CoreWebView2Environment failed when trying to call into EmbeddedBrowserWebView.dll. hr=0x8007007F\n"},
      {"text", nullptr, HResultFromWin32(193), "WebView2: CoreWebView2Environment failed when trying to LoadLibrary: hr=0x800700C1 path="},
  };
  for (const auto& c : cases) {
    const std::string folder = InstallRuntime(c.name, c.library);
    const std::string library = WideToUtf8(loader_test::LibraryPath(Utf8ToWide(folder)));
    std::vector<std::string> expected;
    for (int i = 0; i < 2; ++i) {
      if (!c.library) expected.push_back("vellumview: cannot load " + library + ": " + library + ": file too short\n");
      expected.push_back(c.library ? c.why : c.why + library + "\n");
    }
    const auto handler =
        Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>([](HRESULT, ICoreWebView2Environment*) { return S_OK; });
    ScopedDebugOutputCapture capture;
    EXPECT_EQ(CreateCoreWebView2EnvironmentWithSystem(m_system, Utf8ToWide(folder).c_str(), nullptr, nullptr,
                                                      handler.Get()), c.returned);
    EXPECT_EQ(capture.Lines(), expected);
  }
}

}  // namespace
