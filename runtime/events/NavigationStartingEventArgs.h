#pragma once
// The arguments of a main-frame navigation about to start.
#include <string>

#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2NavigationStartingEventArgs.h"

class NavigationStartingEventArgs final : public RuntimeClass<ICoreWebView2NavigationStartingEventArgs> {
 public:
  explicit NavigationStartingEventArgs(std::u16string uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override;
  HRESULT put_Cancel(BOOL cancel) override;

  bool IsCancelled() const { return m_cancel; }

 private:
  std::u16string m_uri;
  bool m_cancel = false;
};
