#pragma once
// A throw-away content folder with the test web application: the files of
// content/ (a page, its script, style sheet, JSON, an image, a second page
// and a page without an extension) and the made ones (a video, a large file
// and two files to download), removed again when the object goes.
// WebAssembly, workers with shared memory and the isolation headers the page
// sees are checked with the demo application in the whole program.
#include <glib.h>

#include <filesystem>
#include <string>
#include <utility>

// What a file holds, or empty when it cannot be read.
inline std::string FileText(const std::string& path) {
  g_autofree char* bytes = nullptr;
  gsize length = 0;
  return g_file_get_contents(path.c_str(), &bytes, &length, nullptr) ? std::string(bytes, length) : std::string();
}
// A file of content/, as the test's web server serves the web page.
inline std::string ContentFile(const char* name) { return FileText(std::string(VELLUM_TEST_CONTENT_DIR "/") + name); }

// Several times the runtime's body piece, ending in a byte that tells a cut body from a whole one.
inline std::string BigFile() { return std::string(3 * 1024 * 1024 + 5, 'b') + '\x7f'; }

// A fresh folder of its own below the temporary folder.
inline std::string TemporaryFolder(const char* pattern) {
  g_autofree char* made = g_dir_make_tmp(pattern, nullptr);
  return made ? made : "";
}

// A download folder of its own, named to the runtime for as long as it lives.
struct DownloadFolder {
  DownloadFolder() { g_setenv("VELLUMVIEW_DOWNLOAD_DIR", path.c_str(), TRUE); }
  ~DownloadFolder() {
    g_unsetenv("VELLUMVIEW_DOWNLOAD_DIR");
    std::filesystem::remove_all(path);
  }
  const std::string path = TemporaryFolder("vellum-runtime-downloads-XXXXXX");
};

struct TestContent {
  TestContent() {
    std::filesystem::copy(VELLUM_TEST_CONTENT_DIR, folder, std::filesystem::copy_options::recursive);
    const std::pair<const char*, std::string> made[] = {
        {"clip.mp4", std::string(4096, '\0')}, {"data.bin", std::string(1024, 'x')},
        {"kept.bin", std::string(1000, 'k')}, {"big-left.bin", BigFile()},
    };
    for (const auto& [name, bytes] : made)
      g_file_set_contents((folder + "/" + name).c_str(), bytes.data(), static_cast<gssize>(bytes.size()), nullptr);
  }
  ~TestContent() { std::filesystem::remove_all(folder); }
  std::string Url(const std::string& name) const { return "file://" + folder + "/" + name; }

  std::string folder = TemporaryFolder("vellum-runtime-content-XXXXXX");
};
