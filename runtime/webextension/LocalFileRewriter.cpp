#include "runtime/webextension/LocalFileRewriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/loopback/RequestTrace.h"

namespace {

// The server of this web process's environment; none until initialised.
std::optional<LoopbackAddress>& Address() {
  static std::optional<LoopbackAddress> address;
  return address;
}

// Set on a page while it holds a frame whose document is neither local nor
// "about:" (which inherits its creator's origin).
constexpr char kForeignFrameKey[] = "vellumview-foreign-frame";

bool HasForeignFrame(WebKitWebPage* page) { return g_object_get_data(G_OBJECT(page), kForeignFrameKey) != nullptr; }

bool StartsWithFile(std::string_view uri) {
  const char* scheme = g_uri_peek_scheme(std::string(uri).c_str());
  return scheme && std::string_view(scheme) == "file";
}

}  // namespace

void LocalFileRewriter::Attach(WebKitWebExtension* extension, LoopbackAddress address) {
  Address().emplace(std::move(address));
  g_signal_connect(extension, "page-created", G_CALLBACK(&LocalFileRewriter::OnPageCreated), nullptr);
  g_signal_connect(webkit_script_world_get_default(), "window-object-cleared",
                   G_CALLBACK(&LocalFileRewriter::OnWindowObjectCleared), nullptr);
}

void LocalFileRewriter::OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "send-request", G_CALLBACK(&LocalFileRewriter::OnSendRequest), nullptr);
}

void LocalFileRewriter::OnWindowObjectCleared(WebKitScriptWorld*, WebKitWebPage* page, WebKitFrame* frame, gpointer) {
  // A new main document starts with no frames; a frame's new document marks
  // the page for as long as that main document lives (a frame that goes
  // away is not reported, so the mark errs on the side of refusing).
  if (webkit_frame_is_main_frame(frame)) {
    g_object_set_data(G_OBJECT(page), kForeignFrameKey, nullptr);
    return;
  }
  const char* uri = webkit_frame_get_uri(frame);
  const std::string_view text = uri ? uri : "";
  if (text.empty() || text.rfind("about:", 0) == 0 || Address()->IsServerUri(text)) return;
  g_object_set_data(G_OBJECT(page), kForeignFrameKey, GINT_TO_POINTER(1));
}

gboolean LocalFileRewriter::OnSendRequest(WebKitWebPage* page, WebKitURIRequest* request, WebKitURIResponse*, gpointer) {
  const char* raw = webkit_uri_request_get_uri(request);
  if (!raw || !StartsWithFile(raw)) return FALSE;  // not a file address: goes on as it is
  const std::string uri = raw;
  const char* pageUri = webkit_web_page_get_uri(page);
  const LoopbackAddress& address = *Address();
  const char* refusal = nullptr;
  if (!pageUri || !address.IsServerUri(pageUri))
    refusal = "page-not-local";
  else if (HasForeignFrame(page))
    refusal = "foreign-frame";
  else if (!LoopbackAddress::IsLocalFileUri(uri))
    refusal = "not-local";
  if (!refusal) {
    webkit_uri_request_set_uri(request, address.ToServerUri(uri)->c_str());
    return FALSE;
  }
  RequestTrace::Instance().Event("local-request-refused", uri,
                                 {{"reason", refusal}, {"page", address.ToFileUri(pageUri ? pageUri : "")}});
  // TRUE stops the request: the page sees a failed load.
  return TRUE;
}
