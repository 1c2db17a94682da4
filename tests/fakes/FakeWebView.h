#pragma once
// The web view of the fake engine. It answers every web view interface of
// the contract unless a test withholds one, records navigation, history
// commands and registrations in the engine log, and keeps the registered
// handlers; a test raises the link and full-screen events through it.
#include <memory>
#include <string>
#include <vector>

#include "com/RuntimeClass.h"
#include "tests/fakes/FakeEngineLog.h"
#include "tests/fakes/FakeSettings.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

class FakeWebView final : public RuntimeClass<ICoreWebView2_22> {
  // First, because the settings object below is made with it.
  std::shared_ptr<FakeEngineLog> m_log;

 public:
  explicit FakeWebView(std::shared_ptr<FakeEngineLog> log)
      : m_log(std::move(log)), settings(MakeComObject<FakeSettings>(m_log)) {}

  // --- Test controls ---------------------------------------------------------
  // Drops every handler, as the runtime does when its controller goes away;
  // the handlers may hold the web view, so this breaks that cycle.
  void DropHandlers() {
    m_resourceHandlers.clear(), m_fullScreenHandlers.clear();
    m_navigationHandlers.clear(), m_downloadHandlers.clear(), m_newWindowHandlers.clear();
  }
  // Each Raise call invokes every handler registered for its event; the last
  // failure, if any, is returned.
  HRESULT RaiseNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args) { return Raise(m_navigationHandlers, args); }
  HRESULT RaiseDownloadStarting(ICoreWebView2DownloadStartingEventArgs* args) { return Raise(m_downloadHandlers, args); }
  HRESULT RaiseNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args) { return Raise(m_newWindowHandlers, args); }
  std::size_t WebResourceRequestedHandlerCount() const { return m_resourceHandlers.size(); }
  // Sets what get_ContainsFullScreenElement answers and calls every full-screen handler.
  HRESULT RaiseContainsFullScreenElementChanged(BOOL contains) {
    containsFullScreenElement = contains;
    return Raise(m_fullScreenHandlers, static_cast<IUnknown*>(nullptr));
  }

  // --- Contract ----------------------------------------------------------------
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (offers22 || riid != ICoreWebView2_22::kIid) return RuntimeClass::QueryInterface(riid, object);
    return *object = nullptr, E_NOINTERFACE;
  }
  HRESULT get_Settings(ICoreWebView2Settings** out) override {
    m_log->Add("get_Settings");
    if (!out) return E_POINTER;
    *out = nullptr;
    return FAILED(getSettingsResult) ? getSettingsResult : ComPtr<ICoreWebView2Settings>(settings).CopyTo(out);
  }
  HRESULT Navigate(LPCWSTR uri) override { return Log("Navigate(" + WideToUtf8(uri ? uri : u"") + ")"); }
  HRESULT GoBack() override { return Log("GoBack"); }
  HRESULT GoForward() override { return Log("GoForward"); }
  HRESULT Reload() override { return Log("Reload"); }
  HRESULT get_ContainsFullScreenElement(BOOL* value) override {
    if (!value) return E_POINTER;
    if (FAILED(getFullScreenResult)) return getFullScreenResult;
    *value = containsFullScreenElement;
    return S_OK;
  }
  HRESULT add_ContainsFullScreenElementChanged(ICoreWebView2ContainsFullScreenElementChangedEventHandler* handler,
                                               EventRegistrationToken* token) override {
    return Add("add_ContainsFullScreenElementChanged", m_fullScreenHandlers, handler, token);
  }
  HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* h, EventRegistrationToken* t) override {
    return Add("add_NavigationStarting", m_navigationHandlers, h, t);
  }
  HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* h, EventRegistrationToken* t) override {
    return Add("add_NewWindowRequested", m_newWindowHandlers, h, t);
  }
  HRESULT add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                   EventRegistrationToken* token) override {
    return Add("add_WebResourceRequested", m_resourceHandlers, handler, token);
  }
  HRESULT get_Environment(ICoreWebView2Environment** out) override { return environment.CopyTo(out); }
  HRESULT add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* h, EventRegistrationToken* t) override {
    return Add("add_DownloadStarting", m_downloadHandlers, h, t);
  }
  HRESULT AddWebResourceRequestedFilterWithRequestSourceKinds(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context,
                                                              COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS kinds) override {
    return Log("AddWebResourceRequestedFilterWithRequestSourceKinds(" + WideToUtf8(uri ? uri : u"") + "," +
               std::to_string(int(context)) + "," + std::to_string(std::uint32_t(kinds)) + ")");
  }

  ComPtr<FakeSettings> settings;
  // False: QueryInterface refuses ICoreWebView2_22, as an older runtime would.
  bool offers22 = true;
  HRESULT getSettingsResult = S_OK;
  BOOL containsFullScreenElement = FALSE;
  HRESULT getFullScreenResult = S_OK;
  ComPtr<ICoreWebView2Environment> environment;
 private:
  template <typename List, typename Args>
  HRESULT Raise(const List& list, Args* args) {
    const auto handlers = list;  // a handler may register another
    HRESULT result = S_OK;
    for (const auto& handler : handlers)
      if (const HRESULT hr = handler->Invoke(this, args); FAILED(hr)) result = hr;
    return result;
  }
  HRESULT Log(std::string call) { return m_log->Add(std::move(call)), S_OK; }
  template <typename List, typename Handler>
  HRESULT Add(const char* call, List& list, Handler* handler, EventRegistrationToken* token) {
    m_log->Add(call);
    if (!handler || !token) return E_POINTER;
    list.emplace_back(handler);
    token->value = m_nextToken++;
    return S_OK;
  }

  INT64 m_nextToken = 1;
  std::vector<ComPtr<ICoreWebView2WebResourceRequestedEventHandler>> m_resourceHandlers;
  std::vector<ComPtr<ICoreWebView2ContainsFullScreenElementChangedEventHandler>> m_fullScreenHandlers;
  std::vector<ComPtr<ICoreWebView2NavigationStartingEventHandler>> m_navigationHandlers;
  std::vector<ComPtr<ICoreWebView2DownloadStartingEventHandler>> m_downloadHandlers;
  std::vector<ComPtr<ICoreWebView2NewWindowRequestedEventHandler>> m_newWindowHandlers;
};
