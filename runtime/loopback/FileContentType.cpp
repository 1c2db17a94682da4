#include "runtime/loopback/FileContentType.h"

#include <gio/gio.h>

#include <array>
#include <utility>

namespace {

using Pair = std::pair<std::string_view, std::string_view>;

// Names the database on a common desktop leaves unknown or gives a type that
// is not the one browsers use for them.
constexpr std::array<Pair, 7> kByExtension{{
    {".mjs", "text/javascript"},
    {".cjs", "text/javascript"},
    {".wasm", "application/wasm"},
    {".otf", "font/otf"},
    {".map", "application/json"},
    {".webmanifest", "application/manifest+json"},
    {".ts", "video/mp2t"},
}};

// The database's older spellings of types the web names otherwise. A script
// under any of the JavaScript aliases would still be refused as a module.
constexpr std::array<Pair, 9> kAliases{{
    {"application/javascript", "text/javascript"},
    {"application/x-javascript", "text/javascript"},
    {"application/ecmascript", "text/javascript"},
    {"text/ecmascript", "text/javascript"},
    {"text/x-javascript", "text/javascript"},
    {"audio/x-wav", "audio/wav"},
    {"application/x-font-ttf", "font/ttf"},
    {"application/x-font-otf", "font/otf"},
    {"application/font-woff", "font/woff"},
}};

}  // namespace

std::string FileContentType::ExtensionOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  // A leading dot names a hidden file, not an extension.
  if (dot == std::string_view::npos || dot == 0) return {};
  std::string extension(name.substr(dot));
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}

std::string FileContentType::WebType(std::string_view extension, std::string_view systemType) {
  for (const auto& [known, type] : kByExtension)
    if (extension == known) return std::string(type);
  if (systemType.empty() || systemType == "application/octet-stream") return {};
  for (const auto& [alias, type] : kAliases)
    if (systemType == alias) return std::string(type);
  return std::string(systemType);
}

std::string FileContentType::ForFileName(const std::string& path) {
  // No data: the guess goes by the name's globs only.
  g_autofree char* guessed = g_content_type_guess(path.c_str(), nullptr, 0, nullptr);
  g_autofree char* mime = guessed ? g_content_type_get_mime_type(guessed) : nullptr;
  return WebType(ExtensionOf(path), mime ? mime : "");
}
