#pragma once
// The web view: one engine view placed in the program's window, with the
// navigation calls and the events the program registers for. Every event is
// raised from the main loop (MainLoopQueue), never inside a program call.
#include <webkit2/webkit2.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com/RuntimeClass.h"
#include "platform/linux/GObjectPtr.h"
#include "runtime/defaults/PageCloseGuard.h"
#include "runtime/defaults/ViewDefaults.h"
#include "runtime/engine/MainFrameNavigations.h"
#include "runtime/engine/RuntimeEnvironment.h"
#include "runtime/engine/RuntimeSettings.h"
#include "runtime/events/EventHandlerList.h"
#include "webview/EngineContract.h"

class RuntimeWebView final : public RuntimeClass<ICoreWebView2_22> {
 public:
  // Creates the engine view inside `parent` (a GtkFixed, or any container)
  // and connects its signals.
  static ComPtr<RuntimeWebView> Create(ComPtr<RuntimeEnvironment> environment, GtkWidget* parent);
  ~RuntimeWebView() override;

  // The runtime object behind an engine view, null when there is none.
  static RuntimeWebView* FromEngineView(WebKitWebView* view);

  // ICoreWebView2
  HRESULT get_Settings(ICoreWebView2Settings** settings) override;
  HRESULT Navigate(LPCWSTR uri) override;
  HRESULT GoBack() override;
  HRESULT GoForward() override;
  HRESULT Reload() override;
  HRESULT get_ContainsFullScreenElement(BOOL* containsFullScreenElement) override;
  HRESULT add_ContainsFullScreenElementChanged(ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler,
                                               EventRegistrationToken* token) override;
  HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                 EventRegistrationToken* token) override;
  HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                 EventRegistrationToken* token) override;
  HRESULT add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                                   EventRegistrationToken* token) override;
  // ICoreWebView2_2
  HRESULT get_Environment(ICoreWebView2Environment** environment) override;
  // ICoreWebView2_4
  HRESULT add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* eventHandler,
                               EventRegistrationToken* token) override;
  // ICoreWebView2_22
  HRESULT AddWebResourceRequestedFilterWithRequestSourceKinds(
      LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext,
      COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) override;

  // Bounds in the parent's client coordinates.
  HRESULT SetBounds(RECT bounds);

  // Closes the view: takes the engine view out of its window and lets go of
  // every handler the program registered. The program's handlers commonly
  // hold the view itself, so without this the two would keep each other
  // alive for ever. Happens when the controller's last reference goes or
  // the window destroys the engine view.
  void Close();

  // Reactions to the engine's signals (EngineSignals connects them), by the
  // file that holds them. The page's state (RuntimeWebView.cpp):
  void OnFullScreen(bool entered);
  void OnLoadChanged(WebKitLoadEvent loadEvent);
  gboolean OnScriptDialog();
  // The page's process ended; a trace line, since the page is gone with it.
  void OnWebProcessTerminated(WebKitWebProcessTerminationReason reason);
  void OnEngineViewDestroyed();
  // A message from the page's web process (its console, PageConsole), and a
  // key on the page (the developer's inspector keys, PageInspector); TRUE
  // when handled.
  gboolean OnUserMessage(WebKitUserMessage* message);
  gboolean OnKeyPress(const GdkEventKey* event);
  // Navigation decisions (RuntimeWebViewNavigation.cpp):
  gboolean OnDecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
  void OnCreate(WebKitNavigationAction* action);
  // True when the failure is handled: no error page is shown.
  bool OnLoadFailed(WebKitLoadEvent loadEvent, const char* failingUri, const GError* error);
  // Downloads (RuntimeWebViewDownloads.cpp):
  void OnDownloadStarted(WebKitDownload* download);
  // The engine asks where a download goes; TRUE when the program cancelled it.
  gboolean OnDecideDestination(WebKitDownload* download, const char* suggestedName);
  // The engine wrote more of a download.
  void OnDownloadProgress(WebKitDownload* download);
  // The engine failed a download; OnDownloadOver follows.
  void OnDownloadFailed(WebKitDownload* download);
  // The engine finished or failed a download.
  void OnDownloadOver(WebKitDownload* download);

  // A main-frame document request reached the loopback server: raises
  // NavigationStarting unless this is the runtime's own load of a navigation
  // the program has already let through. False when the program cancelled.
  bool AllowDocumentRequest(const std::string& fileUri);

  // Raises WebResourceRequested for a local request when a filter matches;
  // gives the response the program set, or null.
  ComPtr<ICoreWebView2WebResourceResponse> RaiseWebResourceRequested(const std::string& fileUri,
                                                                     COREWEBVIEW2_WEB_RESOURCE_CONTEXT context);

 private:
  struct ResourceFilter {
    std::u16string pattern;
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context;
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS sourceKinds;
  };

  RuntimeWebView(ComPtr<RuntimeEnvironment> environment, ComPtr<RuntimeSettings> settings);

  // The address as the program sees it: local content in its file:// form.
  std::string FileUri(const char* engineUri) const;
  std::u16string ProgramUri(const char* engineUri) const;
  bool IsUsable() const { return m_view && !m_destroyed && !m_closed; }
  void RaiseFullScreenChanged(bool contains);
  bool MatchesFilter(const std::u16string& fileUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) const;

  // Navigation decisions and the held load (RuntimeWebViewNavigation.cpp).
  gboolean OnResponsePolicy(WebKitResponsePolicyDecision* decision);
  // Raises NavigationStarting with the file:// form of `uri`; true when the
  // program cancelled.
  bool RaiseNavigationStarting(const std::string& uri);
  void DecideNavigation(GObjectPtr<WebKitPolicyDecision> decision, const std::string& uri);
  // A main-frame navigation to any address but a local one, decided before
  // the engine sends its request.
  void DecideMainFrameNavigation(GObjectPtr<WebKitPolicyDecision> decision, const std::string& uri);
  void RaiseNewWindowRequested(const std::string& uri);
  // Asks the engine for a main-frame load, or holds it back while the
  // current one has started and not yet committed (see LoadUri).
  void LoadUri(const std::string& engineUri);
  void ReleaseHeldLoad();
  void StopHoldingLoads();
  static gboolean OnHeldLoadTimeout(gpointer self);
  void OnLoadSettled();
  static constexpr guint kHeldLoadBoundMs = 1000;

  // Downloads (RuntimeWebViewDownloads.cpp).
  // Raises DownloadStarting once per download, cancelling it if asked.
  void DecideDownload(WebKitDownload* download);

  ComPtr<RuntimeEnvironment> m_environment;
  ComPtr<RuntimeSettings> m_settings;
  GObjectPtr<WebKitWebView> m_view;
  // The browser's defaults around the engine view; their overlay is what the
  // parent holds.
  std::unique_ptr<ViewDefaults> m_defaults;
  std::unique_ptr<PageCloseGuard> m_closeGuard;  // while the view is in its window
  GtkWidget* m_parent = nullptr;  // not owned; the view's parent while both exist
  bool m_destroyed = false;  // the engine view has been destroyed
  bool m_closed = false;     // Close has run
  BOOL m_containsFullScreenElement = FALSE;
  std::vector<ResourceFilter> m_filters;
  // The file:// address of the local page the runtime is loading after the
  // program let its navigation through.
  std::optional<std::string> m_announced;
  // Which navigations are the main frame's (see MainFrameNavigations).
  std::unique_ptr<MainFrameNavigations> m_mainFrameNavigations;
  // The program let the main frame's current web navigation through when it
  // was decided, so its response and its failure raise nothing again.
  bool m_webNavigationDecided = false;
  // The main frame's current load has started and has not yet committed,
  // finished or failed.
  bool m_loadUncommitted = false;
  std::optional<std::string> m_heldLoad;  // the engine address of a held-back load
  guint m_heldLoadTimer = 0;              // the bound on how long it is held
  EventHandlerList<ICoreWebView2ContainsFullScreenElementChangedEventHandler> m_fullScreenHandlers;
  EventHandlerList<ICoreWebView2NavigationStartingEventHandler> m_navigationStartingHandlers;
  EventHandlerList<ICoreWebView2NewWindowRequestedEventHandler> m_newWindowHandlers;
  EventHandlerList<ICoreWebView2WebResourceRequestedEventHandler> m_webResourceHandlers;
  EventHandlerList<ICoreWebView2DownloadStartingEventHandler> m_downloadHandlers;
};
