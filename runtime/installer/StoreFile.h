#pragma once
// Reading and replacing a registry store file. The replacement is written
// to a new file in the same folder and renamed over the old one, so that a
// reader sees either the whole old store or the whole new one, never a
// half-written file, and a failed write leaves the old store untouched.
#include <string>

class StoreFile {
 public:
  // The file's bytes; a missing file reads as empty. Any other failure
  // (unreadable, a folder, too large) is reported, so that a store that
  // exists is never replaced by one that lost its entries.
  static bool Read(const std::string& path, std::string* text, std::string* error);

  // Replaces the file (creating its folder) with `text`. A store reached
  // through a symbolic link is replaced where the link leads.
  static bool Replace(const std::string& path, const std::string& text, std::string* error);

  // Larger stores are not rewritten: the reader looks only at their start.
  static constexpr std::size_t kMaximumSize = 16 * 1024 * 1024;
};
