#include "runtime/engine/MainFrameNavigations.h"

#include <algorithm>

#include "runtime/loopback/RequestTrace.h"

namespace {

constexpr const char* kWorld = "vellum-navigation";
constexpr const char* kHandler = "vellumMainFrameNavigation";
// Reports older than this many are dropped: a page that starts navigations
// in a loop must not grow the list without bound.
constexpr size_t kMaxReported = 16;

// Back and forward, reloads and fragment changes are the engine's own
// movements within the page's history and reach no policy question that
// the program answers; downloads ("download" links) are decided as
// downloads.
constexpr const char* kScript = R"JS(
(() => {
  if (!self.navigation) return;
  const post = (uri) => window.webkit.messageHandlers.vellumMainFrameNavigation.postMessage(uri);
  navigation.addEventListener('navigate', (event) => {
    if (event.navigationType === 'traverse' || event.navigationType === 'reload') return;
    if (event.hashChange || event.downloadRequest !== null) return;
    post(event.destination.url);
  });
})();
)JS";

void EnableNavigationApi(WebKitWebView* view) {
  WebKitSettings* settings = webkit_web_view_get_settings(view);
  g_autoptr(WebKitFeatureList) features = webkit_settings_get_all_features();
  for (gsize i = 0; i < webkit_feature_list_get_length(features); ++i) {
    WebKitFeature* feature = webkit_feature_list_get(features, i);
    if (g_strcmp0(webkit_feature_get_identifier(feature), "NavigationAPI") == 0)
      webkit_settings_set_feature_enabled(settings, feature, TRUE);
  }
}

}  // namespace

MainFrameNavigations::MainFrameNavigations(WebKitWebView* view)
    : m_manager(GObjectPtr<WebKitUserContentManager>::Ref(webkit_web_view_get_user_content_manager(view))) {
  EnableNavigationApi(view);
  g_autoptr(WebKitUserScript) script =
      webkit_user_script_new_for_world(kScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(m_manager.Get(), script);
  webkit_user_content_manager_register_script_message_handler_in_world(m_manager.Get(), kHandler, kWorld);
  const std::string signal = std::string("script-message-received::") + kHandler;
  m_handler = g_signal_connect(m_manager.Get(), signal.c_str(), G_CALLBACK(&MainFrameNavigations::OnMessage), this);
}

MainFrameNavigations::~MainFrameNavigations() {
  if (m_handler) g_signal_handler_disconnect(m_manager.Get(), m_handler);
}

void MainFrameNavigations::OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (!jsc_value_is_string(value)) return;
  g_autofree char* uri = jsc_value_to_string(value);
  auto& reported = static_cast<MainFrameNavigations*>(self)->m_reported;
  reported.emplace_back(uri);
  if (reported.size() > kMaxReported) reported.pop_front();
  RequestTrace::Instance().Event("main-frame-navigation", uri);
}

bool MainFrameNavigations::Claim(const std::string& uri) {
  const auto found = std::find(m_reported.begin(), m_reported.end(), uri);
  if (found == m_reported.end()) return false;
  m_reported.erase(m_reported.begin(), found + 1);
  return true;
}
