#pragma once
// The web-process half of local content. A local page (one loaded from the
// runtime's loopback server) that names a file:// address gets it from the
// server instead: the request is rewritten to the server's address, which
// the server maps back. Relative addresses of a local page already point at
// the server and need nothing.
//
// Only the view's own local pages get local content. Every other file://
// request is stopped here, with a trace line: one from a web page, one from
// a page that holds a frame of another origin (the request cannot be traced
// to its frame, so a web frame inside a local page could otherwise read the
// user's files), and one naming another host ("file://otherhost/..."),
// which the engine's own file loader would serve with the host ignored.
#include <webkit2/webkit-web-extension.h>

#include "runtime/loopback/LoopbackAddress.h"

class LocalFileRewriter {
 public:
  // Watches every page the web process creates; `address` is the server's.
  static void Attach(WebKitWebExtension* extension, LoopbackAddress address);

 private:
  static void OnPageCreated(WebKitWebExtension* extension, WebKitWebPage* page, gpointer);
  static void OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame, gpointer);
  static gboolean OnSendRequest(WebKitWebPage* page, WebKitURIRequest* request, WebKitURIResponse* redirectedResponse,
                                gpointer);
};
