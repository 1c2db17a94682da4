#include <gtest/gtest.h>

#include <deque>

#include "com/CoTaskMem.h"
#include "fakes/FakeEnvironment.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"
#include "webview/EngineContract.h"
#include "webview/ICoreWebView2Environment.h"

namespace {

using loader_test::AddRuntimeFiles;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr HRESULT kSyncFailure = MakeHResult(0x80070490u);
constexpr HRESULT kAsyncFailure = MakeHResult(0x8007139Fu);

// One creation set-up: a stable runtime installed whose library's creation
// entry follows a script. Each call either fails at once (F), or keeps the
// handler to fail (f), fail with an environment all the same (e) or succeed
// (s) later, the way a runtime completes on the main loop after the call has
// returned.
struct Rig {
  struct Call { UINT32 kind; std::optional<std::u16string> userData; void* options; std::u16string arguments; };

  explicit Rig(std::string steps = "", bool addLibrary = true) : script(std::move(steps)) {
    system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    library = loader_test::InstallChannel(system, kMachine, 0, u"/rt/130.0.2839.0");
    if (addLibrary) system.AddLibrary(library, Library());
  }
  FakeSystem::Library Library(bool canUnload = false) {
    FakeSystem::Library library;
    library.exports[kCreateEnvironmentEntryName] = [this](int, UINT32 kind, LPCWSTR userData,
                                                          ICoreWebView2EnvironmentOptions* options, auto* handler) {
      Call call{kind, userData ? std::optional<std::u16string>(userData) : std::nullopt, options, {}};
      LPWSTR arguments = nullptr;  // reading the options proves the object is still alive
      if (options && SUCCEEDED(options->get_AdditionalBrowserArguments(&arguments)) && arguments)
        call.arguments = CoTaskMemString(arguments).get();
      calls.push_back(call);
      const char step = script.empty() ? 's' : script.front();
      if (!script.empty()) script.erase(0, 1);
      if (step == 'F') return kSyncFailure;
      pending.emplace_back(handler, step);
      return S_OK;
    };
    if (canUnload) library.exports["DllCanUnloadNow"] = nullptr;
    return library;
  }
  HRESULT Create(const char16_t* folder = nullptr, const char16_t* userData = u"/data",
                 ICoreWebView2EnvironmentOptions* options = nullptr) {
    return CreateCoreWebView2EnvironmentWithSystem(system, folder, userData, options, handler.handler.Get());
  }
  // Completes the oldest pending creation, as the main loop would.
  void CompleteNext() {
    ASSERT_FALSE(pending.empty());
    auto [relay, step] = std::move(pending.front());
    pending.pop_front();
    auto environment = MakeComObject<FakeEnvironment>();
    lastEnvironment = environment.Get();
    EXPECT_EQ(relay->Invoke(step == 's' ? S_OK : kAsyncFailure, step == 'f' ? nullptr : environment.Get()), S_OK);
    EXPECT_EQ(environment->RefCount(), 1u);  // nothing keeps an environment it was given
  }

  std::string script;
  FakeSystem system;
  std::u16string library;
  std::vector<Call> calls;
  std::deque<std::pair<ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>, char>> pending;
  ICoreWebView2Environment* lastEnvironment = nullptr;
  loader_test::RecordingHandler handler;
};

// A failed attempt is retried once: at once when it fails synchronously, by
// the relay when it fails later. The caller hears only the final outcome.
TEST(CreateEnvironment, OneFailureIsRetriedAndTheHandlerHearsOnce) {
  struct Case { std::string script; HRESULT returned; int completions; std::size_t events; std::vector<HRESULT> heard; };
  const Case cases[] = {
      {"s", S_OK, 1, 0, {S_OK}}, {"Fs", S_OK, 1, 1, {S_OK}}, {"FF", kSyncFailure, 0, 2, {}},
      {"fs", S_OK, 2, 0, {S_OK}}, {"ff", S_OK, 2, 0, {kAsyncFailure}}, {"es", S_OK, 2, 0, {S_OK}},
      // The retry fails at once; nobody retries it again.
      {"fF", S_OK, 1, 1, {kSyncFailure}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    Rig r(c.script);
    const auto* handler = static_cast<RuntimeClass<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>*>(
        r.handler.handler.Get());
    std::u16string userData = u"/data";
    auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
    options->put_AdditionalBrowserArguments(u"--allow-file-access");
    EXPECT_EQ(r.Create(nullptr, userData.c_str(), options.Get()), c.returned);
    EXPECT_TRUE(r.handler.calls.empty());
    // A pending relay holds its own options reference, handler reference and texts.
    EXPECT_EQ(std::pair(options->RefCount(), handler->RefCount()), r.pending.empty() ? std::pair(1u, 1u) : std::pair(2u, 2u));
    userData = u"#####";
    const auto* optionsObject = options.Get();
    options.Reset();
    for (int i = 0; i < c.completions; ++i) r.CompleteNext();
    EXPECT_TRUE(r.pending.empty());
    ASSERT_EQ(r.calls.size(), c.script.size());
    for (const auto& call : r.calls)
      EXPECT_EQ(std::tie(call.userData, call.arguments, call.options), std::tuple(u"/data", u"--allow-file-access", optionsObject));
    EXPECT_EQ(r.system.FailureEvents().size(), c.events);
    EXPECT_EQ(r.handler.Results(), c.heard);
    for (const auto& call : r.handler.calls) EXPECT_EQ(call.environment, SUCCEEDED(call.hr) ? r.lastEnvironment : nullptr);
    EXPECT_EQ(handler->RefCount(), 1u);
  }
}

// Only a library that can tell when it may be unloaded is freed after the
// call. (The failures of libraries that cannot serve are logged as the
// end-to-end tests show.)
TEST(CreateEnvironment, RuntimeKindTellsHowTheRuntimeWasFound) {
  struct Case { const char16_t* folder; bool edgeView; UINT32 kind; bool canUnload; };
  const Case cases[] = {{nullptr, false, 0, false}, {u"/fixed", false, 1, true}, {u"/fixed", true, 2, false},
                        {nullptr, true, 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Rig r("FF", false);
    const std::u16string libraries[] = {r.library, AddRuntimeFiles(r.system, u"/fixed"), AddRuntimeFiles(r.system, u"/edge/131.0.0.0")};
    for (const std::u16string& library : libraries) r.system.AddLibrary(library, r.Library(c.canUnload));
    r.system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"location", u"/edge");
    r.system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"pv", u"131.0.0.0");
    if (c.edgeView) r.system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", u"1");
    EXPECT_EQ(r.Create(c.folder), kSyncFailure);
    ASSERT_EQ(r.calls.size(), 2u);
    EXPECT_EQ(r.calls[0].kind, c.kind);
    int loads = 0, frees = 0;
    for (const std::u16string& library : libraries) loads += r.system.LoadCount(library), frees += r.system.FreeCount(library);
    EXPECT_EQ(std::pair(loads, frees), std::pair(2, c.canUnload ? 2 : 0));
    // A failure with the Edge browser asked for is not reported as an event.
    ASSERT_EQ(r.system.FailureEvents().size(), c.edgeView ? 0u : 2u);
    for (const auto& event : r.system.FailureEvents()) EXPECT_EQ(std::pair(event.clientDllFound, event.installedRuntime), std::pair(true, c.kind == 0));
  }
}

// Without a handler nothing is searched; without a runtime the search runs
// twice, each failure is an event, and the handler is never called.
TEST(CreateEnvironment, PublicEntriesUseTheInstalledSystemAndFailWithoutAHandlerOrARuntime) {
  Rig r;
  Platform::Install(nullptr, &r.system);
  EXPECT_EQ(CreateCoreWebView2Environment(nullptr), E_POINTER);
  EXPECT_TRUE(r.system.RegistryReads().empty());
  const HRESULT hr = CreateCoreWebView2Environment(r.handler.handler.Get());
  Platform::Install(nullptr, nullptr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(r.calls.size(), 1u);
  EXPECT_EQ(std::pair(r.calls[0].userData, r.calls[0].options), std::pair(std::optional<std::u16string>(), static_cast<void*>(nullptr)));
  FakeSystem empty;
  EXPECT_EQ(CreateCoreWebView2EnvironmentWithSystem(empty, nullptr, nullptr, nullptr, r.handler.handler.Get()),
            HResultFromWin32(2));
  EXPECT_EQ(empty.DebugLines().size(), 2u);
  EXPECT_TRUE(r.handler.calls.empty());
  EXPECT_EQ(empty.FailureEvents(), std::vector<CreationFailureEvent>(2, {HResultFromWin32(2), false, true, 0x1000000}));
}

}  // namespace
