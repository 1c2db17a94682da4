#pragma once
// The version text that a runtime library carries, read without loading the
// library.
//
// The runtime library embeds its product version as a NUL-terminated UTF-8
// text in an ELF section of its own, ".vellumview_version"; the library
// emits it with __attribute__((section(".vellumview_version"), used)). This
// reader walks the file's section headers (32- and 64-bit ELF, either byte
// order), finds that section by name and returns the text before its first
// NUL. Every offset and size taken from the file is checked against the
// file's length before it is used, so a damaged or hostile file can make the
// read fail but never read outside the file. A file that is not ELF, has no
// such section, or whose section is empty or not valid UTF-8 fails the same
// way as a library without a version resource.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "com/Types.h"

class ElfVersionSection {
 public:
  static constexpr std::string_view kSectionName = ".vellumview_version";
  // Longer texts are not versions; the reader looks no further.
  static constexpr std::size_t kMaximumLength = 256;
  // More section headers than this are not looked through.
  static constexpr std::uint64_t kMaximumSections = 1u << 16;

  // Reads `size` bytes at `offset` into `buffer`; false when it cannot.
  using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;

  // The section's text from a file of `fileSize` bytes read through `read`.
  static std::optional<std::string> Find(const ReadAt& read, std::uint64_t fileSize);

  // The same over bytes held in memory.
  static std::optional<std::string> FindInBytes(std::string_view bytes);

  // Opens the file and reads its version as UTF-16. Fails with the open's
  // error, or HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND) when the file
  // carries no version.
  static HRESULT ReadFromFile(const std::string& path, std::u16string* version);
};
