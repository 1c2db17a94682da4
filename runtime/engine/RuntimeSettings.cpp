#include "runtime/engine/RuntimeSettings.h"

#include "runtime/defaults/PageInspector.h"
#include "runtime/engine/BrowserArguments.h"

RuntimeSettings::RuntimeSettings(const BrowserArguments& arguments)
    : m_settings(GObjectPtr<WebKitSettings>::Adopt(webkit_settings_new())) {
  WebKitSettings* s = m_settings.Get();
  webkit_settings_set_enable_javascript(s, TRUE);
  webkit_settings_set_javascript_can_open_windows_automatically(s, TRUE);
  webkit_settings_set_enable_developer_extras(s, PageInspector::IsRequested() ? TRUE : FALSE);
  webkit_settings_set_enable_fullscreen(s, TRUE);
  webkit_settings_set_enable_media(s, TRUE);
  webkit_settings_set_enable_webaudio(s, TRUE);
  webkit_settings_set_enable_webgl(s, TRUE);
  if (arguments.disableWebSecurity) webkit_settings_set_disable_web_security(s, TRUE);
  // "--allow-file-access" lets file pages read other files; the engine's
  // nearest equivalent is the same pair of switches as for file-to-file access.
  if (arguments.allowFileAccessFromFiles || arguments.allowFileAccess) {
    webkit_settings_set_allow_file_access_from_file_urls(s, TRUE);
    webkit_settings_set_allow_universal_access_from_file_urls(s, TRUE);
  }
}

HRESULT RuntimeSettings::put_IsScriptEnabled(BOOL isScriptEnabled) {
  webkit_settings_set_enable_javascript(m_settings.Get(), isScriptEnabled ? TRUE : FALSE);
  return S_OK;
}

HRESULT RuntimeSettings::put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) {
  m_scriptDialogs = areDefaultScriptDialogsEnabled != FALSE;
  return S_OK;
}

HRESULT RuntimeSettings::put_IsWebMessageEnabled(BOOL) {
  // The runtime offers no web message channel yet, so there is nothing to
  // switch and nothing reads the setting back; the call succeeds, as the
  // program expects of it.
  return S_OK;
}

HRESULT RuntimeSettings::put_AreDevToolsEnabled(BOOL areDevToolsEnabled) {
  // The developer's switch outranks the program's setting, which it leaves
  // as it is: the program keeps asking for no developer tools.
  const bool enabled = areDevToolsEnabled || PageInspector::IsRequested();
  webkit_settings_set_enable_developer_extras(m_settings.Get(), enabled ? TRUE : FALSE);
  return S_OK;
}
