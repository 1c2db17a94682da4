#pragma once
// The two spellings of a local file address. Pages, the program and every
// event see "file://" addresses; the engine itself loads local content through
// the runtime's private scheme, because it refuses a handler for "file".
// These functions swap between the two. Which addresses are local files, and
// which file each one names, is decided by util/FileUrl.h, the same rules the
// program answers by.
#include <optional>
#include <string>
#include <string_view>

class LocalFileUri {
 public:
  // The private scheme the runtime registers for local content.
  static constexpr std::string_view kScheme = "vellum-file";

  // True for an address of the private scheme (without regard to case).
  static bool IsSchemeUri(std::string_view uri);

  // "file:///a/b?q#f" -> "vellum-file:///a/b?q#f". A "localhost" host is
  // dropped so that every local page shares one origin. Nothing for an
  // address that is not a local file address.
  static std::optional<std::string> ToSchemeUri(std::string_view fileUri);

  // "vellum-file:///a/b?q#f" -> "file:///a/b?q#f"; any other address is
  // returned unchanged, so events can pass every address through it.
  static std::string ToFileUri(std::string_view uri);
};
