#pragma once
// Where one download is written: a hidden temporary file in the download
// folder while the bytes arrive, renamed to its final name only once the
// download is whole. The final name replaces nothing: when "name.ext" is
// taken, "name (1).ext", "name (2).ext", ... are tried, and the name is
// chosen at the moment of the rename, so a file that appeared meanwhile is
// kept too. A download that fails or is dropped leaves nothing behind.
#include <string>

class DownloadTarget {
 public:
  // Makes the temporary file for `name` (any folder part of it is dropped)
  // in `folder`, creating the folder when it is missing. IsOpen() is false
  // when the folder cannot be written.
  DownloadTarget(const std::string& folder, const std::string& name);
  DownloadTarget(const DownloadTarget&) = delete;
  DownloadTarget& operator=(const DownloadTarget&) = delete;
  // Removes the temporary file unless Commit has renamed it.
  ~DownloadTarget();

  bool IsOpen() const { return !m_temporaryPath.empty(); }
  const std::string& TemporaryPath() const { return m_temporaryPath; }
  // The file's name as it was asked for, without any folder part.
  const std::string& Name() const { return m_name; }

  // Renames the finished temporary file to a free name; returns the final
  // path, or empty (and the temporary file removed) when no rename worked.
  std::string Commit();
  // Drops the temporary file (the download failed).
  void Discard();

  // The folder downloads go to: VELLUMVIEW_DOWNLOAD_DIR when set, otherwise
  // the user's download folder, otherwise ~/Downloads.
  static std::string Folder();
  // A name in `folder` not yet taken: "name.ext", then "name (1).ext", ...
  static std::string UniquePath(const std::string& folder, const std::string& name);

 private:
  std::string m_folder;
  std::string m_name;
  std::string m_temporaryPath;
};
