// The web view's navigation decisions: the engine's policy decisions become
// NavigationStarting (for the main frame only) and NewWindowRequested, and a
// load the runtime asks for may be held back until the current one commits.
// A main-frame navigation the page starts is decided before its request
// leaves; one the top frame did not report (the program's own Navigate to a
// web address) is still decided when its response arrives.
#include "runtime/engine/RuntimeWebView.h"

#include <string>
#include <string_view>
#include <utility>

#include "runtime/engine/MainLoopQueue.h"
#include "runtime/events/NavigationStartingEventArgs.h"
#include "runtime/events/NewWindowRequestedEventArgs.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/Strings.h"

namespace {

bool HasScheme(std::string_view uri, std::string_view scheme) {
  const char* found = g_uri_peek_scheme(std::string(uri).c_str());
  return found && scheme == found;
}

// The address without its fragment, which never reaches a server.
std::string_view WithoutFragment(std::string_view uri) { return uri.substr(0, uri.find('#')); }

}  // namespace

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
  // A navigation the top frame reported is the main frame's: the program
  // decides it now, before the engine sends anything, with the address as
  // the page asked for it (a form's action, a link before any redirect).
  // Local pages are decided when their request reaches the server, and
  // javascript: addresses run in the page.
  const bool mainFrame = m_mainFrameNavigations && m_mainFrameNavigations->Claim(uri);
  if (mainFrame && !address.IsServerUri(uri) && !HasScheme(uri, "file") && !HasScheme(uri, "javascript")) {
    MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this),
                         held = GObjectPtr<WebKitPolicyDecision>::Ref(decision), uri] {
      self->DecideMainFrameNavigation(held, uri);
    });
    return TRUE;
  }
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
    // Otherwise the engine shows what it can (a page without a type is
    // sniffed, so an extensionless HTML file displays). What it cannot
    // show (an archive, say) becomes a download, which the program is asked
    // about like any other; the engine by itself would drop it unsaved.
    if (webkit_response_policy_decision_is_mime_type_supported(decision)) return FALSE;
    webkit_policy_decision_download(WEBKIT_POLICY_DECISION(decision));
    return TRUE;
  }
  if (!HasScheme(uri, "http") && !HasScheme(uri, "https")) return FALSE;
  if (std::exchange(m_webNavigationDecided, false)) return FALSE;
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

void RuntimeWebView::DecideMainFrameNavigation(GObjectPtr<WebKitPolicyDecision> decision, const std::string& uri) {
  if (RaiseNavigationStarting(uri)) {
    webkit_policy_decision_ignore(decision.Get());
    return;
  }
  m_webNavigationDecided = HasScheme(uri, "http") || HasScheme(uri, "https");
  webkit_policy_decision_use(decision.Get());
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
  if (auto serverUri = m_environment->Address().ToServerUri(uri)) {
    m_announced = uri;
    // A request the server gets before the engine has the secret would be
    // refused: the load waits for it (it is there long before, but for the
    // first page).
    m_environment->WhenReady([self = ComPtr<RuntimeWebView>(this), serverUri = std::move(*serverUri)] {
      if (self->IsUsable()) self->LoadUri(serverUri);
    });
    return;
  }
  // A file:// address naming another host is no local file, and the engine's
  // own file loader would serve it with the host ignored: it never loads.
  RequestTrace::Instance().Event("local-request-refused", uri, {{"reason", "not-local"}});
}

bool RuntimeWebView::OnLoadFailed(WebKitLoadEvent loadEvent, const char* failingUri, const GError* error) {
  RequestTrace::Instance().Event("load-failed", FileUri(failingUri), {{"error", error ? error->message : ""}});
  OnLoadSettled();
  // A web page the main frame could not reach never had a response, which is
  // where NavigationStarting is raised for web addresses; without this the
  // engine's error page would take the view away from its page. Failures the
  // policy caused (a cancelled navigation) and stopped loads are no such case.
  const std::string uri = failingUri ? failingUri : "";
  if (std::exchange(m_webNavigationDecided, false)) return false;
  if (loadEvent == WEBKIT_LOAD_COMMITTED || loadEvent == WEBKIT_LOAD_FINISHED) return false;
  if (!HasScheme(uri, "http") && !HasScheme(uri, "https")) return false;
  if (m_environment->Address().IsServerUri(uri)) return false;
  if (error && (error->domain == WEBKIT_POLICY_ERROR ||
                g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)))
    return false;
  return RaiseNavigationStarting(uri);
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

void RuntimeWebView::OnLoadSettled() {
  m_loadUncommitted = false;
  // Loaded once the engine has returned from the event it is raising.
  if (m_heldLoad) MainLoopQueue::Post([self = ComPtr<RuntimeWebView>(this)] { self->ReleaseHeldLoad(); });
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
