#include "LoopbackAddress.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

// The authority and the rest (from the path on) of "file:" + tail. An
// address without "//" after the scheme has no authority and its rest is
// the path as written ("file:/a" names /a).
struct FileParts {
  std::string_view host;
  std::string_view rest;
};

FileParts SplitFileUri(std::string_view uri) {
  std::string_view tail = uri.substr(5);
  if (tail.substr(0, 2) != "//") return {{}, tail};
  tail.remove_prefix(2);
  const std::size_t end = tail.find_first_of("/?#");
  if (end == std::string_view::npos) return {tail, {}};
  return {tail.substr(0, end), tail.substr(end)};
}

}  // namespace

LoopbackAddress::LoopbackAddress(std::uint16_t port)
    : m_port(port), m_origin("http://127.0.0.1:" + std::to_string(port)) {}

std::string LoopbackAddress::HostHeader() const { return "127.0.0.1:" + std::to_string(m_port); }

bool LoopbackAddress::IsLocalFileUri(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file:")) return false;
  const std::string_view host = SplitFileUri(uri).host;
  return host.empty() || EqualsNoCase(host, "localhost");
}

bool LoopbackAddress::IsServerUri(std::string_view uri) const {
  if (!StartsWithNoCase(uri, m_origin)) return false;
  // "http://127.0.0.1:2000" must not claim "http://127.0.0.1:20001/".
  return uri.size() == m_origin.size() || std::string_view("/?#").find(uri[m_origin.size()]) != std::string_view::npos;
}

std::optional<std::string> LoopbackAddress::ToServerUri(std::string_view fileUri) const {
  if (!IsLocalFileUri(fileUri)) return std::nullopt;
  const std::string_view rest = SplitFileUri(fileUri).rest;
  std::string uri = m_origin;
  if (rest.empty() || rest.front() != '/') uri += '/';
  uri += rest;
  return uri;
}

std::string LoopbackAddress::ToFileUri(std::string_view uri) const {
  if (!IsServerUri(uri)) return std::string(uri);
  std::string_view rest = uri.substr(m_origin.size());
  std::string file = "file://";
  if (rest.empty() || rest.front() != '/') file += '/';
  file += rest;
  return file;
}

std::uint16_t LoopbackAddress::PortForFolder(std::string_view userDataFolder) {
  // FNV-1a: small, stable across builds and machines, and spreads similar
  // folder names (".../app1", ".../app2") over the whole range.
  std::uint32_t hash = 2166136261u;
  for (const unsigned char c : userDataFolder) hash = (hash ^ c) * 16777619u;
  return static_cast<std::uint16_t>(kFirstPort + hash % kPortCount);
}
