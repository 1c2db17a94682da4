#pragma once
// The arguments of the navigation, download and new-window events of the
// fake engine: each hands out its address (or fails to) and remembers what
// the handler set.
#include <optional>
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/EngineContract.h"

class FakeNavigationStartingEventArgs final : public RuntimeClass<ICoreWebView2NavigationStartingEventArgs> {
 public:
  explicit FakeNavigationStartingEventArgs(std::u16string uri) : m_uri(std::move(uri)) {}
  HRESULT get_Uri(LPWSTR* uri) override { return uri ? (*uri = CoTaskMemStrDup(m_uri), S_OK) : E_POINTER; }
  HRESULT put_Cancel(BOOL value) override { return cancel = value, S_OK; }
  std::optional<BOOL> cancel;

 private:
  std::u16string m_uri;
};

// The arguments of a download, which are also its operation; without an
// address they stand for an engine that hands no operation out.
class FakeDownloadStartingEventArgs final
    : public RuntimeClass<ICoreWebView2DownloadStartingEventArgs, ICoreWebView2DownloadOperation> {
 public:
  explicit FakeDownloadStartingEventArgs(std::optional<std::u16string> uri) : m_uri(std::move(uri)) {}
  HRESULT get_DownloadOperation(ICoreWebView2DownloadOperation** out) override {
    return ComPtr<ICoreWebView2DownloadOperation>(m_uri ? this : nullptr).CopyTo(out);
  }
  HRESULT get_Uri(LPWSTR* uri) override { return uri ? (*uri = CoTaskMemStrDup(*m_uri), S_OK) : E_POINTER; }
  HRESULT put_Cancel(BOOL value) override { return cancel = value, S_OK; }
  std::optional<BOOL> cancel;

 private:
  std::optional<std::u16string> m_uri;
};

// A request whose address cannot be read: get_Uri fails with the given code.
class FakeNewWindowRequestedEventArgs final : public RuntimeClass<ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  explicit FakeNewWindowRequestedEventArgs(HRESULT failure) : m_failure(failure) {}
  HRESULT get_Uri(LPWSTR* uri) override { return uri ? (*uri = nullptr, m_failure) : E_POINTER; }
  HRESULT put_Handled(BOOL value) override { return handled = value, S_OK; }
  std::optional<BOOL> handled;

 private:
  HRESULT m_failure;
};
