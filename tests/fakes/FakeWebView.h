#pragma once
// The web view of the fake engine. It answers every web view interface of
// the contract unless a test withholds one, records navigation and
// registrations in the engine log, keeps the registered handlers and raises
// their events when a test asks for it.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "com/RuntimeClass.h"
#include "fakes/FakeEngineLog.h"
#include "fakes/FakeSettings.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

class FakeWebView final : public RuntimeClass<ICoreWebView2_22> {
  // First, because the settings object below is made with it.
  std::shared_ptr<FakeEngineLog> m_log;

 public:
  explicit FakeWebView(std::shared_ptr<FakeEngineLog> log)
      : m_log(std::move(log)), settings(MakeComObject<FakeSettings>(m_log)) {}

  // --- Test controls ---------------------------------------------------------
  // Makes QueryInterface refuse the interface, as an older runtime would.
  void Withhold(const IID& iid) { m_withheld.push_back(iid); }
  void SetEnvironment(ICoreWebView2Environment* value) { environment = value; }
  // Drops every handler, as the runtime does when its controller goes away;
  // the handlers may hold the web view, so this breaks that cycle.
  void DropHandlers() {
    m_fullScreenHandlers.clear();
    m_navigationHandlers.clear();
    m_newWindowHandlers.clear();
    m_resourceHandlers.clear();
    m_downloadHandlers.clear();
  }

  HRESULT RaiseWebResourceRequested(ICoreWebView2WebResourceRequestedEventArgs* args) {
    return RaiseAll(m_resourceHandlers, args);
  }
  HRESULT RaiseContainsFullScreenElementChanged() { return RaiseAll(m_fullScreenHandlers, static_cast<IUnknown*>(nullptr)); }
  HRESULT RaiseNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args) {
    return RaiseAll(m_navigationHandlers, args);
  }
  HRESULT RaiseNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args) {
    return RaiseAll(m_newWindowHandlers, args);
  }
  HRESULT RaiseDownloadStarting(ICoreWebView2DownloadStartingEventArgs* args) {
    return RaiseAll(m_downloadHandlers, args);
  }

  std::size_t WebResourceRequestedHandlerCount() const { return m_resourceHandlers.size(); }
  std::size_t ContainsFullScreenElementChangedHandlerCount() const { return m_fullScreenHandlers.size(); }
  std::size_t NavigationStartingHandlerCount() const { return m_navigationHandlers.size(); }
  std::size_t NewWindowRequestedHandlerCount() const { return m_newWindowHandlers.size(); }
  std::size_t DownloadStartingHandlerCount() const { return m_downloadHandlers.size(); }

  // --- Contract ----------------------------------------------------------------
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (std::find(m_withheld.begin(), m_withheld.end(), riid) != m_withheld.end()) {
      if (object) *object = nullptr;
      return E_NOINTERFACE;
    }
    return RuntimeClass::QueryInterface(riid, object);
  }

  ULONG Release() override {
    if (logReleases) m_log->Add("Release WebView");
    return RuntimeClass::Release();
  }

  HRESULT get_Settings(ICoreWebView2Settings** out) override {
    m_log->Add("get_Settings");
    if (!out) return E_POINTER;
    if (FAILED(getSettingsResult)) {
      *out = nullptr;
      return getSettingsResult;
    }
    return ComPtr<ICoreWebView2Settings>(settings).CopyTo(out);
  }
  HRESULT Navigate(LPCWSTR uri) override {
    m_log->Add("Navigate(" + WideToUtf8(uri ? uri : u"") + ")");
    navigations.push_back(uri ? uri : u"");
    return S_OK;
  }
  HRESULT GoBack() override { return Log("GoBack"); }
  HRESULT GoForward() override { return Log("GoForward"); }
  HRESULT Reload() override { return Log("Reload"); }
  HRESULT get_ContainsFullScreenElement(BOOL* value) override {
    if (!value) return E_POINTER;
    if (FAILED(containsFullScreenElementResult)) return containsFullScreenElementResult;
    *value = containsFullScreenElement;
    return S_OK;
  }
  HRESULT add_ContainsFullScreenElementChanged(ICoreWebView2ContainsFullScreenElementChangedEventHandler* handler,
                                               EventRegistrationToken* token) override {
    return Add("add_ContainsFullScreenElementChanged", m_fullScreenHandlers, handler, token);
  }
  HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                 EventRegistrationToken* token) override {
    return Add("add_NavigationStarting", m_navigationHandlers, handler, token);
  }
  HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* handler,
                                 EventRegistrationToken* token) override {
    return Add("add_NewWindowRequested", m_newWindowHandlers, handler, token);
  }
  HRESULT add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                   EventRegistrationToken* token) override {
    return Add("add_WebResourceRequested", m_resourceHandlers, handler, token);
  }
  HRESULT get_Environment(ICoreWebView2Environment** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (FAILED(getEnvironmentResult)) return getEnvironmentResult;
    return environment.CopyTo(out);
  }
  HRESULT add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* handler,
                               EventRegistrationToken* token) override {
    return Add("add_DownloadStarting", m_downloadHandlers, handler, token);
  }
  HRESULT AddWebResourceRequestedFilterWithRequestSourceKinds(
      LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context,
      COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS kinds) override {
    m_log->Add("AddWebResourceRequestedFilterWithRequestSourceKinds(" + WideToUtf8(uri ? uri : u"") + "," +
               std::to_string(static_cast<int>(context)) + "," + std::to_string(static_cast<std::uint32_t>(kinds)) +
               ")");
    return S_OK;
  }

  ComPtr<FakeSettings> settings;
  HRESULT getSettingsResult = S_OK;
  ComPtr<ICoreWebView2Environment> environment;
  HRESULT getEnvironmentResult = S_OK;
  BOOL containsFullScreenElement = FALSE;
  HRESULT containsFullScreenElementResult = S_OK;
  std::vector<std::u16string> navigations;
  // Writes "Release WebView" to the log for every Release when set.
  bool logReleases = false;
  // The token value handed out by the next registration.
  INT64 nextToken = 1;

 private:
  std::vector<IID> m_withheld;

  HRESULT Log(const char* call) {
    m_log->Add(call);
    return S_OK;
  }
  template <typename Handler>
  HRESULT Add(const char* call, std::vector<ComPtr<Handler>>& list, Handler* handler, EventRegistrationToken* token) {
    m_log->Add(call);
    if (!handler || !token) return E_POINTER;
    list.emplace_back(handler);
    token->value = nextToken++;
    return S_OK;
  }
  template <typename Handler, typename Args>
  HRESULT RaiseAll(std::vector<ComPtr<Handler>>& list, Args* args) {
    // A copy, so that a handler that registers another does not disturb the walk.
    const auto handlers = list;
    HRESULT result = S_OK;
    for (const auto& handler : handlers) {
      const HRESULT hr = handler->Invoke(this, args);
      if (FAILED(hr)) result = hr;
    }
    return result;
  }

  std::vector<ComPtr<ICoreWebView2ContainsFullScreenElementChangedEventHandler>> m_fullScreenHandlers;
  std::vector<ComPtr<ICoreWebView2NavigationStartingEventHandler>> m_navigationHandlers;
  std::vector<ComPtr<ICoreWebView2NewWindowRequestedEventHandler>> m_newWindowHandlers;
  std::vector<ComPtr<ICoreWebView2WebResourceRequestedEventHandler>> m_resourceHandlers;
  std::vector<ComPtr<ICoreWebView2DownloadStartingEventHandler>> m_downloadHandlers;
};
