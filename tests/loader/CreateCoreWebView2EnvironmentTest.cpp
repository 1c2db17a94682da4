#include <gtest/gtest.h>

#include <ostream>

#include <deque>
#include <optional>

#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/CreationRelay.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

namespace {

using loader_test::AddRuntimeFiles;
using loader_test::InstallChannel;
using loader_test::RecordingHandler;
using loader_test::StubEnvironment;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;

// A client library stand-in whose creation entry follows a script: each call
// either fails at once or keeps the handler to complete it later, the way a
// runtime completes on the main loop after the call has returned.
class ScriptedRuntime {
 public:
  enum class Step { FailAtOnce, FailLater, SucceedLater };
  struct Call {
    int flag;
    UINT32 runtimeKind;
    std::optional<std::u16string> userDataFolder;
    ICoreWebView2EnvironmentOptions* options;
    std::u16string arguments;
  };

  void Script(std::initializer_list<Step> steps) { m_steps.assign(steps); }
  void Script(const std::vector<Step>& steps) { m_steps.assign(steps.begin(), steps.end()); }

  FakeSystem::Library Library(bool canUnload) {
    FakeSystem::Library library;
    library.exports[kCreateEnvironmentEntryName] =
        [this](int flag, UINT32 kind, LPCWSTR userData, ICoreWebView2EnvironmentOptions* options,
               ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
          Call call{flag, kind, userData ? std::optional<std::u16string>(userData) : std::nullopt, options, {}};
          // Reading the options proves the object is still alive.
          if (options) {
            LPWSTR arguments = nullptr;
            if (SUCCEEDED(options->get_AdditionalBrowserArguments(&arguments)) && arguments) {
              call.arguments = arguments;
              CoTaskMemFree(arguments);
            }
          }
          calls.push_back(call);
          const Step step = m_steps.empty() ? Step::SucceedLater : m_steps.front();
          if (!m_steps.empty()) m_steps.pop_front();
          if (step == Step::FailAtOnce) return kSyncFailure;
          m_pending.push_back({ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(handler), step});
          return S_OK;
        };
    if (canUnload) library.exports["DllCanUnloadNow"] = nullptr;
    return library;
  }

  // Completes the oldest pending creation, as the main loop would.
  HRESULT CompleteNext() {
    if (m_pending.empty()) return E_UNEXPECTED;
    auto [handler, step] = std::move(m_pending.front());
    m_pending.pop_front();
    if (step == Step::FailLater) return handler->Invoke(kAsyncFailure, nullptr);
    auto environment = MakeComObject<StubEnvironment>();
    lastEnvironment = environment.Get();
    return handler->Invoke(S_OK, environment.Get());
  }

  std::size_t Pending() const { return m_pending.size(); }

  static constexpr HRESULT kSyncFailure = MakeHResult(0x80070490u);
  static constexpr HRESULT kAsyncFailure = MakeHResult(0x8007139Fu);
  std::vector<Call> calls;
  ICoreWebView2Environment* lastEnvironment = nullptr;

 private:
  std::deque<Step> m_steps;
  std::deque<std::pair<ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>, Step>> m_pending;
};

using Step = ScriptedRuntime::Step;

class CreateEnvironmentTest : public ::testing::Test {
 protected:
  CreateEnvironmentTest() {
    m_system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    m_library = InstallChannel(m_system, kMachine, 0, u"/rt/130.0.2839.0");
  }

  void AddLibrary(bool canUnload = false) { m_system.AddLibrary(m_library, m_runtime.Library(canUnload)); }

  HRESULT Create(const char16_t* folder = nullptr, const char16_t* userData = u"/data",
                 ICoreWebView2EnvironmentOptions* options = nullptr) {
    return CreateCoreWebView2EnvironmentWithSystem(m_system, folder, userData, options, m_handler.handler.Get());
  }

  FakeSystem m_system;
  std::u16string m_library;
  ScriptedRuntime m_runtime;
  RecordingHandler m_handler;
};

TEST_F(CreateEnvironmentTest, NullHandlerDoesNothing) {
  AddLibrary();
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithSystem(m_system, nullptr, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithOptions(nullptr, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(CreateCoreWebView2Environment(nullptr), E_POINTER);
  EXPECT_TRUE(m_runtime.calls.empty());
  EXPECT_TRUE(m_system.RegistryReads().empty());
}

TEST_F(CreateEnvironmentTest, SuccessCallsTheEntryAndDeliversTheEnvironment) {
  AddLibrary();
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_AdditionalBrowserArguments(u"--allow-file-access");
  ASSERT_EQ(Create(nullptr, u"/data", options.Get()), S_OK);
  ASSERT_EQ(m_runtime.calls.size(), 1u);
  EXPECT_EQ(m_runtime.calls[0].flag, 1);
  EXPECT_EQ(m_runtime.calls[0].runtimeKind, 0u);
  EXPECT_EQ(m_runtime.calls[0].userDataFolder, u"/data");
  EXPECT_EQ(m_runtime.calls[0].arguments, u"--allow-file-access");
  EXPECT_TRUE(m_handler.calls.empty());
  ASSERT_EQ(m_runtime.CompleteNext(), S_OK);
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
  EXPECT_EQ(m_handler.calls[0].environment, m_runtime.lastEnvironment);
  EXPECT_TRUE(m_system.FailureEvents().empty());
  // The relay and its references are gone once the library let go.
  EXPECT_EQ(options->RefCount(), 1u);
}

TEST_F(CreateEnvironmentTest, NoRuntimeFailsTwiceWithoutInvokingTheHandler) {
  FakeSystem empty;
  const HRESULT hr = CreateCoreWebView2EnvironmentWithSystem(empty, nullptr, nullptr, nullptr, m_handler.handler.Get());
  EXPECT_EQ(hr, HResultFromWin32(2));
  const std::string line =
      "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n";
  EXPECT_EQ(empty.DebugLines(), (std::vector<std::string>{line, line}));
  EXPECT_TRUE(m_handler.calls.empty());
  const CreationFailureEvent expected{HResultFromWin32(2), false, true, 0x1000000};
  EXPECT_EQ(empty.FailureEvents(), (std::vector<CreationFailureEvent>{expected, expected}));
}

TEST_F(CreateEnvironmentTest, FirstSynchronousFailureIsRetriedAtOnce) {
  AddLibrary();
  m_runtime.Script({Step::FailAtOnce, Step::SucceedLater});
  ASSERT_EQ(Create(), S_OK);
  EXPECT_EQ(m_runtime.calls.size(), 2u);
  ASSERT_EQ(m_system.FailureEvents().size(), 1u);
  EXPECT_EQ(m_system.FailureEvents()[0].hr, ScriptedRuntime::kSyncFailure);
  EXPECT_TRUE(m_system.FailureEvents()[0].clientDllFound);
  EXPECT_TRUE(m_system.FailureEvents()[0].installedRuntime);
  m_runtime.CompleteNext();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
}

TEST_F(CreateEnvironmentTest, TwoSynchronousFailuresReturnTheSecond) {
  AddLibrary();
  m_runtime.Script({Step::FailAtOnce, Step::FailAtOnce});
  EXPECT_EQ(Create(), ScriptedRuntime::kSyncFailure);
  EXPECT_EQ(m_runtime.calls.size(), 2u);
  EXPECT_TRUE(m_handler.calls.empty());
  EXPECT_EQ(m_system.FailureEvents().size(), 2u);
}

// The relay's outcomes after the library reports asynchronously.
struct RelayCase {
  const char* label;
  std::vector<Step> script;
  int completions;
  std::size_t entryCalls;
  HRESULT handlerHr;
  bool environment;
  friend void PrintTo(const RelayCase& c, std::ostream* os) { *os << c.label; }
};

class RelayOutcomeTest : public CreateEnvironmentTest, public ::testing::WithParamInterface<RelayCase> {};

TEST_P(RelayOutcomeTest, CallerHearsOnlyTheFinalOutcome) {
  const RelayCase& c = GetParam();
  AddLibrary();
  m_runtime.Script(c.script);
  ASSERT_EQ(Create(), S_OK) << c.label;
  for (int i = 0; i < c.completions; ++i) EXPECT_EQ(m_runtime.CompleteNext(), S_OK) << c.label;
  EXPECT_EQ(m_runtime.Pending(), 0u) << c.label;
  EXPECT_EQ(m_runtime.calls.size(), c.entryCalls) << c.label;
  ASSERT_EQ(m_handler.calls.size(), 1u) << c.label;
  EXPECT_EQ(m_handler.calls[0].hr, c.handlerHr) << c.label;
  EXPECT_EQ(m_handler.calls[0].environment != nullptr, c.environment) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelayOutcomeTest,
    ::testing::Values(
        RelayCase{"one failure then success", {Step::FailLater, Step::SucceedLater}, 2, 2, S_OK, true},
        RelayCase{"two failures", {Step::FailLater, Step::FailLater}, 2, 2, ScriptedRuntime::kAsyncFailure, false},
        // The retry fails at once; its attempt is retried by nobody.
        RelayCase{"retry fails at once", {Step::FailLater, Step::FailAtOnce}, 1, 2, ScriptedRuntime::kSyncFailure,
                  false},
        RelayCase{"success at once", {Step::SucceedLater}, 1, 1, S_OK, true}));

TEST_F(CreateEnvironmentTest, RetryUsesTheRelaysOwnCopies) {
  AddLibrary();
  m_runtime.Script({Step::FailLater, Step::SucceedLater});
  std::u16string userData = u"/home/u/.local/share/Corvella/demo";
  {
    auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
    options->put_AdditionalBrowserArguments(u"--disable-web-security");
    ASSERT_EQ(Create(nullptr, userData.c_str(), options.Get()), S_OK);
    // The relay holds one reference of its own.
    EXPECT_EQ(options->RefCount(), 2u);
  }
  // The caller's text changes and its options reference is gone.
  userData.assign(userData.size(), u'#');
  m_runtime.CompleteNext();
  ASSERT_EQ(m_runtime.calls.size(), 2u);
  EXPECT_EQ(m_runtime.calls[1].userDataFolder, u"/home/u/.local/share/Corvella/demo");
  EXPECT_EQ(m_runtime.calls[1].arguments, u"--disable-web-security");
  EXPECT_EQ(m_runtime.calls[1].options, m_runtime.calls[0].options);
  m_runtime.CompleteNext();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
}

TEST_F(CreateEnvironmentTest, RelayAndHandlerAreReleasedAfterTheOutcome) {
  AddLibrary();
  m_runtime.Script({Step::FailLater, Step::FailLater});
  auto handler = m_handler.handler;
  const auto* object = static_cast<RuntimeClass<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>*>(
      handler.Get());
  const ULONG before = object->RefCount();
  ASSERT_EQ(Create(), S_OK);
  EXPECT_EQ(object->RefCount(), before + 1);  // held by the relay
  m_runtime.CompleteNext();
  m_runtime.CompleteNext();
  EXPECT_EQ(object->RefCount(), before);
}

TEST_F(CreateEnvironmentTest, EnvironmentWithoutTheInterfaceReportsTheQueryResult) {
  // An object that is not an environment.
  class NotAnEnvironment final : public RuntimeClass<ICoreWebView2CustomSchemeRegistration> {};
  auto relay = MakeComObject<CreationRelay>(m_system, LoaderRequest{}, m_handler.handler.Get());
  auto other = MakeComObject<NotAnEnvironment>();
  EXPECT_EQ(relay->Invoke(S_OK, reinterpret_cast<ICoreWebView2Environment*>(
                                    static_cast<ICoreWebView2CustomSchemeRegistration*>(other.Get()))),
            S_OK);
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, E_NOINTERFACE);
  EXPECT_EQ(m_handler.calls[0].environment, nullptr);
  EXPECT_EQ(other->RefCount(), 1u);
}

TEST_F(CreateEnvironmentTest, RelayAnswersOnlyItsInterfaces) {
  auto relay = MakeComObject<CreationRelay>(m_system, LoaderRequest{}, m_handler.handler.Get());
  void* out = nullptr;
  EXPECT_EQ(relay->QueryInterface(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler::kIid, &out), S_OK);
  static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(relay->QueryInterface(IUnknown::kIid, &out), S_OK);
  static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(relay->QueryInterface(ICoreWebView2Environment::kIid, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(relay->RetriesLeft(), 1);
  // A success passed straight through, no retry used.
  auto environment = MakeComObject<StubEnvironment>();
  EXPECT_EQ(relay->Invoke(S_OK, environment.Get()), S_OK);
  EXPECT_EQ(relay->RetriesLeft(), 1);
  EXPECT_EQ(environment->RefCount(), 1u);
}

TEST_F(CreateEnvironmentTest, FailureWithAnEnvironmentStillRetries) {
  // A failed outcome is retried whatever else comes with it.
  auto relay = MakeComObject<CreationRelay>(m_system, LoaderRequest{}, m_handler.handler.Get());
  AddLibrary();
  m_runtime.Script({Step::SucceedLater});
  auto environment = MakeComObject<StubEnvironment>();
  EXPECT_EQ(relay->Invoke(E_FAIL, environment.Get()), S_OK);
  EXPECT_TRUE(m_handler.calls.empty());
  EXPECT_EQ(m_runtime.calls.size(), 1u);
  EXPECT_EQ(relay->RetriesLeft(), 0);
  m_runtime.CompleteNext();
  ASSERT_EQ(m_handler.calls.size(), 1u);
  EXPECT_EQ(m_handler.calls[0].hr, S_OK);
}

TEST_F(CreateEnvironmentTest, LoadFailureIsLoggedInEightUppercaseDigits) {
  FakeSystem::Library broken;
  broken.loadResult = HResultFromWin32(193);
  m_system.AddLibrary(m_library, broken);
  EXPECT_EQ(Create(), HResultFromWin32(193));
  const std::string line = "WebView2: CoreWebView2Environment failed when trying to LoadLibrary: hr=0x800700C1 path=" +
                           WideToUtf8(m_library) + "\n";
  EXPECT_EQ(m_system.DebugLines(), (std::vector<std::string>{line, line}));
  ASSERT_EQ(m_system.FailureEvents().size(), 2u);
  EXPECT_TRUE(m_system.FailureEvents()[0].clientDllFound);
  EXPECT_TRUE(m_handler.calls.empty());
}

TEST_F(CreateEnvironmentTest, MissingEntryIsLogged) {
  m_system.AddLibrary(m_library, FakeSystem::Library{});
  EXPECT_EQ(Create(), HResultFromWin32(127));
  const std::string line =
      "WebView2: CoreWebView2Environment failed when trying to call into EmbeddedBrowserWebView.dll. hr=0x8007007F\n";
  EXPECT_EQ(m_system.DebugLines(), (std::vector<std::string>{line, line}));
  // Without an unload export the library stays loaded.
  EXPECT_EQ(m_system.LoadCount(m_library), 2);
  EXPECT_EQ(m_system.FreeCount(m_library), 0);
}

TEST_F(CreateEnvironmentTest, UnloadExportReleasesTheLoadersLoad) {
  AddLibrary(true);
  m_runtime.Script({Step::FailAtOnce, Step::SucceedLater});
  ASSERT_EQ(Create(), S_OK);
  EXPECT_EQ(m_system.LoadCount(m_library), 2);
  EXPECT_EQ(m_system.FreeCount(m_library), 2);
  m_runtime.CompleteNext();
}

struct KindCase {
  const char* label;
  const char16_t* folder;
  bool edgeView;
  UINT32 kind;
  friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.label; }
};

class RuntimeKindTest : public CreateEnvironmentTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(RuntimeKindTest, TellsHowTheRuntimeWasFound) {
  const KindCase& c = GetParam();
  AddLibrary();
  m_system.AddLibrary(loader_test::LibraryPath(u"/fixed"), m_runtime.Library(false));
  AddRuntimeFiles(m_system, u"/fixed");
  if (c.edgeView) m_system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", u"1");
  m_runtime.Script({Step::FailAtOnce, Step::FailAtOnce});
  EXPECT_EQ(Create(c.folder), ScriptedRuntime::kSyncFailure) << c.label;
  ASSERT_EQ(m_runtime.calls.size(), 2u);
  EXPECT_EQ(m_runtime.calls[0].runtimeKind, c.kind) << c.label;
  if (c.edgeView) {
    EXPECT_TRUE(m_system.FailureEvents().empty()) << c.label;
  } else {
    ASSERT_EQ(m_system.FailureEvents().size(), 2u);
    EXPECT_EQ(m_system.FailureEvents()[0].installedRuntime, c.kind == 0) << c.label;
    EXPECT_TRUE(m_system.FailureEvents()[0].clientDllFound);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RuntimeKindTest,
                         ::testing::Values(KindCase{"installed", nullptr, false, 0},
                                           KindCase{"fixed", u"/fixed", false, 1},
                                           KindCase{"edge view fixed", u"/fixed", true, 2}));

TEST_F(CreateEnvironmentTest, EdgeViewSearchUsesKindTwo) {
  m_system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"location", u"/edge");
  m_system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"pv", u"131.0.0.0");
  AddRuntimeFiles(m_system, u"/edge/131.0.0.0");
  m_system.AddLibrary(loader_test::LibraryPath(u"/edge/131.0.0.0"), m_runtime.Library(false));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", u"1");
  ASSERT_EQ(Create(), S_OK);
  EXPECT_EQ(m_runtime.calls[0].runtimeKind, 2u);
  m_runtime.CompleteNext();
}

TEST_F(CreateEnvironmentTest, PublicEntryUsesTheInstalledSystem) {
  AddLibrary();
  Platform::Install(nullptr, &m_system);
  const HRESULT hr = CreateCoreWebView2Environment(m_handler.handler.Get());
  Platform::Install(nullptr, nullptr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(m_runtime.calls.size(), 1u);
  EXPECT_FALSE(m_runtime.calls[0].userDataFolder.has_value());
  EXPECT_EQ(m_runtime.calls[0].options, nullptr);
  m_runtime.CompleteNext();
  EXPECT_EQ(m_handler.calls.size(), 1u);
}

}  // namespace
