#include "LocalFileRewriter.h"

#include "LocalFileUri.h"

void LocalFileRewriter::Attach(WebKitWebExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(&LocalFileRewriter::OnPageCreated), nullptr);
}

void LocalFileRewriter::OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "send-request", G_CALLBACK(&LocalFileRewriter::OnSendRequest), nullptr);
}

gboolean LocalFileRewriter::OnSendRequest(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse*, gpointer) {
  const char* uri = webkit_uri_request_get_uri(request);
  if (!uri) return FALSE;
  if (const auto schemeUri = LocalFileUri::ToSchemeUri(uri)) webkit_uri_request_set_uri(request, schemeUri->c_str());
  // FALSE: the request goes on, rewritten or not.
  return FALSE;
}
