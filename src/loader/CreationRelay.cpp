#include "loader/CreationRelay.h"

#include "webview/ICoreWebView2Environment.h"

CreationRelay::CreationRelay(ISystem& system, const LoaderRequest& request,
                             ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
    : m_system(system), m_options(request.environmentOptions), m_request(request), m_handler(handler) {
  // The request's folder texts are already the relay's own copies; the
  // options pointer now rests on the reference taken above.
  m_request.environmentOptions = m_options.Get();
}

CreationRelay::~CreationRelay() = default;

HRESULT CreationRelay::Invoke(HRESULT errorCode, ICoreWebView2Environment* createdEnvironment) {
  if (FAILED(errorCode)) {
    // Only one thread can win the last retry, even if a misbehaving library
    // reports twice at once.
    int left = m_retriesLeft.load();
    while (left > 0 && !m_retriesLeft.compare_exchange_weak(left, left - 1)) {
    }
    if (left > 0) {
      // Keep this object alive through the attempt: the library may release
      // its own reference before the attempt returns.
      const ComPtr<CreationRelay> self(this);
      const HRESULT hr = MakeCreationAttempt(m_system, m_request, this);
      // A successful retry reports through this relay again.
      if (SUCCEEDED(hr)) return S_OK;
      if (m_handler) m_handler->Invoke(hr, nullptr);
      return S_OK;
    }
  }
  if (createdEnvironment) {
    ComPtr<ICoreWebView2Environment> environment;
    const HRESULT hr = createdEnvironment->QueryInterface(ICoreWebView2Environment::kIid,
                                                          reinterpret_cast<void**>(environment.GetAddressOf()));
    if (m_handler) m_handler->Invoke(hr, environment.Get());
    return S_OK;
  }
  if (m_handler) m_handler->Invoke(errorCode, nullptr);
  return S_OK;
}
