// A stand-in runtime client library for the loader's end-to-end tests. It
// exports the creation entry and carries its version in the same ELF section
// as the real runtime, and it completes like the real one: later, from the
// GLib main loop, after the entry has returned.
//
// VELLUM_TEST_RUNTIME_SCRIPT chooses the outcomes, one per call of the entry:
//   (unset or "ok")  every call succeeds later;
//   "sync-fail"      every call fails at once with 0x80070490;
//   "fail-once"      the first call fails later with 0x8007139F, later calls succeed;
//   "fail-twice"     every call fails later with 0x8007139F.
// Every copy of the file loaded from its own path has its own counters, so
// each test installs a fresh copy.
#include <glib.h>

#include <cstdlib>
#include <string>

#include "com/ComPtr.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"
#include "webview/ICoreWebView2Environment.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"

#define VELLUM_EXPORT extern "C" __attribute__((visibility("default")))

__attribute__((section(".vellumview_version"), used)) static const char kVersion[] = VELLUM_TEST_RUNTIME_VERSION;

namespace {

class TestEnvironment final : public RuntimeClass<ICoreWebView2Environment> {
 public:
  HRESULT CreateCoreWebView2Controller(HWND, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*) override {
    return E_NOTIMPL;
  }
  HRESULT CreateWebResourceResponse(IStream*, int, LPCWSTR, LPCWSTR, ICoreWebView2WebResourceResponse**) override {
    return E_NOTIMPL;
  }
};

using Handler = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

int g_calls = 0;

// Completes one creation: a handler that should hear of a failure, or of an environment.
gboolean Fail(gpointer handler) {
  AdoptRef(static_cast<Handler*>(handler))->Invoke(static_cast<HRESULT>(0x8007139Fu), nullptr);
  return G_SOURCE_REMOVE;
}
gboolean Succeed(gpointer handler) {
  const auto environment = AdoptRef(static_cast<ICoreWebView2Environment*>(new TestEnvironment()));
  AdoptRef(static_cast<Handler*>(handler))->Invoke(S_OK, environment.Get());
  return G_SOURCE_REMOVE;
}

}  // namespace

VELLUM_EXPORT HRESULT CreateWebViewEnvironmentWithOptionsInternal(
    int flag, UINT32, LPCWSTR, ICoreWebView2EnvironmentOptions*,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  ++g_calls;
  if (flag != 1 || !handler) return E_INVALIDARG;
  const std::string mode = std::getenv("VELLUM_TEST_RUNTIME_SCRIPT") ? std::getenv("VELLUM_TEST_RUNTIME_SCRIPT") : "ok";
  if (mode == "sync-fail") return static_cast<HRESULT>(0x80070490u);
  handler->AddRef();
  g_idle_add(mode == "fail-twice" || (mode == "fail-once" && g_calls == 1) ? Fail : Succeed, handler);
  return S_OK;
}

#ifdef VELLUM_TEST_RUNTIME_CAN_UNLOAD
// Only looked up by the loader, never called.
VELLUM_EXPORT HRESULT DllCanUnloadNow() { return S_FALSE; }
#endif

// What the tests read back through dlsym.
VELLUM_EXPORT int VellumTestRuntimeCalls() { return g_calls; }
