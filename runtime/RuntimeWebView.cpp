#include "RuntimeWebView.h"

#include <algorithm>

#include "DownloadOperation.h"
#include "DownloadStartingEventArgs.h"
#include "EngineSignals.h"
#include "LocalDownload.h"
#include "LocalFileUri.h"
#include "MainLoopQueue.h"
#include "NavigationStartingEventArgs.h"
#include "NewWindowRequestedEventArgs.h"
#include "RequestTrace.h"
#include "UriWildcard.h"
#include "WebResourceRequest.h"
#include "WebResourceRequestedEventArgs.h"
#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

// What a call on a view whose engine view is gone answers: the view has
// been closed together with its window.
constexpr HRESULT kInvalidState = HResultFromWin32(5023);  // ERROR_INVALID_STATE

// Where the runtime object of an engine view is kept on that view.
GQuark RuntimeViewQuark() { return g_quark_from_static_string("vellumview-runtime-web-view"); }

// The address as the program sees it: local content in its file:// form.
std::u16string ProgramUri(const char* engineUri) {
  return Utf8ToWide(LocalFileUri::ToFileUri(engineUri ? engineUri : ""));
}

std::string TraceUri(const char* engineUri) { return LocalFileUri::ToFileUri(engineUri ? engineUri : ""); }

}  // namespace

RuntimeWebView::RuntimeWebView(ComPtr<RuntimeEnvironment> environment, ComPtr<RuntimeSettings> settings)
    : m_environment(std::move(environment)), m_settings(std::move(settings)) {}

ComPtr<RuntimeWebView> RuntimeWebView::Create(ComPtr<RuntimeEnvironment> environment, GtkWidget* parent) {
  ComPtr<RuntimeSettings> settings = MakeComObject<RuntimeSettings>(environment->Arguments());
  if (!settings) return nullptr;
  ComPtr<RuntimeWebView> self = AdoptRef(new (std::nothrow) RuntimeWebView(environment, settings));
  if (!self) return nullptr;

  GtkWidget* widget = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", environment->Context(), "settings",
                                              settings->Settings(), nullptr));
  self->m_view = GObjectPtr<WebKitWebView>::Ref(WEBKIT_WEB_VIEW(widget));
  g_object_set_qdata(G_OBJECT(widget), RuntimeViewQuark(), self.Get());
  EngineSignals::ConnectView(self->m_view.Get(), self.Get());

  // Until the program sets bounds, the view fills what the parent has now.
  GtkAllocation allocation{};
  gtk_widget_get_allocation(parent, &allocation);
  gtk_widget_set_size_request(widget, std::max(allocation.width, 1), std::max(allocation.height, 1));
  if (GTK_IS_FIXED(parent))
    gtk_fixed_put(GTK_FIXED(parent), widget, 0, 0);
  else
    gtk_container_add(GTK_CONTAINER(parent), widget);
  self->m_parent = parent;
  gtk_widget_show(widget);
  return self;
}

RuntimeWebView::~RuntimeWebView() {
  if (!m_view) return;
  WebKitWebView* view = m_view.Get();
  g_object_set_qdata(G_OBJECT(view), RuntimeViewQuark(), nullptr);
  EngineSignals::DisconnectView(view, this);
  // The program has let go of the view: take it out of its window, unless the
  // window (or Close) has already taken it down.
  if (!m_destroyed) gtk_widget_destroy(GTK_WIDGET(view));
}

RuntimeWebView* RuntimeWebView::FromEngineView(WebKitWebView* view) {
  if (!view) return nullptr;
  return static_cast<RuntimeWebView*>(g_object_get_qdata(G_OBJECT(view), RuntimeViewQuark()));
}

HRESULT RuntimeWebView::get_Settings(ICoreWebView2Settings** settings) {
  if (!settings) return E_POINTER;
  return ComPtr<ICoreWebView2Settings>(m_settings).CopyTo(settings);
}

HRESULT RuntimeWebView::Navigate(LPCWSTR uri) {
  if (!uri) return E_INVALIDARG;
  if (!IsUsable()) return kInvalidState;
  const std::string text = WideToUtf8(uri);
  // An address must at least name its scheme; anything else is no address.
  const char* scheme = g_uri_peek_scheme(text.c_str());
  if (!scheme) return E_INVALIDARG;
  // Local files load through the private scheme; the program never sees it.
  const auto schemeUri = LocalFileUri::ToSchemeUri(text);
  webkit_web_view_load_uri(m_view.Get(), schemeUri ? schemeUri->c_str() : text.c_str());
  return S_OK;
}

HRESULT RuntimeWebView::GoBack() {
  if (!IsUsable()) return kInvalidState;
  webkit_web_view_go_back(m_view.Get());
  return S_OK;
}

HRESULT RuntimeWebView::GoForward() {
  if (!IsUsable()) return kInvalidState;
  webkit_web_view_go_forward(m_view.Get());
  return S_OK;
}

HRESULT RuntimeWebView::Reload() {
  if (!IsUsable()) return kInvalidState;
  webkit_web_view_reload(m_view.Get());
  return S_OK;
}

HRESULT RuntimeWebView::get_ContainsFullScreenElement(BOOL* containsFullScreenElement) {
  if (!containsFullScreenElement) return E_POINTER;
  *containsFullScreenElement = m_containsFullScreenElement;
  return S_OK;
}

HRESULT RuntimeWebView::add_ContainsFullScreenElementChanged(
    ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler, EventRegistrationToken* token) {
  return m_fullScreenHandlers.Add(eventHandler, token);
}

HRESULT RuntimeWebView::add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                               EventRegistrationToken* token) {
  return m_navigationStartingHandlers.Add(eventHandler, token);
}

HRESULT RuntimeWebView::add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                               EventRegistrationToken* token) {
  return m_newWindowHandlers.Add(eventHandler, token);
}

HRESULT RuntimeWebView::add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                                                 EventRegistrationToken* token) {
  return m_webResourceHandlers.Add(eventHandler, token);
}

HRESULT RuntimeWebView::get_Environment(ICoreWebView2Environment** environment) {
  if (!environment) return E_POINTER;
  return ComPtr<ICoreWebView2Environment>(m_environment).CopyTo(environment);
}

HRESULT RuntimeWebView::add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* eventHandler,
                                             EventRegistrationToken* token) {
  return m_downloadHandlers.Add(eventHandler, token);
}

HRESULT RuntimeWebView::AddWebResourceRequestedFilterWithRequestSourceKinds(
    LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) {
  if (!uri) return E_INVALIDARG;
  if (resourceContext < COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL || resourceContext > COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER)
    return E_INVALIDARG;
  m_filters.push_back({uri, resourceContext, requestSourceKinds});
  return S_OK;
}

HRESULT RuntimeWebView::SetBounds(RECT bounds) {
  if (!IsUsable()) return kInvalidState;
  GtkWidget* widget = GTK_WIDGET(m_view.Get());
  const int width = std::max<LONG>(bounds.right - bounds.left, 0);
  const int height = std::max<LONG>(bounds.bottom - bounds.top, 0);
  if (m_parent && GTK_IS_FIXED(m_parent)) gtk_fixed_move(GTK_FIXED(m_parent), widget, bounds.left, bounds.top);
  gtk_widget_set_size_request(widget, width, height);
  return S_OK;
}

gboolean RuntimeWebView::OnDecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
  // New-window actions go on to "create", where they become new-window
  // requests; response decisions keep the engine's default (show or download).
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  // The decision waits for the program, which is asked from the main loop.
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this),
                       held = GObjectPtr<WebKitPolicyDecision>::Ref(decision), target = std::string(uri ? uri : "")] {
    self->DecideNavigation(held, target);
  });
  return TRUE;
}

void RuntimeWebView::DecideNavigation(GObjectPtr<WebKitPolicyDecision> decision, const std::string& uri) {
  ComPtr<NavigationStartingEventArgs> args = MakeComObject<NavigationStartingEventArgs>(ProgramUri(uri.c_str()));
  if (!args) {
    webkit_policy_decision_use(decision.Get());
    return;
  }
  for (const auto& handler : m_navigationStartingHandlers.Snapshot()) handler->Invoke(this, args.Get());
  const bool cancel = args->IsCancelled() || m_closed;
  RequestTrace::Instance().Event("navigation-starting", TraceUri(uri.c_str()), {{"cancel", cancel ? "1" : "0"}});
  if (cancel)
    webkit_policy_decision_ignore(decision.Get());
  else
    webkit_policy_decision_use(decision.Get());
}

void RuntimeWebView::OnCreate(WebKitNavigationAction* action) {
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this), target = std::string(uri ? uri : "")] {
    self->RaiseNewWindowRequested(target);
  });
}

void RuntimeWebView::RaiseNewWindowRequested(const std::string& uri) {
  ComPtr<NewWindowRequestedEventArgs> args = MakeComObject<NewWindowRequestedEventArgs>(ProgramUri(uri.c_str()));
  if (!args) return;
  for (const auto& handler : m_newWindowHandlers.Snapshot()) handler->Invoke(this, args.Get());
  // No window is ever opened by the runtime: a request the program leaves
  // unhandled has nowhere else to go.
  RequestTrace::Instance().Event("new-window-requested", TraceUri(uri.c_str()),
                                 {{"handled", args->IsHandled() ? "1" : "0"}});
}

void RuntimeWebView::OnFullScreen(bool entered) {
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this), entered] { self->RaiseFullScreenChanged(entered); });
}

void RuntimeWebView::RaiseFullScreenChanged(bool contains) {
  // Each event carries the state of its own transition, so an enter and a
  // leave in quick succession reach the program as two distinct changes.
  m_containsFullScreenElement = contains ? TRUE : FALSE;
  RequestTrace::Instance().Event("fullscreen-changed", "", {{"value", contains ? "1" : "0"}});
  for (const auto& handler : m_fullScreenHandlers.Snapshot()) handler->Invoke(this, nullptr);
}

void RuntimeWebView::OnLoadChanged(WebKitLoadEvent loadEvent) {
  if (loadEvent == WEBKIT_LOAD_COMMITTED)
    RequestTrace::Instance().Event("load-committed", TraceUri(webkit_web_view_get_uri(m_view.Get())));
  if (loadEvent == WEBKIT_LOAD_FINISHED)
    RequestTrace::Instance().Event("load-finished", TraceUri(webkit_web_view_get_uri(m_view.Get())));
}

void RuntimeWebView::OnLoadFailed(const char* failingUri, const GError* error) {
  RequestTrace::Instance().Event("load-failed", TraceUri(failingUri), {{"error", error ? error->message : ""}});
}

gboolean RuntimeWebView::OnScriptDialog() {
  // Returning TRUE answers the dialog without showing it.
  return m_settings->AreDefaultScriptDialogsEnabled() ? FALSE : TRUE;
}

void RuntimeWebView::OnEngineViewDestroyed() {
  m_destroyed = true;
  m_parent = nullptr;
  Close();
}

void RuntimeWebView::Close() {
  if (m_closed) return;
  // Declared first, so released last: the handlers let go below may hold the
  // last reference on this object.
  ComPtr<RuntimeWebView> keepAlive(this);
  m_closed = true;
  const auto fullScreen = m_fullScreenHandlers.TakeAll();
  const auto navigationStarting = m_navigationStartingHandlers.TakeAll();
  const auto newWindow = m_newWindowHandlers.TakeAll();
  const auto webResource = m_webResourceHandlers.TakeAll();
  const auto download = m_downloadHandlers.TakeAll();
  m_filters.clear();
  if (m_view && !m_destroyed) {
    m_destroyed = true;
    gtk_widget_destroy(GTK_WIDGET(m_view.Get()));
  }
  m_parent = nullptr;
}

namespace {

// What the runtime knows about one download.
struct DownloadState {
  bool decided = false;    // the program has been asked
  bool cancelled = false;  // and it cancelled
  bool over = false;       // the engine finished or failed it
};

GQuark DownloadStateQuark() { return g_quark_from_static_string("vellumview-download-state"); }

DownloadState* StateOf(WebKitDownload* download) {
  return static_cast<DownloadState*>(g_object_get_qdata(G_OBJECT(download), DownloadStateQuark()));
}

}  // namespace

void RuntimeWebView::OnDownloadStarted(WebKitDownload* download) {
  g_object_set_qdata_full(G_OBJECT(download), DownloadStateQuark(), new DownloadState,
                          [](gpointer state) { delete static_cast<DownloadState*>(state); });
  EngineSignals::ConnectDownload(download, this);
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this), held = GObjectPtr<WebKitDownload>::Ref(download)] {
    self->DecideDownload(held.Get());
  });
}

gboolean RuntimeWebView::OnDecideDestination(WebKitDownload* download) {
  // The engine wants the destination there and then and does not wait for a
  // later answer; if the queued event has not run yet, the program is asked
  // now (this signal, too, comes from the main loop).
  DecideDownload(download);
  const DownloadState* state = StateOf(download);
  return state && state->cancelled ? TRUE : FALSE;  // FALSE: the engine's default folder
}

void RuntimeWebView::OnDownloadOver(WebKitDownload* download) {
  if (DownloadState* state = StateOf(download)) state->over = true;
}

void RuntimeWebView::DecideDownload(WebKitDownload* download) {
  DownloadState* state = StateOf(download);
  if (!state || state->decided) return;
  state->decided = true;
  WebKitURIRequest* request = webkit_download_get_request(download);
  const char* uri = request ? webkit_uri_request_get_uri(request) : "";
  ComPtr<DownloadOperation> operation = MakeComObject<DownloadOperation>(ProgramUri(uri));
  ComPtr<DownloadStartingEventArgs> args =
      operation ? MakeComObject<DownloadStartingEventArgs>(ComPtr<ICoreWebView2DownloadOperation>(operation)) : nullptr;
  if (args) {
    for (const auto& handler : m_downloadHandlers.Snapshot()) handler->Invoke(this, args.Get());
    state->cancelled = args->IsCancelled();
  }
  RequestTrace::Instance().Event("download-starting", TraceUri(uri), {{"cancel", state->cancelled ? "1" : "0"}});
  // A download the engine has already ended has nothing left to stop (and
  // the engine does not take a cancel then).
  if (state->cancelled) {
    if (!state->over) webkit_download_cancel(download);
    return;
  }
  // Local content cannot be downloaded by the engine itself: the runtime
  // saves the file in its place.
  std::string path;
  if (LocalFileUri::IsSchemeUri(uri) && SUCCEEDED(FileUrlToNativePath(LocalFileUri::ToFileUri(uri), path))) {
    if (!state->over) webkit_download_cancel(download);
    LocalDownload::Save(path, "", LocalFileUri::ToFileUri(uri));
  }
}

bool RuntimeWebView::MatchesFilter(const std::u16string& fileUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) const {
  // Every request of the private scheme comes from a document, so any
  // source kind but "none" lets it through.
  return std::any_of(m_filters.begin(), m_filters.end(), [&](const ResourceFilter& filter) {
    return (filter.context == COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL || filter.context == context) &&
           filter.sourceKinds != COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_NONE &&
           UriWildcard::Matches(filter.pattern, fileUri);
  });
}

ComPtr<ICoreWebView2WebResourceResponse> RuntimeWebView::RaiseWebResourceRequested(
    const std::string& fileUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) {
  if (m_webResourceHandlers.Empty()) return nullptr;
  const std::u16string wideUri = Utf8ToWide(fileUri);
  if (!MatchesFilter(wideUri, context)) return nullptr;
  ComPtr<WebResourceRequest> request = MakeComObject<WebResourceRequest>(wideUri);
  if (!request) return nullptr;
  ComPtr<WebResourceRequestedEventArgs> args =
      MakeComObject<WebResourceRequestedEventArgs>(ComPtr<ICoreWebView2WebResourceRequest>(request), context);
  if (!args) return nullptr;
  RequestTrace::Instance().Event("web-resource-requested", fileUri, {{"context", std::to_string(context)}});
  for (const auto& handler : m_webResourceHandlers.Snapshot()) handler->Invoke(this, args.Get());
  return args->Response();
}
