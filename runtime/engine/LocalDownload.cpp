#include "runtime/engine/LocalDownload.h"

#include <gio/gio.h>

#include <memory>

#include "runtime/loopback/RequestTrace.h"

std::string LocalDownload::Folder() {
  if (const char* folder = g_getenv("VELLUMVIEW_DOWNLOAD_DIR"); folder && *folder) return folder;
  if (const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)) return folder;
  return g_get_home_dir();
}

std::string LocalDownload::UniquePath(const std::string& folder, const std::string& name) {
  g_autofree char* first = g_build_filename(folder.c_str(), name.c_str(), nullptr);
  if (!g_file_test(first, G_FILE_TEST_EXISTS)) return first;
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  for (int n = 1; n < 10000; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    g_autofree char* path = g_build_filename(folder.c_str(), candidate.c_str(), nullptr);
    if (!g_file_test(path, G_FILE_TEST_EXISTS)) return path;
  }
  return first;
}

namespace {

struct CopyJob {
  std::string fileUri;
  std::string destination;
};

void OnCopied(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<CopyJob> job(static_cast<CopyJob*>(data));
  g_autoptr(GError) error = nullptr;
  if (g_file_copy_finish(G_FILE(source), result, &error))
    RequestTrace::Instance().Event("download-saved", job->fileUri, {{"destination", job->destination}});
  else
    RequestTrace::Instance().Event("download-failed", job->fileUri, {{"error", error ? error->message : ""}});
}

}  // namespace

void LocalDownload::Save(const std::string& path, const std::string& suggestedName, const std::string& fileUri) {
  g_autofree char* base = g_path_get_basename(path.c_str());
  g_autofree char* safeName = g_path_get_basename(suggestedName.empty() ? base : suggestedName.c_str());
  const std::string folder = Folder();
  g_mkdir_with_parents(folder.c_str(), 0755);
  auto job = std::make_unique<CopyJob>(CopyJob{fileUri, UniquePath(folder, safeName)});
  g_autoptr(GFile) from = g_file_new_for_path(path.c_str());
  g_autoptr(GFile) to = g_file_new_for_path(job->destination.c_str());
  g_file_copy_async(from, to, G_FILE_COPY_NONE, G_PRIORITY_DEFAULT, nullptr, nullptr, nullptr, OnCopied,
                    job.release());
}
