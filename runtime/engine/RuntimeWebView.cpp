#include "runtime/engine/RuntimeWebView.h"

#include <algorithm>
#include <utility>

#include "runtime/engine/EngineSignals.h"
#include "runtime/engine/LocalDownload.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/engine/UriWildcard.h"
#include "runtime/events/DownloadOperation.h"
#include "runtime/events/DownloadStartingEventArgs.h"
#include "runtime/events/NavigationStartingEventArgs.h"
#include "runtime/events/NewWindowRequestedEventArgs.h"
#include "runtime/events/WebResourceRequest.h"
#include "runtime/events/WebResourceRequestedEventArgs.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

// What a call on a view whose engine view is gone answers: the view has
// been closed together with its window.
constexpr HRESULT kInvalidState = HResultFromWin32(5023);  // ERROR_INVALID_STATE

// Where the runtime object of an engine view is kept on that view.
GQuark RuntimeViewQuark() { return g_quark_from_static_string("vellumview-runtime-web-view"); }

bool HasScheme(std::string_view uri, std::string_view scheme) {
  const char* found = g_uri_peek_scheme(std::string(uri).c_str());
  return found && scheme == found;
}

// The address without its fragment, which never reaches a server.
std::string_view WithoutFragment(std::string_view uri) { return uri.substr(0, uri.find('#')); }

}  // namespace

std::string RuntimeWebView::FileUri(const char* engineUri) const {
  return m_environment->Address().ToFileUri(engineUri ? engineUri : "");
}

std::u16string RuntimeWebView::ProgramUri(const char* engineUri) const { return Utf8ToWide(FileUri(engineUri)); }

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
  environment->AddView(self.Get());
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
  StopHoldingLoads();
  m_environment->RemoveView(this);
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
  // A local address is loaded as it is: the navigation decision maps it to
  // the loopback server. That the view has loaded a file:// address itself
  // is also what lets its pages' own file:// links and new windows reach the
  // decision at all (and keeps a new-window link to one from crashing the
  // page's process). Nothing loads before the secret cookie is in place.
  m_environment->WhenReady([self = ComPtr<RuntimeWebView>(this), text] {
    if (self->IsUsable()) self->LoadUri(text);
  });
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
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return OnResponsePolicy(WEBKIT_RESPONSE_POLICY_DECISION(decision));
  // New-window actions go on to "create", where they become new-window
  // requests.
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* raw = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const std::string uri = raw ? raw : "";
  const LoopbackAddress& address = m_environment->Address();
  // The server's own addresses and the page-internal schemes go on at once.
  // A decision carries no frame, and frames must load without the event:
  // for a local document the server raises NavigationStarting when the
  // main frame's request arrives (the engine marks it as a document, a
  // frame's as an iframe); for a web address it is raised when the main
  // frame's response arrives.
  if (address.IsServerUri(uri) || HasScheme(uri, "http") || HasScheme(uri, "https") || HasScheme(uri, "about") ||
      HasScheme(uri, "data") || HasScheme(uri, "blob") || HasScheme(uri, "javascript")) {
    webkit_policy_decision_use(decision);
    return TRUE;
  }
  // A file:// address (the start page, Navigate, a page's absolute file://
  // link or location assignment) and any other scheme: the program decides
  // now. A file:// decision is always ignored and a local file that may
  // load is then loaded from the server.
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this),
                       held = GObjectPtr<WebKitPolicyDecision>::Ref(decision), uri] {
    self->DecideNavigation(held, uri);
  });
  return TRUE;
}

gboolean RuntimeWebView::OnResponsePolicy(WebKitResponsePolicyDecision* decision) {
  if (!webkit_response_policy_decision_is_main_frame_main_resource(decision)) return FALSE;
  WebKitURIResponse* response = webkit_response_policy_decision_get_response(decision);
  const char* raw = webkit_uri_response_get_uri(response);
  const std::string uri = raw ? raw : "";
  if (m_environment->Address().IsServerUri(uri)) {
    // The program cancelled this navigation when its request arrived.
    if (webkit_uri_response_get_status_code(response) == 204) {
      webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
      return TRUE;
    }
    // Otherwise the engine's default: it shows what it can (a page without
    // a type is sniffed, so an extensionless HTML file displays) and
    // downloads the rest.
    return FALSE;
  }
  if (!HasScheme(uri, "http") && !HasScheme(uri, "https")) return FALSE;
  MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this),
                       held = GObjectPtr<WebKitPolicyDecision>::Ref(WEBKIT_POLICY_DECISION(decision)), uri] {
    const bool cancel = self->RaiseNavigationStarting(uri);
    if (cancel)
      webkit_policy_decision_ignore(held.Get());
    else
      webkit_policy_decision_use(held.Get());
  });
  return TRUE;
}

bool RuntimeWebView::RaiseNavigationStarting(const std::string& uri) {
  const std::string fileUri = FileUri(uri.c_str());
  ComPtr<NavigationStartingEventArgs> args = MakeComObject<NavigationStartingEventArgs>(Utf8ToWide(fileUri));
  if (args)
    for (const auto& handler : m_navigationStartingHandlers.Snapshot()) handler->Invoke(this, args.Get());
  const bool cancel = (args && args->IsCancelled()) || m_closed;
  RequestTrace::Instance().Event("navigation-starting", fileUri, {{"cancel", cancel ? "1" : "0"}});
  return cancel;
}

bool RuntimeWebView::AllowDocumentRequest(const std::string& fileUri) {
  // The runtime's own load of a local page the program has already let
  // through is not asked about twice.
  if (m_announced && WithoutFragment(*m_announced) == WithoutFragment(fileUri)) {
    m_announced.reset();
    return true;
  }
  return !RaiseNavigationStarting(fileUri);
}

void RuntimeWebView::DecideNavigation(GObjectPtr<WebKitPolicyDecision> decision, const std::string& uri) {
  const bool cancel = RaiseNavigationStarting(uri);
  // Any other scheme is the engine's to load (or fail), as the program says.
  if (!HasScheme(uri, "file")) {
    if (cancel)
      webkit_policy_decision_ignore(decision.Get());
    else
      webkit_policy_decision_use(decision.Get());
    return;
  }
  webkit_policy_decision_ignore(decision.Get());
  if (cancel || !IsUsable()) return;
  if (const auto serverUri = m_environment->Address().ToServerUri(uri)) {
    m_announced = uri;
    LoadUri(*serverUri);
    return;
  }
  // A file:// address naming another host is no local file, and the engine's
  // own file loader would serve it with the host ignored: it never loads.
  RequestTrace::Instance().Event("local-request-refused", uri, {{"reason", "not-local"}});
}

void RuntimeWebView::LoadUri(const std::string& engineUri) {
  // The engine drops a load asked for while its main-frame load has started
  // but that load's commit has not reached this process yet, which happens
  // when the page has just moved to a new web process for its isolation
  // headers: the view then stays on the old page and the new one never loads.
  // Such a load waits for the commit, the end or the failure of the current
  // load (the latest request wins), and never longer than the bound, so a
  // slow page cannot hold it back.
  if (!m_loadUncommitted) {
    webkit_web_view_load_uri(m_view.Get(), engineUri.c_str());
    return;
  }
  m_heldLoad = engineUri;
  if (!m_heldLoadTimer) m_heldLoadTimer = g_timeout_add(kHeldLoadBoundMs, &RuntimeWebView::OnHeldLoadTimeout, this);
  RequestTrace::Instance().Event("load-held", FileUri(engineUri.c_str()));
}

gboolean RuntimeWebView::OnHeldLoadTimeout(gpointer self) {
  auto* view = static_cast<RuntimeWebView*>(self);
  view->m_heldLoadTimer = 0;
  view->ReleaseHeldLoad();
  return G_SOURCE_REMOVE;
}

void RuntimeWebView::ReleaseHeldLoad() {
  const std::optional<std::string> held = m_heldLoad;
  StopHoldingLoads();
  if (held && IsUsable()) webkit_web_view_load_uri(m_view.Get(), held->c_str());
}

void RuntimeWebView::StopHoldingLoads() {
  if (m_heldLoadTimer) g_source_remove(std::exchange(m_heldLoadTimer, 0));
  m_heldLoad.reset();
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
  RequestTrace::Instance().Event("new-window-requested", FileUri(uri.c_str()),
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
  if (loadEvent == WEBKIT_LOAD_STARTED) m_loadUncommitted = true;
  if (loadEvent == WEBKIT_LOAD_COMMITTED || loadEvent == WEBKIT_LOAD_FINISHED) OnLoadSettled();
  if (loadEvent == WEBKIT_LOAD_COMMITTED)
    RequestTrace::Instance().Event("load-committed", FileUri(webkit_web_view_get_uri(m_view.Get())));
  if (loadEvent == WEBKIT_LOAD_FINISHED)
    RequestTrace::Instance().Event("load-finished", FileUri(webkit_web_view_get_uri(m_view.Get())));
}

void RuntimeWebView::OnLoadSettled() {
  m_loadUncommitted = false;
  // Loaded once the engine has returned from the event it is raising.
  if (m_heldLoad) MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this)] { self->ReleaseHeldLoad(); });
}

bool RuntimeWebView::OnLoadFailed(WebKitLoadEvent loadEvent, const char* failingUri, const GError* error) {
  RequestTrace::Instance().Event("load-failed", FileUri(failingUri), {{"error", error ? error->message : ""}});
  OnLoadSettled();
  // A web page the main frame could not reach never had a response, which is
  // where NavigationStarting is raised for web addresses; without this the
  // engine's error page would take the view away from its page. Failures the
  // policy caused (a cancelled navigation) and stopped loads are no such case.
  const std::string uri = failingUri ? failingUri : "";
  if (loadEvent == WEBKIT_LOAD_COMMITTED || loadEvent == WEBKIT_LOAD_FINISHED) return false;
  if (!HasScheme(uri, "http") && !HasScheme(uri, "https")) return false;
  if (m_environment->Address().IsServerUri(uri)) return false;
  if (error && (error->domain == WEBKIT_POLICY_ERROR ||
                g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)))
    return false;
  return RaiseNavigationStarting(uri);
}

gboolean RuntimeWebView::OnScriptDialog() {
  // Returning TRUE answers the dialog without showing it.
  return m_settings->AreDefaultScriptDialogsEnabled() ? FALSE : TRUE;
}

void RuntimeWebView::OnWebProcessTerminated(WebKitWebProcessTerminationReason reason) {
  const char* why = reason == WEBKIT_WEB_PROCESS_CRASHED              ? "crashed"
                    : reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "memory"
                                                                          : "ended";
  RequestTrace::Instance().Event("web-process-terminated", FileUri(webkit_web_view_get_uri(m_view.Get())),
                                 {{"reason", why}});
  // No commit or failure follows for a load the ended process had.
  OnLoadSettled();
}

void RuntimeWebView::OnEngineViewDestroyed() {
  m_destroyed = true;
  m_parent = nullptr;
  Close();
}

void RuntimeWebView::Close() {
  if (m_closed) return;
  m_environment->RemoveView(this);
  // Declared first, so released last: the handlers let go below may hold the
  // last reference on this object.
  ComPtr<RuntimeWebView> keepAlive(this);
  m_closed = true;
  StopHoldingLoads();
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

gboolean RuntimeWebView::OnDecideDestination(WebKitDownload* download, const char* suggestedName) {
  // The engine wants the destination there and then and does not wait for a
  // later answer; if the queued event has not run yet, the program is asked
  // now (this signal, too, comes from the main loop).
  DecideDownload(download);
  const DownloadState* state = StateOf(download);
  if (!state || state->cancelled) return TRUE;
  // Local content is saved by LocalDownload, and its engine download has
  // been cancelled.
  WebKitURIRequest* request = webkit_download_get_request(download);
  const char* uri = request ? webkit_uri_request_get_uri(request) : "";
  if (m_environment->Address().IsServerUri(uri ? uri : "")) return TRUE;
  // Every other download goes to the user's download folder under a name
  // not yet taken, so it never replaces a file already there.
  std::string name = suggestedName && *suggestedName ? suggestedName : "download";
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string folder = LocalDownload::Folder();
  g_mkdir_with_parents(folder.c_str(), 0755);
  const std::string destination = LocalDownload::UniquePath(folder, name);
  gchar* destinationUri = g_filename_to_uri(destination.c_str(), nullptr, nullptr);
  if (!destinationUri) return FALSE;
  webkit_download_set_allow_overwrite(download, FALSE);
  webkit_download_set_destination(download, destinationUri);
  g_free(destinationUri);
  RequestTrace::Instance().Event("download-destination", FileUri(uri ? uri : ""), {{"destination", destination}});
  return TRUE;
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
  RequestTrace::Instance().Event("download-starting", FileUri(uri), {{"cancel", state->cancelled ? "1" : "0"}});
  // A download the engine has already ended has nothing left to stop (and
  // the engine does not take a cancel then).
  if (state->cancelled) {
    if (!state->over) webkit_download_cancel(download);
    return;
  }
  // Local content cannot be downloaded by the engine itself: the runtime
  // saves the file in its place.
  const LoopbackAddress& address = m_environment->Address();
  std::string path;
  if (address.IsServerUri(uri) && SUCCEEDED(FileUrlToNativePath(address.ToFileUri(uri), path))) {
    if (!state->over) webkit_download_cancel(download);
    LocalDownload::Save(path, "", address.ToFileUri(uri));
  }
}

bool RuntimeWebView::MatchesFilter(const std::u16string& fileUri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) const {
  // Every request the loopback server passes on comes from a document, so any
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
