// The web view's downloads: DownloadStarting once per download, the
// destination of those the program lets through, and local content saved
// from the disk instead of through the engine.
#include "runtime/engine/RuntimeWebView.h"

#include <algorithm>
#include <string>

#include "runtime/engine/EngineSignals.h"
#include "runtime/engine/LocalDownload.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/events/DownloadOperation.h"
#include "runtime/events/DownloadStartingEventArgs.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/FileUrl.h"

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
