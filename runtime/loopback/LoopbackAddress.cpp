#include "runtime/loopback/LoopbackAddress.h"

#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

LoopbackAddress::LoopbackAddress(std::uint16_t port)
    : m_port(port), m_origin("http://127.0.0.1:" + std::to_string(port)) {}

std::string LoopbackAddress::HostHeader() const { return "127.0.0.1:" + std::to_string(m_port); }

bool LoopbackAddress::IsLocalFileUri(std::string_view uri) { return FindLocalFileUrlPath(uri).has_value(); }

bool LoopbackAddress::IsServerUri(std::string_view uri) const {
  if (!StartsWithNoCase(uri, m_origin)) return false;
  // "http://127.0.0.1:2000" must not claim "http://127.0.0.1:20001/".
  return uri.size() == m_origin.size() || std::string_view("/?#").find(uri[m_origin.size()]) != std::string_view::npos;
}

std::optional<std::string> LoopbackAddress::ToServerUri(std::string_view fileUri) const {
  // The decoder's own test of a local address, so that the server is asked
  // for exactly the files the program would answer.
  const std::optional<std::size_t> path = FindLocalFileUrlPath(fileUri);
  if (!path) return std::nullopt;
  return m_origin + std::string(fileUri.substr(*path));
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
