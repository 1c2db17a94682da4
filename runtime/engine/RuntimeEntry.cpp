// The library's one exported function: creates a browser environment and
// reports it to the program's handler from the main loop.
#include <dlfcn.h>
#include <gtk/gtk.h>

#include <string>

#include "com/CoTaskMem.h"
#include "runtime/defaults/RuntimeText.h"
#include "runtime/engine/BrowserArguments.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/engine/RuntimeEnvironment.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

// The version of this runtime, readable from the file without loading it.
__attribute__((section(".vellumview_version"), used)) static const char kVersion[] = VELLUM_RUNTIME_VERSION;

namespace {

std::string TakeString(HRESULT (ICoreWebView2EnvironmentOptions::*getter)(LPWSTR*),
                       ICoreWebView2EnvironmentOptions* options) {
  if (!options) return {};
  LPWSTR raw = nullptr;
  if (FAILED((options->*getter)(&raw))) return {};
  const CoTaskMemString value(raw);
  return WideToUtf8(View(value));
}

// The runtime's texts are translated by the catalogs in the locale folder
// beside this library, wherever the library was installed or built.
void BindTextsBesideLibrary() {
  static const bool bound = [] {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&BindTextsBesideLibrary), &info) || !info.dli_fname) return false;
    g_autofree char* folder = g_path_get_dirname(info.dli_fname);
    BindRuntimeTexts((std::string(folder) + "/locale").c_str());
    return true;
  }();
  (void)bound;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT CreateWebViewEnvironmentWithOptionsInternal(
    int flag, UINT32 runtimeKind, LPCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
  static_assert(std::is_same_v<decltype(&CreateWebViewEnvironmentWithOptionsInternal),
                               CreateWebViewEnvironmentWithOptionsInternalFn>);
  if (!environmentCreatedHandler) return E_POINTER;
  // The engine's settings need GTK with a display; a program that has not
  // opened one yet gets it opened here.
  if (!gtk_init_check(nullptr, nullptr)) return E_FAIL;
  BindTextsBesideLibrary();
  // SharedArrayBuffer is switched on only through this option, read when a
  // web process starts; every web process starts after this point.
  g_setenv("JSC_useSharedArrayBuffer", "1", TRUE);

  const std::string folder = userDataFolder ? WideToUtf8(userDataFolder) : std::string();
  const BrowserArguments arguments = BrowserArguments::Parse(
      TakeString(&ICoreWebView2EnvironmentOptions::get_AdditionalBrowserArguments, environmentOptions));
  const std::string language = TakeString(&ICoreWebView2EnvironmentOptions::get_Language, environmentOptions);

  ComPtr<RuntimeEnvironment> environment;
  if (const HRESULT hr = RuntimeEnvironment::Create(folder, arguments, language, &environment); FAILED(hr)) return hr;
  RequestTrace::Instance().Event("environment-created", "", {{"version", kVersion}});
  MainLoopQueue::Post([environment,
                       done = ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
                           environmentCreatedHandler)] { done->Invoke(S_OK, environment.Get()); });
  return S_OK;
}
