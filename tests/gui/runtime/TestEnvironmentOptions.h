#pragma once
// The environment options a host passes: browser arguments and language; the
// rest answer with empty values.
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"

class TestEnvironmentOptions final : public RuntimeClass<ICoreWebView2EnvironmentOptions> {
 public:
  TestEnvironmentOptions(std::u16string arguments, std::u16string language)
      : m_arguments(std::move(arguments)), m_language(std::move(language)) {}

  HRESULT get_AdditionalBrowserArguments(LPWSTR* value) override { return Copy(m_arguments, value); }
  HRESULT put_AdditionalBrowserArguments(LPCWSTR value) override {
    m_arguments = value ? value : u"";
    return S_OK;
  }
  HRESULT get_Language(LPWSTR* value) override { return Copy(m_language, value); }
  HRESULT put_Language(LPCWSTR value) override {
    m_language = value ? value : u"";
    return S_OK;
  }
  HRESULT get_TargetCompatibleBrowserVersion(LPWSTR* value) override { return Copy(u"", value); }
  HRESULT put_TargetCompatibleBrowserVersion(LPCWSTR) override { return S_OK; }
  HRESULT get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override {
    *allow = FALSE;
    return S_OK;
  }
  HRESULT put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL) override { return S_OK; }

 private:
  static HRESULT Copy(std::u16string_view text, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = CoTaskMemStrDup(text);
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  std::u16string m_arguments;
  std::u16string m_language;
};
