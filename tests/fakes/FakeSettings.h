#pragma once
// The web view's settings object: records each change in the engine log and
// keeps the values.
#include <memory>
#include <string>

#include "com/RuntimeClass.h"
#include "fakes/FakeEngineLog.h"
#include "webview/ICoreWebView2Settings.h"

class FakeSettings final : public RuntimeClass<ICoreWebView2Settings> {
 public:
  explicit FakeSettings(std::shared_ptr<FakeEngineLog> log) : m_log(std::move(log)) {}

  HRESULT put_IsScriptEnabled(BOOL value) override { return Put("put_IsScriptEnabled", value, isScriptEnabled); }
  HRESULT put_AreDefaultScriptDialogsEnabled(BOOL value) override {
    return Put("put_AreDefaultScriptDialogsEnabled", value, areDefaultScriptDialogsEnabled);
  }
  HRESULT put_IsWebMessageEnabled(BOOL value) override {
    return Put("put_IsWebMessageEnabled", value, isWebMessageEnabled);
  }
  HRESULT put_AreDevToolsEnabled(BOOL value) override { return Put("put_AreDevToolsEnabled", value, areDevToolsEnabled); }

  // The runtime's defaults until the program changes them.
  BOOL isScriptEnabled = TRUE;
  BOOL areDefaultScriptDialogsEnabled = TRUE;
  BOOL isWebMessageEnabled = TRUE;
  BOOL areDevToolsEnabled = TRUE;

 private:
  HRESULT Put(const char* name, BOOL value, BOOL& field) {
    m_log->Add(std::string(name) + "(" + std::to_string(value) + ")");
    field = value;
    return S_OK;
  }
  std::shared_ptr<FakeEngineLog> m_log;
};
