#pragma once
// Opens the folder that a link file (extension ".openfolder") names. The
// link file holds a folder name relative to the folder the link file lies in.
#include "fileops/FileProc.h"

class FolderOpenProc final : public FileProc {
 public:
  // The largest number of bytes read from a link file, after a byte-order mark.
  static constexpr std::size_t kMaximumLinkBytes = 260;

  // Opens the folder, or shows "フォルダが見つかりません:" followed by it and
  // returns the error. An unreadable link file returns the read's failure
  // and shows nothing.
  HRESULT Run(const std::u16string& path) override;

  // The folder name a link file's bytes hold: a character cut in half by the
  // read limit is dropped (rather than making the whole text invalid and so
  // naming the link file's own folder), one line break at the end (LF or
  // CRLF, as editors save it) is dropped, and the rest is decoded as UTF-8,
  // with U+FFFD for bytes that are not and for NULs; `isUtf8` tells whether
  // there were none (only such a text names a folder). Other spaces stay part of the
  // name.
  static std::u16string LinkText(std::string bytes, bool cutAtLimit, bool* isUtf8 = nullptr);

  // `folder` with `name` appended as a relative path: leading separators of
  // the name do not make it absolute, and one '/' joins the two.
  static std::u16string AppendPath(std::u16string folder, std::u16string_view name);
};
