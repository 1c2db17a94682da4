#pragma once
// Saves a local file that a page downloads. A download of local content
// that the program lets through is copied here straight from the disk into
// the user's download folder, as the engine would have saved it, instead of
// being fetched back through the loopback server (which would ask the
// program for the file a second time).
#include <string>

class LocalDownload {
 public:
  // Starts the copy of `path` (asynchronous, on the main loop). The name is
  // `suggestedName` when given, else the file's own name; a number is added
  // when the name is taken.
  static void Save(const std::string& path, const std::string& suggestedName, const std::string& fileUri);

  // The folder downloads go to: VELLUMVIEW_DOWNLOAD_DIR when set, otherwise
  // the user's download folder, otherwise the home folder.
  static std::string Folder();

  // A name in `folder` not yet taken: "name.ext", then "name (1).ext", ...
  static std::string UniquePath(const std::string& folder, const std::string& name);
};
