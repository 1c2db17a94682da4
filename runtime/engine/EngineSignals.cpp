#include "runtime/engine/EngineSignals.h"

#include "runtime/engine/RuntimeEnvironment.h"
#include "runtime/engine/RuntimeWebView.h"

namespace {

void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer environment) {
  static_cast<RuntimeEnvironment*>(environment)->OnDownloadStarted(download);
}

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnDecidePolicy(decision, type);
}

GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnCreate(action);
  // Never a new view: the request reaches the program as an event instead.
  return nullptr;
}

gboolean OnEnterFullScreen(WebKitWebView*, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnFullScreen(true);
  // Handled: the engine must not change the window; the program does that.
  return TRUE;
}

gboolean OnLeaveFullScreen(WebKitWebView*, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnFullScreen(false);
  return TRUE;
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnLoadChanged(loadEvent);
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent loadEvent, const char* failingUri, GError* error,
                      gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnLoadFailed(loadEvent, failingUri, error) ? TRUE : FALSE;
}

gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnScriptDialog();
}

void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnWebProcessTerminated(reason);
}

gboolean OnUserMessageReceived(WebKitWebView*, WebKitUserMessage* message, gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnUserMessage(message);
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnKeyPress(event);
}

void OnDestroy(GtkWidget*, gpointer webView) { static_cast<RuntimeWebView*>(webView)->OnEngineViewDestroyed(); }

gboolean OnDecideDestination(WebKitDownload* download, const char* suggestedName, gpointer webView) {
  return static_cast<RuntimeWebView*>(webView)->OnDecideDestination(download, suggestedName);
}

void OnDownloadFinished(WebKitDownload* download, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnDownloadOver(download);
}

// The engine says "finished" after "failed" too.
void OnDownloadFailed(WebKitDownload* download, GError*, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnDownloadFailed(download);
}

void OnDownloadReceivedData(WebKitDownload* download, guint64, gpointer webView) {
  static_cast<RuntimeWebView*>(webView)->OnDownloadProgress(download);
}

}  // namespace

void EngineSignals::ConnectContext(WebKitWebContext* context, RuntimeEnvironment* environment) {
  g_signal_connect(context, "download-started", G_CALLBACK(OnDownloadStarted), environment);
}

void EngineSignals::DisconnectContext(WebKitWebContext* context, RuntimeEnvironment* environment) {
  g_signal_handlers_disconnect_by_data(context, environment);
}

void EngineSignals::ConnectView(WebKitWebView* view, RuntimeWebView* webView) {
  g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), webView);
  g_signal_connect(view, "create", G_CALLBACK(OnCreate), webView);
  g_signal_connect(view, "enter-fullscreen", G_CALLBACK(OnEnterFullScreen), webView);
  g_signal_connect(view, "leave-fullscreen", G_CALLBACK(OnLeaveFullScreen), webView);
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), webView);
  g_signal_connect(view, "load-failed", G_CALLBACK(OnLoadFailed), webView);
  g_signal_connect(view, "script-dialog", G_CALLBACK(OnScriptDialog), webView);
  g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnWebProcessTerminated), webView);
  g_signal_connect(view, "user-message-received", G_CALLBACK(OnUserMessageReceived), webView);
  g_signal_connect(view, "key-press-event", G_CALLBACK(OnKeyPress), webView);
  g_signal_connect(view, "destroy", G_CALLBACK(OnDestroy), webView);
}

void EngineSignals::DisconnectView(WebKitWebView* view, RuntimeWebView* webView) {
  g_signal_handlers_disconnect_by_data(view, webView);
}

void EngineSignals::ConnectDownload(WebKitDownload* download, RuntimeWebView* webView) {
  // Each connection holds a reference on the view's runtime object for as
  // long as it may call back; released when the download object goes.
  const auto connect = [&](const char* signal, GCallback callback) {
    webView->AddRef();
    g_signal_connect_data(
        download, signal, callback, webView,
        [](gpointer data, GClosure*) { static_cast<RuntimeWebView*>(data)->Release(); }, static_cast<GConnectFlags>(0));
  };
  connect("decide-destination", G_CALLBACK(OnDecideDestination));
  connect("finished", G_CALLBACK(OnDownloadFinished));
  connect("failed", G_CALLBACK(OnDownloadFailed));
  connect("received-data", G_CALLBACK(OnDownloadReceivedData));
}
