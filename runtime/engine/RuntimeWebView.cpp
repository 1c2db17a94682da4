// The web view's contract calls, its full-screen state, the engine's load
// events, closing, and the resource filters with the WebResourceRequested
// event. The navigation decisions are in RuntimeWebViewNavigation.cpp and
// the downloads in RuntimeWebViewDownloads.cpp.
#include "runtime/engine/RuntimeWebView.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "runtime/defaults/PageConsole.h"
#include "runtime/defaults/PageInspector.h"
#include "runtime/engine/EngineSignals.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/engine/ProcessorCount.h"
#include "runtime/engine/UriWildcard.h"
#include "runtime/events/WebResourceRequest.h"
#include "runtime/events/WebResourceRequestedEventArgs.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/Strings.h"

namespace {

// What a call on a view whose engine view is gone answers: the view has
// been closed together with its window.
constexpr HRESULT kInvalidState = HResultFromWin32(5023);  // ERROR_INVALID_STATE

// Where the runtime object of an engine view is kept on that view.
GQuark RuntimeViewQuark() { return g_quark_from_static_string("vellumview-runtime-web-view"); }

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
  self->m_mainFrameNavigations = std::make_unique<MainFrameNavigations>(self->m_view.Get());
  ProcessorCount::Install(self->m_view.Get());
  // After the runtime's own signals, whose script-dialog handler must run first.
  self->m_defaults = std::make_unique<ViewDefaults>(
      self->m_view.Get(), [environment](const char* uri) { return environment->Address().ToFileUri(uri ? uri : ""); });
  GtkWidget* outer = self->m_defaults->Widget();

  // Until the program sets bounds, the view fills what the parent has now.
  GtkAllocation allocation{};
  gtk_widget_get_allocation(parent, &allocation);
  gtk_widget_set_size_request(outer, std::max(allocation.width, 1), std::max(allocation.height, 1));
  if (GTK_IS_FIXED(parent))
    gtk_fixed_put(GTK_FIXED(parent), outer, 0, 0);
  else
    gtk_container_add(GTK_CONTAINER(parent), outer);
  self->m_parent = parent;
  self->m_closeGuard = std::make_unique<PageCloseGuard>(self->m_view.Get(), gtk_widget_get_toplevel(parent));
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
  if (!m_destroyed) gtk_widget_destroy(m_defaults->Widget());
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
  // page's process). The load starts at once, even before the secret cookie
  // is in place, so that the engine starts the page's process while its
  // network process takes the cookie; the decision waits for the cookie
  // before anything is asked of the server.
  LoadUri(text);
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
  GtkWidget* widget = m_defaults->Widget();
  const int width = std::max<LONG>(bounds.right - bounds.left, 0);
  const int height = std::max<LONG>(bounds.bottom - bounds.top, 0);
  if (m_parent && GTK_IS_FIXED(m_parent)) gtk_fixed_move(GTK_FIXED(m_parent), widget, bounds.left, bounds.top);
  gtk_widget_set_size_request(widget, width, height);
  return S_OK;
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
  m_closeGuard.reset();
  if (m_view && !m_destroyed) {
    m_destroyed = true;
    gtk_widget_destroy(m_defaults->Widget());
  }
  m_parent = nullptr;
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

gboolean RuntimeWebView::OnUserMessage(WebKitUserMessage* message) {
  if (std::string_view(webkit_user_message_get_name(message)) != PageConsole::kMessageName) return FALSE;
  PageConsole::Message consoleMessage;
  if (PageConsole::Read(webkit_user_message_get_parameters(message), m_environment->Address(), &consoleMessage))
    PageConsole::Report(consoleMessage);
  return TRUE;
}

gboolean RuntimeWebView::OnKeyPress(const GdkEventKey* event) {
  if (!m_view || !PageInspector::IsRequested() || !PageInspector::IsShortcut(event->keyval, event->state)) return FALSE;
  PageInspector::Show(m_view.Get(), FileUri(webkit_web_view_get_uri(m_view.Get())));
  return TRUE;
}
