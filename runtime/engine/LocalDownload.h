#pragma once
// Saves a local file that a page downloads. A download of local content
// that the program lets through is copied here straight from the disk into
// the user's download folder, as the engine would have saved it, instead of
// being fetched back through the loopback server (which would ask the
// program for the file a second time).
#include <memory>
#include <string>

class DownloadRow;

class LocalDownload {
 public:
  // Starts the copy of `path` (asynchronous, on the main loop) under the
  // file's own name, numbered when the name is taken (see DownloadTarget),
  // and reports its progress and its end on `row`.
  static void Save(const std::string& path, const std::string& fileUri, std::shared_ptr<DownloadRow> row);
};
