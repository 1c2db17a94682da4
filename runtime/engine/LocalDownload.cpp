#include "runtime/engine/LocalDownload.h"

#include <gio/gio.h>

#include "runtime/defaults/DownloadRow.h"
#include "runtime/engine/DownloadTarget.h"

namespace {

struct CopyJob {
  std::string fileUri;
  DownloadTarget target;
  std::shared_ptr<DownloadRow> row;
};

void OnProgress(goffset current, goffset total, gpointer data) {
  static_cast<CopyJob*>(data)->row->SetProgress(total > 0 ? static_cast<double>(current) / total : -1);
}

void OnCopied(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<CopyJob> job(static_cast<CopyJob*>(data));
  g_autoptr(GError) error = nullptr;
  const std::string destination = g_file_copy_finish(G_FILE(source), result, &error) ? job->target.Commit() : "";
  job->row->Finish(job->fileUri, destination, error ? error->message : "rename");
}

}  // namespace

void LocalDownload::Save(const std::string& path, const std::string& fileUri, std::shared_ptr<DownloadRow> row) {
  g_autofree char* name = g_path_get_basename(path.c_str());
  auto job = std::unique_ptr<CopyJob>(new CopyJob{fileUri, DownloadTarget(DownloadTarget::Folder(), name), std::move(row)});
  if (!job->target.IsOpen()) {
    job->row->Finish(fileUri, "", "folder");
    return;
  }
  g_autoptr(GFile) from = g_file_new_for_path(path.c_str());
  g_autoptr(GFile) to = g_file_new_for_path(job->target.TemporaryPath().c_str());
  CopyJob* copy = job.release();
  g_file_copy_async(from, to, G_FILE_COPY_OVERWRITE, G_PRIORITY_DEFAULT, nullptr, OnProgress, copy, OnCopied, copy);
}
