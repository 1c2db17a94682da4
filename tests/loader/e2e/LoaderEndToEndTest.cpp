// The loader against real files: runtimes copied into temporary folders,
// registered in temporary registry store files, found through the Linux
// system services, loaded with dlopen and completing on the GLib main loop.
#include <dlfcn.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "platform/linux/LinuxSystem.h"
#include "util/ScopedDebugOutputCapture.h"
#include "util/ScopedEnvironmentVariable.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace fs = std::filesystem;

namespace {

const std::u16string kTestVersion = Utf8ToWide(VELLUM_TEST_RUNTIME_VERSION);

class LoaderEndToEndTest : public ::testing::Test {
 protected:
  LoaderEndToEndTest()
      : m_machine("VELLUMVIEW_MACHINE_REGISTRY", (m_dir.Path() / "machine.reg").c_str()),
        m_user("VELLUMVIEW_USER_REGISTRY", (m_dir.Path() / "user.reg").c_str()),
        m_edge("WEBVIEW2_USE_EDGE_VIEW", nullptr), m_channels("WEBVIEW2_RELEASE_CHANNELS", nullptr),
        m_kind("WEBVIEW2_CHANNEL_SEARCH_KIND", nullptr), m_preference("WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", nullptr),
        m_userData("WEBVIEW2_USER_DATA_FOLDER", nullptr), m_folder("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", nullptr) {}

  // Puts a copy of `library` (or, when null, a text file) where a runtime
  // folder <dir>/<name> keeps its client library; returns the library's path.
  fs::path InstallRuntime(const std::string& name, const char* library = VELLUM_TEST_RUNTIME) {
    const fs::path target = m_dir.Path() / name / WideToUtf8(kClientLibraryRelativePath);
    fs::create_directories(target.parent_path());
    if (library) fs::copy_file(library, target);
    else m_dir.WriteFile(target, "this is not a shared library\n");
    return target;
  }
  static std::string Folder(const fs::path& library) { return library.string().substr(0, library.string().find("/EBWebView/")); }
  // Names a fixed runtime folder through the environment.
  void UseFixed(const fs::path& library) { m_fixed.emplace("WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", Folder(library).c_str()); }

  HRESULT QueryVersion(std::u16string* version) {
    LPWSTR text = nullptr;
    const HRESULT hr = GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, &text);
    *version = text ? std::u16string(View(CoTaskMemString(text))) : u"(null)";
    return hr;
  }
  HRESULT Create(ICoreWebView2EnvironmentOptions* options = nullptr) {
    return CreateCoreWebView2EnvironmentWithSystem(m_system, nullptr, u"/tmp/data", options, m_handler.handler.Get());
  }
  // Runs the main loop until nothing is left to do; the bound keeps a broken runtime from hanging the test.
  static void RunLoop() {
    for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
  }
  // Reads what the copy of the test runtime loaded from `library` recorded.
  template <typename T>
  static T Probe(const fs::path& library, const char* name) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    auto* function = handle ? reinterpret_cast<T (*)()>(::dlsym(handle, name)) : nullptr;
    const T value = function ? function() : T{};
    if (handle) ::dlclose(handle);
    return value;
  }

  TemporaryDirectory m_dir;
  ScopedEnvironmentVariable m_machine, m_user, m_edge, m_channels, m_kind, m_preference, m_userData, m_folder;
  std::optional<ScopedEnvironmentVariable> m_fixed;
  LinuxSystem m_system;
  loader_test::RecordingHandler m_handler;
};

TEST_F(LoaderEndToEndTest, RuntimesAreFoundThroughTheStoresByChannelAndPolicy) {
  std::u16string version;
  EXPECT_EQ(QueryVersion(&version), HResultFromWin32(2));
  EXPECT_EQ(version, u"(null)");
  const std::string stable = Folder(InstallRuntime("stable/131.0.1.0"));
  const std::string beta = Folder(InstallRuntime("beta/132.0.5.0"));
  m_dir.WriteFile("machine.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                                     WideToUtf8(loader_test::ChannelKey(0)) + "]\r\n\"EBWebView\"=\"" + stable + "\"\r\n");
  m_dir.WriteFile("user.reg", "[HKEY_CURRENT_USER\\" + WideToUtf8(loader_test::ChannelKey(1)) +
                                  "]\n\"ebwebview\"=\"" + beta + "\"\n");
  ASSERT_EQ(QueryVersion(&version), S_OK);
  EXPECT_EQ(version, u"131.0.1.0");
  ScopedEnvironmentVariable leastStable("WEBVIEW2_CHANNEL_SEARCH_KIND", "1");
  ASSERT_EQ(QueryVersion(&version), S_OK);
  EXPECT_EQ(version, u"132.0.5.0 beta");
  // A fixed folder named by machine policy reports the library's own version.
  m_dir.WriteFile("machine.reg", "[HKEY_LOCAL_MACHINE\\Software\\Policies\\Microsoft\\Edge\\WebView2\\"
                                 "BrowserExecutableFolder]\n\"*\"=\"" + Folder(InstallRuntime("policy")) + "\"\n");
  ASSERT_EQ(QueryVersion(&version), S_OK);
  EXPECT_EQ(version, kTestVersion);
}

TEST_F(LoaderEndToEndTest, CreationCompletesOnTheMainLoop) {
  const fs::path library = InstallRuntime("stable/131.0.1.0");
  m_dir.WriteFile("machine.reg", "[HKEY_LOCAL_MACHINE\\" + WideToUtf8(loader_test::ChannelKey(0)) +
                                     "]\n\"EBWebView\"=\"" + Folder(library) + "\"\n");
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_AdditionalBrowserArguments(u"--allow-file-access");
  ASSERT_EQ(Create(options.Get()), S_OK);
  options.Reset();
  EXPECT_TRUE(m_handler.calls.empty());
  RunLoop();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
  EXPECT_NE(m_handler.calls[0].environment, nullptr);
  EXPECT_EQ(Probe<int>(library, "VellumTestRuntimeCalls"), 1);
  EXPECT_EQ(Probe<UINT32>(library, "VellumTestRuntimeLastKind"), 0u);
  EXPECT_EQ(std::u16string(Probe<const char16_t*>(library, "VellumTestRuntimeLastUserDataFolder")), u"/tmp/data");
  EXPECT_EQ(std::u16string(Probe<const char16_t*>(library, "VellumTestRuntimeLastArguments")), u"--allow-file-access");
}

TEST_F(LoaderEndToEndTest, FailuresAreRetriedAndTheFinalOutcomeRelayed) {
  constexpr HRESULT kAsyncFailure = MakeHResult(0x8007139Fu);
  struct Case { const char* script; HRESULT returned; int entryCalls; std::vector<HRESULT> heard; };
  const Case cases[] = {{"fail-once", S_OK, 2, {S_OK}}, {"fail-twice", S_OK, 2, {kAsyncFailure}},
                        {"sync-fail", MakeHResult(0x80070490u), 2, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    ScopedEnvironmentVariable script("VELLUM_TEST_RUNTIME_SCRIPT", c.script);
    const fs::path library = InstallRuntime(c.script);
    UseFixed(library);
    loader_test::RecordingHandler handler;
    auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
    options->put_AdditionalBrowserArguments(u"--retry-check");
    EXPECT_EQ(CreateCoreWebView2EnvironmentWithSystem(m_system, nullptr, nullptr, options.Get(), handler.handler.Get()),
              c.returned);
    options.Reset();  // a retry must not need the caller's reference
    RunLoop();
    EXPECT_EQ(Probe<int>(library, "VellumTestRuntimeCalls"), c.entryCalls);
    EXPECT_EQ(Probe<UINT32>(library, "VellumTestRuntimeLastKind"), 1u);
    EXPECT_EQ(std::u16string(Probe<const char16_t*>(library, "VellumTestRuntimeLastArguments")), u"--retry-check");
    std::vector<HRESULT> heard;
    for (const auto& call : handler.calls) heard.push_back(call.hr);
    EXPECT_EQ(heard, c.heard);
  }
}

TEST_F(LoaderEndToEndTest, LibrariesThatCannotServeFailCleanly) {
  const std::string entryLine =
      "WebView2: CoreWebView2Environment failed when trying to call into EmbeddedBrowserWebView.dll. hr=0x8007007F\n";
  struct Case { const char* name; const char* library; HRESULT hr; HRESULT versionHr; };
  const Case cases[] = {
      {"unloadable", VELLUM_TEST_RUNTIME_UNLOADABLE, S_OK, S_OK},
      {"noentry", VELLUM_TEST_RUNTIME_NO_ENTRY, HResultFromWin32(127), S_OK},
      {"text", nullptr, HResultFromWin32(193), HResultFromWin32(kErrorResourceTypeNotFound)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path library = InstallRuntime(c.name, c.library);
    UseFixed(library);
    loader_test::RecordingHandler handler;
    ScopedDebugOutputCapture capture;
    EXPECT_EQ(CreateCoreWebView2EnvironmentWithSystem(m_system, nullptr, nullptr, nullptr, handler.handler.Get()), c.hr);
    // The loader releases an unloadable library's load at once; its completion still runs later on the loop.
    RunLoop();
    const std::string line = c.library ? entryLine :
        "WebView2: CoreWebView2Environment failed when trying to LoadLibrary: hr=0x800700C1 path=" + library.string() + "\n";
    EXPECT_EQ(capture.Lines(), (SUCCEEDED(c.hr) ? std::vector<std::string>{} : std::vector{line, line}));
    EXPECT_EQ(handler.calls.size(), SUCCEEDED(c.hr) ? 1u : 0u);
    std::u16string version;
    EXPECT_EQ(QueryVersion(&version), c.versionHr);
  }
}

TEST_F(LoaderEndToEndTest, ProgramsRuntimeCarriesItsVersionWhenBuilt) {
  if (!fs::exists(VELLUM_PROGRAM_RUNTIME)) GTEST_SKIP() << "the runtime library is not built in this tree";
  std::u16string version;
  ASSERT_EQ(m_system.ReadLibraryVersion(Utf8ToWide(VELLUM_PROGRAM_RUNTIME), &version), S_OK);
  EXPECT_EQ(version, u"130.0.2839.0");
}

}  // namespace
