#pragma once
// The web view's settings object: records each change in the engine log.
#include <memory>
#include <string>

#include "com/RuntimeClass.h"
#include "tests/fakes/FakeEngineLog.h"
#include "webview/ICoreWebView2Settings.h"

class FakeSettings final : public RuntimeClass<ICoreWebView2Settings> {
 public:
  explicit FakeSettings(std::shared_ptr<FakeEngineLog> log) : m_log(std::move(log)) {}

  HRESULT put_IsScriptEnabled(BOOL value) override { return Put("put_IsScriptEnabled", value); }
  HRESULT put_AreDefaultScriptDialogsEnabled(BOOL v) override { return Put("put_AreDefaultScriptDialogsEnabled", v); }
  HRESULT put_IsWebMessageEnabled(BOOL value) override { return Put("put_IsWebMessageEnabled", value); }
  HRESULT put_AreDevToolsEnabled(BOOL value) override { return Put("put_AreDevToolsEnabled", value); }

 private:
  HRESULT Put(const char* name, BOOL value) { return m_log->Add(std::string(name) + "(" + std::to_string(value) + ")"), S_OK; }
  std::shared_ptr<FakeEngineLog> m_log;
};
