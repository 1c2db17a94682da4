#pragma once
// A tiny program for the runtime under test: a GTK window with a GtkFixed as
// the web view's parent, the runtime library opened with dlopen, an
// environment, a controller and the handlers a real host registers. It
// answers every local request itself with the three isolation headers and a
// Content-Type chosen by the file's extension (404 for missing files), and
// records every event it receives.
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "webview/EngineContract.h"

class RuntimeHost {
 public:
  struct Options {
    // Navigations whose address contains this text are cancelled.
    std::string cancelNavigationsContaining;
    // Requests whose address contains this text get no response.
    std::string leaveUnansweredContaining;
    // New-window requests are marked handled.
    bool handleNewWindows = true;
    // Downloads whose address contains this text are cancelled.
    std::string cancelDownloadsContaining;
    // put_AreDefaultScriptDialogsEnabled.
    BOOL scriptDialogs = TRUE;
    // The browser arguments the program passes.
    std::u16string browserArguments = u"--disable-web-security --allow-file-access-from-files --allow-file-access";
  };

  explicit RuntimeHost(Options options);
  ~RuntimeHost();

  // Opens the library and creates environment and controller, running the
  // main loop until the controller exists. False with a message on failure.
  bool Start(std::string* error);
  HRESULT Navigate(const std::string& uri);

  // Runs the main loop until `done` is true or the hang guard fires (the
  // guard only stops a broken test from running for ever).
  bool RunUntil(const std::function<bool()>& done);

  const std::vector<std::string>& Requests() const { return m_requests; }
  const std::vector<std::string>& Navigations() const { return m_navigations; }
  const std::vector<std::string>& NewWindows() const { return m_newWindows; }
  const std::vector<int>& RequestContexts() const { return m_requestContexts; }
  const std::vector<std::string>& Downloads() const { return m_downloads; }
  // The values get_ContainsFullScreenElement gave in each change event.
  const std::vector<BOOL>& FullScreenValues() const { return m_fullScreenValues; }
  bool WindowWasFullScreen() const { return m_windowWasFullScreen; }

  // A real mouse click (press and release) at a point of the web view.
  void ClickInView(int x, int y);
  // Destroys the host window while the runtime objects are still held.
  void DestroyWindow();
  HRESULT PutBounds(RECT bounds);
  // Registers one more resource handler that holds the web view, as the
  // program's own does; `alive` expires when the runtime lets go of it.
  void AddHandlerHoldingTheView(std::weak_ptr<int>* alive);
  // Releases the host's references on controller and web view.
  void ReleaseRuntimeObjects();
  // How many widgets the web view's parent holds.
  int ParentChildCount() const;
  // Asks the environment for a second controller on the given parent.
  HRESULT CreateControllerOn(GtkWidget* parent);
  bool SawRequestContaining(const std::string& text) const;
  std::string RequestContaining(const std::string& text) const;
  // Calls into the runtime during which a handler of ours was invoked.
  int ReentrantCallbacks() const { return m_reentrant; }

  GtkWidget* Window() const { return m_window; }

  // Header block the host gives a response for `path`.
  static std::string HeadersFor(const std::string& path);
  static std::string PathFromFileUri(const std::string& uri);

 private:
  struct CallScope;
  void Callback();
  void OnWebResourceRequested(ICoreWebView2WebResourceRequestedEventArgs* args);

  Options m_options;
  std::string m_userDataFolder;
  GtkWidget* m_window = nullptr;
  GtkWidget* m_fixed = nullptr;
  void* m_library = nullptr;
  ComPtr<ICoreWebView2Environment> m_environment;
  ComPtr<ICoreWebView2Controller> m_controller;
  ComPtr<ICoreWebView2> m_webView;
  HRESULT m_creationResult = S_OK;
  bool m_creationDone = false;
  bool m_insideCall = false;
  int m_reentrant = 0;
  std::vector<std::string> m_requests;
  std::vector<int> m_requestContexts;
  std::vector<std::string> m_navigations;
  std::vector<std::string> m_newWindows;
  std::vector<std::string> m_downloads;
  std::vector<BOOL> m_fullScreenValues;
  bool m_windowWasFullScreen = false;
};
