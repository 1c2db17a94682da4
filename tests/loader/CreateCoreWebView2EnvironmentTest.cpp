#include <gtest/gtest.h>

#include <deque>

#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"
#include "tests/fakes/FakeEnvironment.h"
#include "tests/loader/LoaderTestSupport.h"
#include "webview/EngineContract.h"
#include "webview/ICoreWebView2Environment.h"

namespace {

using loader_test::AddRuntimeFiles;
using Handler = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr HRESULT kSyncFailure = MakeHResult(0x80070490u);
constexpr HRESULT kAsyncFailure = MakeHResult(0x8007139Fu);

// One creation set-up: a stable runtime installed whose library's creation
// entry follows a script. Each call either fails at once (F), or keeps the
// handler to fail (f), fail with an environment all the same (e) or succeed
// (s) later, the way a runtime completes on the main loop after the call has
// returned. The caller's handler records what it hears.
struct Rig {
  struct Call { UINT32 kind; std::u16string arguments; };

  explicit Rig(std::string steps, bool canUnload = false) : script(std::move(steps)) {
    system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    library = loader_test::InstallChannel(system, kMachine, 0, u"/rt/130.0.2839.0");
    system.AddLibrary(library, Library(canUnload));
  }
  FakeSystem::Library Library(bool canUnload) {
    FakeSystem::Library library;
    library.exports[kCreateEnvironmentEntryName] = [this](int, UINT32 kind, LPCWSTR, ICoreWebView2EnvironmentOptions* options,
                                                          Handler* handler) {
      LPWSTR arguments = nullptr;  // reading the options proves the object is still alive
      if (options) options->get_AdditionalBrowserArguments(&arguments);
      calls.push_back({kind, std::u16string(View(CoTaskMemString(arguments)))});
      const char step = script.empty() ? 's' : script.front();
      script.erase(0, 1);
      if (step == 'F') return kSyncFailure;
      pending.emplace_back(handler, step);
      return S_OK;
    };
    if (canUnload) library.exports["DllCanUnloadNow"] = nullptr;
    return library;
  }
  HRESULT Create(const char16_t* folder, ICoreWebView2EnvironmentOptions* options = nullptr) {
    return CreateCoreWebView2EnvironmentWithSystem(system, folder, u"/data", options, handler.Get());
  }
  // Completes the oldest pending creation, as the main loop would.
  void CompleteNext() {
    auto [relay, step] = std::move(pending.front());
    pending.pop_front();
    auto environment = MakeComObject<FakeEnvironment>();
    EXPECT_EQ(relay->Invoke(step == 's' ? S_OK : kAsyncFailure, step == 'f' ? nullptr : environment.Get()), S_OK);
  }

  std::string script;
  FakeSystem system;
  std::u16string library;
  std::vector<Call> calls;
  std::deque<std::pair<ComPtr<Handler>, char>> pending;
  std::vector<HRESULT> heard;
  ComPtr<Handler> handler = Callback<Handler>([this](HRESULT hr, ICoreWebView2Environment* environment) {
    EXPECT_EQ(environment != nullptr, SUCCEEDED(hr));  // an environment comes exactly with success
    heard.push_back(hr);
    return S_OK;
  });
};

// A failed attempt is retried once: at once when it fails synchronously, by
// the relay when it fails later. The caller hears only the final outcome.
TEST(CreateEnvironment, OneFailureIsRetriedAndTheHandlerHearsOnce) {
  struct Case { std::string script; HRESULT returned; std::size_t events; std::vector<HRESULT> heard; };
  const Case cases[] = {
      {"Fs", S_OK, 1, {S_OK}}, {"FF", kSyncFailure, 2, {}}, {"fs", S_OK, 0, {S_OK}}, {"ff", S_OK, 0, {kAsyncFailure}},
      {"es", S_OK, 0, {S_OK}},
      // The retry fails at once; nobody retries it again.
      {"fF", S_OK, 1, {kSyncFailure}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    Rig r(c.script);
    auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
    options->put_AdditionalBrowserArguments(u"--allow-file-access");
    EXPECT_EQ(r.Create(nullptr, options.Get()), c.returned);
    // A pending relay holds its own options and handler: the retry reads the
    // options after the caller has let them go (the sanitizer build reports
    // a relay that borrowed them, or one that never lets them go).
    options.Reset();
    while (!r.pending.empty()) r.CompleteNext();
    ASSERT_EQ(r.calls.size(), c.script.size());
    for (const auto& call : r.calls) EXPECT_EQ(call.arguments, u"--allow-file-access");
    EXPECT_EQ(std::pair(r.system.FailureEvents().size(), r.heard), std::pair(c.events, c.heard));
  }
}

// The runtime kind tells the library how its runtime was found. Only a
// library that can tell when it may be unloaded is freed after the call, and
// a failure with the Edge browser asked for is no event.
TEST(CreateEnvironment, RuntimeKindTellsHowTheRuntimeWasFound) {
  struct Case { const char16_t* folder; bool edgeView; UINT32 kind; bool canUnload; std::size_t loaded; };
  const Case cases[] = {{nullptr, false, 0, false, 0}, {u"/fixed", false, 1, true, 1}, {u"/fixed", true, 2, false, 1},
                        {nullptr, true, 2, true, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Rig r("FF", c.canUnload);
    const std::u16string libraries[] = {r.library, AddRuntimeFiles(r.system, u"/fixed"), AddRuntimeFiles(r.system, u"/edge/131.0.0.0")};
    for (std::size_t i = 1; i < 3; ++i) r.system.AddLibrary(libraries[i], r.Library(c.canUnload));
    r.system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"location", u"/edge");
    r.system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"pv", u"131.0.0.0");
    if (c.edgeView) r.system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", u"1");
    EXPECT_EQ(r.Create(c.folder), kSyncFailure);
    EXPECT_EQ(r.calls.at(0).kind, c.kind);
    const std::u16string& loaded = libraries[c.loaded];
    EXPECT_EQ(std::pair(r.system.LoadCount(loaded), r.system.FreeCount(loaded)), std::pair(2, c.canUnload ? 2 : 0));
    EXPECT_EQ(r.system.FailureEvents(),
              std::vector<CreationFailureEvent>(c.edgeView ? 0 : 2, {kSyncFailure, true, c.kind == 0, 0x1000000}));
  }
}

// Without a handler the call fails; without a runtime each of the two
// attempts is a failure event.
TEST(CreateEnvironment, PublicEntryFailsWithoutAHandlerOrARuntime) {
  Rig r("");
  FakeSystem empty;
  Platform::Install(nullptr, &empty);
  EXPECT_EQ(CreateCoreWebView2Environment(nullptr), E_POINTER);
  const HRESULT hr = CreateCoreWebView2Environment(r.handler.Get());
  Platform::Install(nullptr, nullptr);
  EXPECT_EQ(hr, HResultFromWin32(2));
  EXPECT_EQ(empty.FailureEvents(), std::vector<CreationFailureEvent>(2, {HResultFromWin32(2), false, true, 0x1000000}));
}

}  // namespace
