#pragma once
// The web-process half of local content: every request a page makes for a
// local file:// address is sent to the runtime's private scheme instead,
// because the engine will not let the runtime answer file:// itself. With web
// security off a page may name absolute file:// addresses; they are caught
// here too.
#include <webkit2/webkit-web-extension.h>

class LocalFileRewriter {
 public:
  // Watches every page the web process creates.
  static void Attach(WebKitWebExtension* extension);

 private:
  static void OnPageCreated(WebKitWebExtension* extension, WebKitWebPage* page, gpointer);
  static gboolean OnSendRequest(WebKitWebPage* page, WebKitURIRequest* request, WebKitURIResponse* redirectedResponse,
                                gpointer);
};
