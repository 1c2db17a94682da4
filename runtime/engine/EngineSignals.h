#pragma once
// Every engine signal the runtime listens to is connected here, and only
// here, so that what the runtime reacts to can be read in one place. Each
// callback forwards to the runtime object that owns the reaction.
#include <webkit2/webkit2.h>

class RuntimeEnvironment;
class RuntimeWebView;

class EngineSignals {
 public:
  // download-started on the web context.
  static void ConnectContext(WebKitWebContext* context, RuntimeEnvironment* environment);
  static void DisconnectContext(WebKitWebContext* context, RuntimeEnvironment* environment);

  // decide-policy, create, enter-fullscreen, leave-fullscreen, load-changed,
  // load-failed, script-dialog, web-process-terminated, user-message-received,
  // key-press-event and destroy on the web view.
  static void ConnectView(WebKitWebView* view, RuntimeWebView* webView);
  static void DisconnectView(WebKitWebView* view, RuntimeWebView* webView);

  // decide-destination on a download.
  static void ConnectDownload(WebKitDownload* download, RuntimeWebView* webView);
};
