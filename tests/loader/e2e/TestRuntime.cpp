// A stand-in runtime client library for the end-to-end tests of the loader
// and the Linux system services: it carries its version in the same ELF
// section as the real runtime and exports the creation entry, which refuses
// every call.
#include "com/HResult.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"

__attribute__((section(".vellumview_version"), used)) static const char kVersion[] = VELLUM_TEST_RUNTIME_VERSION;

extern "C" __attribute__((visibility("default"))) HRESULT CreateWebViewEnvironmentWithOptionsInternal(
    int, UINT32, LPCWSTR, ICoreWebView2EnvironmentOptions*, ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*) {
  return E_NOTIMPL;
}
