#pragma once
// The arguments of the navigation, download and new-window events of the
// fake engine: each hands out its address (or fails to) and remembers what
// the handler set.
#include <optional>
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/EngineContract.h"

namespace fake_link {
// The address as a task-memory copy, or the failure a test asked for.
inline HRESULT CopyUri(const std::optional<std::u16string>& uri, HRESULT failure, LPWSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (FAILED(failure)) return failure;
  if (!uri) return S_OK;
  *out = CoTaskMemStrDup(*uri);
  return S_OK;
}
}  // namespace fake_link

class FakeNavigationStartingEventArgs final : public RuntimeClass<ICoreWebView2NavigationStartingEventArgs> {
 public:
  explicit FakeNavigationStartingEventArgs(std::optional<std::u16string> uri, HRESULT failure = S_OK)
      : m_uri(std::move(uri)), m_failure(failure) {}
  HRESULT get_Uri(LPWSTR* uri) override { return fake_link::CopyUri(m_uri, m_failure, uri); }
  HRESULT put_Cancel(BOOL value) override { return cancel = value, S_OK; }
  std::optional<BOOL> cancel;

 private:
  std::optional<std::u16string> m_uri;
  HRESULT m_failure;
};

class FakeDownloadOperation final : public RuntimeClass<ICoreWebView2DownloadOperation> {
 public:
  explicit FakeDownloadOperation(std::u16string uri, HRESULT failure = S_OK) : m_uri(std::move(uri)), m_failure(failure) {}
  HRESULT get_Uri(LPWSTR* uri) override { return fake_link::CopyUri(m_uri, m_failure, uri); }

 private:
  std::u16string m_uri;
  HRESULT m_failure;
};

class FakeDownloadStartingEventArgs final : public RuntimeClass<ICoreWebView2DownloadStartingEventArgs> {
 public:
  // A null operation with a failure stands for an operation the engine cannot hand out.
  FakeDownloadStartingEventArgs(ComPtr<FakeDownloadOperation> operation, HRESULT failure = S_OK)
      : operation(std::move(operation)), m_failure(failure) {}
  HRESULT get_DownloadOperation(ICoreWebView2DownloadOperation** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return FAILED(m_failure) ? m_failure : ComPtr<ICoreWebView2DownloadOperation>(operation).CopyTo(out);
  }
  HRESULT put_Cancel(BOOL value) override { return cancel = value, S_OK; }
  std::optional<BOOL> cancel;
  ComPtr<FakeDownloadOperation> operation;

 private:
  HRESULT m_failure;
};

class FakeNewWindowRequestedEventArgs final : public RuntimeClass<ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  explicit FakeNewWindowRequestedEventArgs(std::optional<std::u16string> uri, HRESULT failure = S_OK)
      : m_uri(std::move(uri)), m_failure(failure) {}
  HRESULT get_Uri(LPWSTR* uri) override {
    // The order matters to the handler: Handled must come first.
    handledBeforeUri = handled.has_value();
    return fake_link::CopyUri(m_uri, m_failure, uri);
  }
  HRESULT put_Handled(BOOL value) override { return handled = value, S_OK; }
  std::optional<BOOL> handled;
  bool handledBeforeUri = false;

 private:
  std::optional<std::u16string> m_uri;
  HRESULT m_failure;
};
