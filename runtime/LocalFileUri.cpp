#include "LocalFileUri.h"

#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

std::string SchemePrefix() { return std::string(LocalFileUri::kScheme) + ":"; }

}  // namespace

bool LocalFileUri::IsSchemeUri(std::string_view uri) {
  const std::string prefix = SchemePrefix();
  return uri.size() >= prefix.size() && AsciiEqualsNoCase(uri.substr(0, prefix.size()), prefix);
}

std::optional<std::string> LocalFileUri::ToSchemeUri(std::string_view fileUri) {
  const std::optional<std::size_t> path = FindLocalFileUrlPath(fileUri);
  if (!path) return std::nullopt;
  return SchemePrefix() + "//" + std::string(fileUri.substr(*path));
}

std::string LocalFileUri::ToFileUri(std::string_view uri) {
  if (!IsSchemeUri(uri)) return std::string(uri);
  return "file:" + std::string(uri.substr(SchemePrefix().size()));
}
