#pragma once
// The web view's settings, kept in the engine's settings object of that view.
#include <webkit2/webkit2.h>

#include "com/RuntimeClass.h"
#include "platform/linux/GObjectPtr.h"
#include "webview/ICoreWebView2Settings.h"

struct BrowserArguments;

class RuntimeSettings final : public RuntimeClass<ICoreWebView2Settings> {
 public:
  // Builds the engine settings for one view: scripts and dialogs on,
  // developer extras off, and the switches the program passed.
  explicit RuntimeSettings(const BrowserArguments& arguments);

  HRESULT put_IsScriptEnabled(BOOL isScriptEnabled) override;
  HRESULT put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) override;
  HRESULT put_IsWebMessageEnabled(BOOL isWebMessageEnabled) override;
  HRESULT put_AreDevToolsEnabled(BOOL areDevToolsEnabled) override;

  WebKitSettings* Settings() const { return m_settings.Get(); }
  bool AreDefaultScriptDialogsEnabled() const { return m_scriptDialogs; }

 private:
  GObjectPtr<WebKitSettings> m_settings;
  bool m_scriptDialogs = true;
};
