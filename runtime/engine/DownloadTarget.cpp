#include "runtime/engine/DownloadTarget.h"

#include <errno.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <stdio.h>
#include <unistd.h>

namespace {

// The name a download is saved under: its last path element, so that a
// name the page suggests cannot climb out of the folder; never empty, "."
// or "..".
std::string SafeName(const std::string& name) {
  g_autofree char* base = g_path_get_basename(name.empty() ? "download" : name.c_str());
  const std::string safe = base;
  return safe == "." || safe == ".." || safe == G_DIR_SEPARATOR_S ? "download" : safe;
}

constexpr int kMaxNumberedNames = 10000;

}  // namespace

DownloadTarget::DownloadTarget(const std::string& folder, const std::string& name)
    : m_folder(folder), m_name(SafeName(name)) {
  g_mkdir_with_parents(folder.c_str(), 0755);
  // The temporary name starts with a dot, so that a half-written file is
  // neither shown to the user as a download nor taken for a finished one.
  g_autofree char* pattern = g_build_filename(folder.c_str(), ("." + m_name + ".XXXXXX.part").c_str(), nullptr);
  const int fd = g_mkstemp_full(pattern, O_RDWR | O_CLOEXEC, 0644);
  if (fd < 0) return;
  close(fd);
  m_temporaryPath = pattern;
}

DownloadTarget::~DownloadTarget() { Discard(); }

std::string DownloadTarget::Commit() {
  if (!IsOpen()) return {};
  // renameat2 with RENAME_NOREPLACE fails on a name taken since UniquePath
  // looked, so even a file that appears in between is never replaced.
  for (int attempt = 0; attempt <= kMaxNumberedNames; ++attempt) {
    const std::string destination = UniquePath(m_folder, m_name);
    if (renameat2(AT_FDCWD, m_temporaryPath.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
      m_temporaryPath.clear();
      return destination;
    }
    if (errno != EEXIST) break;
  }
  Discard();
  return {};
}

void DownloadTarget::Discard() {
  if (!IsOpen()) return;
  g_unlink(m_temporaryPath.c_str());
  m_temporaryPath.clear();
}

std::string DownloadTarget::Folder() {
  if (const char* folder = g_getenv("VELLUMVIEW_DOWNLOAD_DIR"); folder && *folder) return folder;
  if (const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)) return folder;
  g_autofree char* fallback = g_build_filename(g_get_home_dir(), "Downloads", nullptr);
  return fallback;
}

std::string DownloadTarget::UniquePath(const std::string& folder, const std::string& name) {
  g_autofree char* first = g_build_filename(folder.c_str(), name.c_str(), nullptr);
  if (!g_file_test(first, G_FILE_TEST_EXISTS) && !g_file_test(first, G_FILE_TEST_IS_SYMLINK)) return first;
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  for (int n = 1; n <= kMaxNumberedNames; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    g_autofree char* path = g_build_filename(folder.c_str(), candidate.c_str(), nullptr);
    if (!g_file_test(path, G_FILE_TEST_EXISTS) && !g_file_test(path, G_FILE_TEST_IS_SYMLINK)) return path;
  }
  return first;
}
