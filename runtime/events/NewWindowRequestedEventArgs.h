#pragma once
// The arguments of a page's request for a new window.
#include <string>

#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2NewWindowRequestedEventArgs.h"

class NewWindowRequestedEventArgs final : public RuntimeClass<ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  explicit NewWindowRequestedEventArgs(std::u16string uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override;
  HRESULT put_Handled(BOOL handled) override;

  bool IsHandled() const { return m_handled; }

 private:
  std::u16string m_uri;
  bool m_handled = false;
};
