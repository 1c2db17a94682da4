// The loader against real files: runtimes copied into temporary folders,
// registered in temporary registry store files, found through the Linux
// system services, loaded with dlopen and completing on the GLib main loop.
#include <dlfcn.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <ostream>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/FindClientLibrary.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "platform/linux/LinuxSystem.h"
#include "util/ScopedDebugOutputCapture.h"
#include "util/ScopedEnvironmentVariable.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace fs = std::filesystem;

namespace {

using loader_test::RecordingHandler;

constexpr HRESULT kSyncFailure = MakeHResult(0x80070490u);
constexpr HRESULT kAsyncFailure = MakeHResult(0x8007139Fu);
constexpr const char* kStableKey =
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}]";
constexpr const char* kBetaKey =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\EdgeUpdate\\ClientState\\{2CD8A007-E189-409D-A2C8-9AF4EF3C72AA}]";

class LoaderEndToEndTest : public ::testing::Test {
 protected:
  LoaderEndToEndTest()
      : m_machine("VELLUMVIEW_MACHINE_REGISTRY", (m_dir.Path() / "machine.reg").c_str()),
        m_user("VELLUMVIEW_USER_REGISTRY", (m_dir.Path() / "user.reg").c_str()),
        m_folder("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", nullptr),
        m_userData("WEBVIEW2_USER_DATA_FOLDER", nullptr),
        m_edge("WEBVIEW2_USE_EDGE_VIEW", nullptr),
        m_channels("WEBVIEW2_RELEASE_CHANNELS", nullptr),
        m_kind("WEBVIEW2_CHANNEL_SEARCH_KIND", nullptr),
        m_preference("WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", nullptr),
        m_script("VELLUM_TEST_RUNTIME_SCRIPT", nullptr) {}

  // Copies a library into <dir>/<name>/EBWebView/<arch>/ under the client
  // library's name and returns the runtime folder.
  fs::path InstallRuntime(const std::string& name, const char* library = VELLUM_TEST_RUNTIME) {
    const fs::path folder = m_dir.Path() / name;
    const fs::path target = folder / WideToUtf8(kClientLibraryRelativePath);
    fs::create_directories(target.parent_path());
    fs::copy_file(library, target, fs::copy_options::overwrite_existing);
    return folder;
  }

  static fs::path LibraryOf(const fs::path& folder) { return folder / WideToUtf8(kClientLibraryRelativePath); }

  void WriteMachineStore(const std::string& text) { m_dir.WriteFile("machine.reg", text); }
  void WriteUserStore(const std::string& text) { m_dir.WriteFile("user.reg", text); }

  static std::string Quote(const fs::path& path) { return "\"" + path.string() + "\""; }

  // Runs the main loop until the handler has been called and nothing is
  // left to do; the bound keeps a broken runtime from hanging the test.
  void RunLoop() {
    for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
  }

  // Reads a counter of the copy of the test runtime loaded from `library`.
  template <typename T>
  static T Probe(const fs::path& library, const char* name) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return T{};
    auto* function = reinterpret_cast<T (*)()>(::dlsym(handle, name));
    const T value = function ? function() : T{};
    ::dlclose(handle);
    return value;
  }

  HRESULT Create(ICoreWebView2EnvironmentOptions* options = nullptr, const char16_t* userData = u"/tmp/data") {
    return CreateCoreWebView2EnvironmentWithSystem(m_system, nullptr, userData, options, m_handler.handler.Get());
  }

  TemporaryDirectory m_dir;
  ScopedEnvironmentVariable m_machine, m_user, m_folder, m_userData, m_edge, m_channels, m_kind, m_preference,
      m_script;
  LinuxSystem m_system;
  RecordingHandler m_handler;
};

TEST_F(LoaderEndToEndTest, NothingRegisteredMeansNoRuntime) {
  LPWSTR version = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version), HResultFromWin32(2));
  EXPECT_EQ(version, nullptr);
}

TEST_F(LoaderEndToEndTest, RegisteredRuntimesAreFoundByChannel) {
  const fs::path stable = InstallRuntime("stable/131.0.1.0");
  const fs::path beta = InstallRuntime("beta/132.0.5.0");
  WriteMachineStore("Windows Registry Editor Version 5.00\r\n\r\n" + std::string(kStableKey) +
                    "\r\n\"EBWebView\"=" + Quote(stable) + "\r\n");
  WriteUserStore(std::string(kBetaKey) + "\n\"ebwebview\"=" + Quote(beta) + "\n");
  LPWSTR version = nullptr;
  ASSERT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version), S_OK);
  EXPECT_EQ(View(CoTaskMemString(version)), u"131.0.1.0");

  ScopedEnvironmentVariable leastStable("WEBVIEW2_CHANNEL_SEARCH_KIND", "1");
  ASSERT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version), S_OK);
  EXPECT_EQ(View(CoTaskMemString(version)), u"132.0.5.0 beta");
}

TEST_F(LoaderEndToEndTest, FixedFolderReportsTheLibrarysOwnVersion) {
  const fs::path folder = InstallRuntime("fixed");
  ScopedEnvironmentVariable fixed("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder.c_str());
  LPWSTR version = nullptr;
  ASSERT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version), S_OK);
  EXPECT_EQ(View(CoTaskMemString(version)), Utf8ToWide(VELLUM_TEST_RUNTIME_VERSION));
}

TEST_F(LoaderEndToEndTest, PolicyInTheMachineStoreNamesTheFolder) {
  const fs::path folder = InstallRuntime("policy");
  WriteMachineStore("[HKEY_LOCAL_MACHINE\\Software\\Policies\\Microsoft\\Edge\\WebView2\\BrowserExecutableFolder]\n\"*\"=" +
                    Quote(folder) + "\n");
  LPWSTR version = nullptr;
  ASSERT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version), S_OK);
  EXPECT_EQ(View(CoTaskMemString(version)), Utf8ToWide(VELLUM_TEST_RUNTIME_VERSION));
}

TEST_F(LoaderEndToEndTest, CreationCompletesOnTheMainLoop) {
  const fs::path stable = InstallRuntime("stable/131.0.1.0");
  WriteMachineStore(std::string(kStableKey) + "\n\"EBWebView\"=" + Quote(stable) + "\n");
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_AdditionalBrowserArguments(u"--allow-file-access");
  ASSERT_EQ(Create(options.Get()), S_OK);
  options.Reset();
  // Nothing arrives before the loop runs.
  EXPECT_TRUE(m_handler.calls.empty());
  RunLoop();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
  EXPECT_NE(m_handler.calls[0].environment, nullptr);
  const fs::path library = LibraryOf(stable);
  EXPECT_EQ(Probe<int>(library, "VellumTestRuntimeCalls"), 1);
  EXPECT_EQ(Probe<UINT32>(library, "VellumTestRuntimeLastKind"), 0u);
  EXPECT_EQ(std::u16string(Probe<const char16_t*>(library, "VellumTestRuntimeLastUserDataFolder")), u"/tmp/data");
  EXPECT_EQ(std::u16string(Probe<const char16_t*>(library, "VellumTestRuntimeLastArguments")),
            u"--allow-file-access");
}

struct ScriptCase {
  const char* script;
  HRESULT returned;
  int entryCalls;
  std::size_t handlerCalls;
  HRESULT handlerHr;
  friend void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.script; }
};

class LoaderScriptTest : public LoaderEndToEndTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(LoaderScriptTest, RetriesAndRelaysTheFinalOutcome) {
  const ScriptCase& c = GetParam();
  ScopedEnvironmentVariable script("VELLUM_TEST_RUNTIME_SCRIPT", c.script);
  const fs::path folder = InstallRuntime(std::string("fixed-") + c.script);
  ScopedEnvironmentVariable fixed("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder.c_str());
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_AdditionalBrowserArguments(u"--retry-check");
  EXPECT_EQ(Create(options.Get()), c.returned) << c.script;
  // The caller lets go of its options at once; a retry must not need them.
  options.Reset();
  RunLoop();
  EXPECT_EQ(Probe<int>(LibraryOf(folder), "VellumTestRuntimeCalls"), c.entryCalls) << c.script;
  EXPECT_EQ(Probe<UINT32>(LibraryOf(folder), "VellumTestRuntimeLastKind"), 1u) << c.script;
  EXPECT_EQ(std::u16string(Probe<const char16_t*>(LibraryOf(folder), "VellumTestRuntimeLastArguments")),
            u"--retry-check");
  ASSERT_EQ(m_handler.calls.size(), c.handlerCalls) << c.script;
  if (c.handlerCalls > 0) {
    EXPECT_EQ(m_handler.calls[0].hr, c.handlerHr) << c.script;
    EXPECT_EQ(m_handler.calls[0].environment != nullptr, SUCCEEDED(c.handlerHr)) << c.script;
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, LoaderScriptTest,
                         ::testing::Values(ScriptCase{"ok", S_OK, 1, 1, S_OK},
                                           ScriptCase{"fail-once", S_OK, 2, 1, S_OK},
                                           ScriptCase{"fail-twice", S_OK, 2, 1, kAsyncFailure},
                                           ScriptCase{"sync-fail", kSyncFailure, 2, 0, S_OK}));

TEST_F(LoaderEndToEndTest, LibraryThatMayBeUnloadedStillCompletes) {
  // The loader releases its load right after the call; the completion still
  // runs code of the library later on the loop.
  const fs::path folder = InstallRuntime("unloadable", VELLUM_TEST_RUNTIME_UNLOADABLE);
  ScopedEnvironmentVariable fixed("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder.c_str());
  ASSERT_EQ(Create(), S_OK);
  RunLoop();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
}

TEST_F(LoaderEndToEndTest, FileThatIsNotALibraryFailsCleanly) {
  const fs::path folder = m_dir.Path() / "text";
  fs::create_directories(LibraryOf(folder).parent_path());
  m_dir.WriteFile(fs::relative(LibraryOf(folder), m_dir.Path()), "this is not a shared library\n");
  ScopedEnvironmentVariable fixed("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder.c_str());
  ScopedDebugOutputCapture capture;
  EXPECT_EQ(Create(), HResultFromWin32(193));
  const std::string line = "WebView2: CoreWebView2Environment failed when trying to LoadLibrary: hr=0x800700C1 path=" +
                           LibraryOf(folder).string() + "\n";
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{line, line}));
  EXPECT_TRUE(m_handler.calls.empty());
  // Nor does it carry a version.
  LPWSTR version = nullptr;
  EXPECT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &version),
            HResultFromWin32(kErrorResourceTypeNotFound));
}

TEST_F(LoaderEndToEndTest, LibraryWithoutTheEntryFailsCleanly) {
  const fs::path folder = InstallRuntime("noentry", VELLUM_TEST_RUNTIME_NO_ENTRY);
  ScopedEnvironmentVariable fixed("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder.c_str());
  ScopedDebugOutputCapture capture;
  EXPECT_EQ(Create(), HResultFromWin32(127));
  const std::string line =
      "WebView2: CoreWebView2Environment failed when trying to call into EmbeddedBrowserWebView.dll. hr=0x8007007F\n";
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{line, line}));
  EXPECT_TRUE(m_handler.calls.empty());
}

TEST_F(LoaderEndToEndTest, ProgramsRuntimeCarriesItsVersionWhenBuilt) {
  const fs::path runtime = VELLUM_PROGRAM_RUNTIME;
  if (!fs::exists(runtime)) GTEST_SKIP() << "the runtime library is not built in this tree";
  std::u16string version;
  ASSERT_EQ(m_system.ReadLibraryVersion(Utf8ToWide(runtime.string()), &version), S_OK);
  EXPECT_EQ(version, u"130.0.2839.0");
}

}  // namespace
