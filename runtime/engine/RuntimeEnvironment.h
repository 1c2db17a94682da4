#pragma once
// The browser environment: one engine web context with its data folders,
// the loopback server for local content and the web-process extension. It
// makes controllers (each with its own web view) and responses, and hands
// the server's requests to the view that answers them.
#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/RuntimeClass.h"
#include "platform/linux/GObjectPtr.h"
#include "runtime/engine/BrowserArguments.h"
#include "runtime/loopback/ILocalRequestHandler.h"
#include "runtime/loopback/LocalServer.h"
#include "webview/ICoreWebView2Environment.h"

class RuntimeWebView;

class RuntimeEnvironment final : public RuntimeClass<ICoreWebView2Environment>, public ILocalRequestHandler {
 public:
  // userDataFolder: where the engine keeps its data and cache (a subfolder
  // each); empty keeps the engine's default folders. language: the preferred
  // language tag, empty for the engine's default. Fails, creating nothing,
  // when the data folder cannot be made or written (the application's stored
  // data would silently be lost) or the loopback server cannot listen on the
  // folder's port.
  static HRESULT Create(const std::string& userDataFolder, BrowserArguments arguments, const std::string& language,
                        ComPtr<RuntimeEnvironment>* environment);
  RuntimeEnvironment(const std::string& userDataFolder, BrowserArguments arguments, const std::string& language);
  ~RuntimeEnvironment() override;

  HRESULT CreateCoreWebView2Controller(HWND parentWindow,
                                       ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;
  HRESULT CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                                    ICoreWebView2WebResourceResponse** response) override;

  WebKitWebContext* Context() const { return m_context.Get(); }
  const BrowserArguments& Arguments() const { return m_arguments; }
  const LoopbackAddress& Address() const { return m_server->Address(); }

  // Runs `task` once the secret cookie is in the engine's cookie store: a
  // local page loaded before that would be refused. At once when it is.
  void WhenReady(std::function<void()> task);

  // The views of this environment, oldest first: a view adds itself when it
  // is created and removes itself when it is closed or destroyed.
  void AddView(RuntimeWebView* view);
  void RemoveView(RuntimeWebView* view);

  // ILocalRequestHandler: the newest view answers (see there why).
  Answer HandleLocalRequest(const std::string& fileUri, bool mainFrameDocument,
                            COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override;

  // ILocalRequestHandler: adds the secret cookie to the engine's store again.
  void RestoreSecret(std::function<void()> done) override;

  // The engine started a download in this environment.
  void OnDownloadStarted(WebKitDownload* download);

  // The folder the web-process extension lies in, found beside this library.
  static std::string WebExtensionDirectory();

  // Makes the folder (and its parents) and checks that it can be written.
  static HRESULT PrepareFolder(const std::string& folder);

 private:
  HRESULT StartServer(LoopbackAddress address);
  // Gives the engine the secret cookie; `done` runs when it has taken it or failed to.
  void AddSecretCookie(std::function<void()> done);
  void OnCookieAdded();

  GObjectPtr<WebKitWebContext> m_context;
  BrowserArguments m_arguments;
  std::unique_ptr<LocalServer> m_server;
  std::string m_secret;  // the cookie's value, kept to give it again; in memory only
  bool m_ready = false;
  std::vector<std::function<void()>> m_waiting;
  std::vector<RuntimeWebView*> m_views;  // not owned; each view removes itself
};
