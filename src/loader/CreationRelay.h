#pragma once
// Stands between the client library and the caller's completion handler, so
// that one asynchronous failure is retried before the caller hears of it.
// The caller's handler is invoked at most once, with the final outcome.
//
// The relay keeps its own copies of the request's folder texts and its own
// reference to the options object: the caller releases its options object as
// soon as the creating call returns, and a retry must not read what has been
// released.
#include <atomic>

#include "com/ComPtr.h"
#include "com/RuntimeClass.h"
#include "loader/LoaderRequest.h"
#include "platform/ISystem.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"

class CreationRelay final : public RuntimeClass<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> {
 public:
  CreationRelay(ISystem& system, const LoaderRequest& request,
                ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

  // Receives the client library's outcome. Always returns S_OK; the caller's
  // handler's own result is not looked at.
  HRESULT Invoke(HRESULT errorCode, ICoreWebView2Environment* createdEnvironment) override;

  // The request a retry uses; its options pointer is backed by the relay's
  // own reference.
  const LoaderRequest& Request() const { return m_request; }

 private:
  ~CreationRelay() override;

  ISystem& m_system;
  ComPtr<ICoreWebView2EnvironmentOptions> m_options;
  LoaderRequest m_request;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> m_handler;
  std::atomic<int> m_retriesLeft{1};
};

// One attempt at creating the environment: discovery, then loading the
// client library and calling its creation entry with `relay` as the handler.
// A failed attempt is reported as a failure event unless the Edge browser's
// own installation was asked for.
HRESULT MakeCreationAttempt(ISystem& system, const LoaderRequest& request,
                            ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* relay);
