#include "LocalFileUri.h"

#include <cctype>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

// Splits "scheme://authority/rest" after the given scheme prefix ("file:"):
// gives the authority (host) and the rest starting at the path. An address
// without "//" after the scheme has an empty authority and its rest is the
// path as written ("file:/a" names /a).
struct Parts {
  std::string_view host;
  std::string_view rest;
};

Parts SplitAfterScheme(std::string_view uri, std::size_t schemeLength) {
  std::string_view tail = uri.substr(schemeLength);
  if (tail.substr(0, 2) != "//") return {{}, tail};
  tail.remove_prefix(2);
  const std::size_t end = tail.find_first_of("/?#");
  if (end == std::string_view::npos) return {tail, {}};
  return {tail.substr(0, end), tail.substr(end)};
}

bool IsLocalHost(std::string_view host) { return host.empty() || EqualsNoCase(host, "localhost"); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string SchemePrefix() { return std::string(LocalFileUri::kScheme) + ":"; }

}  // namespace

bool LocalFileUri::IsLocalFileUri(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file:")) return false;
  return IsLocalHost(SplitAfterScheme(uri, 5).host);
}

bool LocalFileUri::IsSchemeUri(std::string_view uri) { return StartsWithNoCase(uri, SchemePrefix()); }

std::optional<std::string> LocalFileUri::ToSchemeUri(std::string_view fileUri) {
  if (!IsLocalFileUri(fileUri)) return std::nullopt;
  const Parts parts = SplitAfterScheme(fileUri, 5);
  std::string rest(parts.rest);
  if (rest.empty() || rest.front() != '/') rest.insert(rest.begin(), '/');
  return SchemePrefix() + "//" + rest;
}

std::string LocalFileUri::ToFileUri(std::string_view uri) {
  const std::string prefix = SchemePrefix();
  if (!StartsWithNoCase(uri, prefix)) return std::string(uri);
  return "file:" + std::string(uri.substr(prefix.size()));
}

std::optional<std::string> LocalFileUri::PathFromUri(std::string_view uri) {
  std::size_t schemeLength = 0;
  if (StartsWithNoCase(uri, "file:")) {
    schemeLength = 5;
  } else if (IsSchemeUri(uri)) {
    schemeLength = kScheme.size() + 1;
  } else {
    return std::nullopt;
  }
  const Parts parts = SplitAfterScheme(uri, schemeLength);
  if (!IsLocalHost(parts.host)) return std::nullopt;
  std::string_view encoded = parts.rest.substr(0, parts.rest.find_first_of("?#"));
  if (encoded.empty() || encoded.front() != '/') return std::nullopt;
  std::string path;
  path.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    char c = encoded[i];
    if (c == '%' && i + 2 < encoded.size()) {
      const int hi = HexValue(encoded[i + 1]);
      const int lo = HexValue(encoded[i + 2]);
      if (hi >= 0 && lo >= 0) {
        c = static_cast<char>(hi * 16 + lo);
        i += 2;
      }
    }
    if (c == '\0') return std::nullopt;
    path.push_back(c);
  }
  return path;
}
