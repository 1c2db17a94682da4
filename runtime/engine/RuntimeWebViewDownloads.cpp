// The web view's downloads: DownloadStarting once per download, the
// destination of those the program lets through, and local content saved
// from the disk instead of through the engine.
#include "runtime/engine/RuntimeWebView.h"

#include <memory>
#include <string>

#include "runtime/defaults/DownloadRow.h"
#include "runtime/engine/DownloadTarget.h"
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
  bool failed = false;     // the engine failed it
  // Where the engine writes it, and its row in the download indicator; both
  // only for a download the engine saves itself.
  std::unique_ptr<DownloadTarget> target;
  std::shared_ptr<DownloadRow> row;
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
  DownloadState* state = StateOf(download);
  if (!state || state->cancelled) return TRUE;
  // Local content is saved by LocalDownload, and its engine download has
  // been cancelled.
  WebKitURIRequest* request = webkit_download_get_request(download);
  const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
  if (m_environment->Address().IsServerUri(uri ? uri : "")) return TRUE;
  // Every other download is written to a temporary file in the user's
  // download folder and takes its final name, one that replaces nothing,
  // only once it is whole (OnDownloadOver).
  const std::string fileUri = FileUri(uri);
  state->target = std::make_unique<DownloadTarget>(DownloadTarget::Folder(), suggestedName ? suggestedName : "");
  state->row = m_defaults->Downloads().Add(state->target->Name());
  g_autofree gchar* destinationUri =
      state->target->IsOpen() ? g_filename_to_uri(state->target->TemporaryPath().c_str(), nullptr, nullptr) : nullptr;
  if (!destinationUri) {
    state->row->Finish(fileUri, "", "folder");
    webkit_download_cancel(download);
    return TRUE;
  }
  // The temporary file exists already: it holds the name until the end.
  webkit_download_set_allow_overwrite(download, TRUE);
  webkit_download_set_destination(download, destinationUri);
  RequestTrace::Instance().Event("download-destination", fileUri, {{"destination", state->target->TemporaryPath()}});
  return TRUE;
}

void RuntimeWebView::OnDownloadProgress(WebKitDownload* download) {
  if (DownloadState* state = StateOf(download); state && state->row)
    state->row->SetProgress(webkit_download_get_estimated_progress(download));
}

void RuntimeWebView::OnDownloadFailed(WebKitDownload* download) {
  if (DownloadState* state = StateOf(download)) state->failed = true;
}

void RuntimeWebView::OnDownloadOver(WebKitDownload* download) {
  DownloadState* state = StateOf(download);
  if (!state) return;
  state->over = true;
  if (!state->target || !state->row || state->row->IsOver()) return;
  WebKitURIRequest* request = webkit_download_get_request(download);
  const std::string uri = FileUri(request ? webkit_uri_request_get_uri(request) : "");
  // A failed download leaves nothing; a whole one takes its final name.
  const std::string destination = state->failed ? "" : state->target->Commit();
  state->target->Discard();
  state->row->Finish(uri, destination, state->failed ? "engine" : "rename");
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
    g_autofree char* name = g_path_get_basename(path.c_str());
    LocalDownload::Save(path, address.ToFileUri(uri), m_defaults->Downloads().Add(name));
  }
}
