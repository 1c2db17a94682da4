#include "runtime/loopback/LoopbackAddress.h"

#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// FNV-1a: small, stable across builds and machines, and spreads similar
// folder names (".../app1", ".../app2") over the whole range.
std::uint32_t Fnv1a(std::string_view text, std::uint32_t hash = 2166136261u) {
  for (const unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

}  // namespace

LoopbackAddress::LoopbackAddress(std::string host, std::uint16_t port)
    : m_host(std::move(host)), m_port(port), m_origin("http://" + m_host + ":" + std::to_string(port)) {}

std::string LoopbackAddress::HostHeader() const { return m_host + ":" + std::to_string(m_port); }

bool LoopbackAddress::IsLocalFileUri(std::string_view uri) { return FindLocalFileUrlPath(uri).has_value(); }

bool LoopbackAddress::IsServerUri(std::string_view uri) const {
  if (!StartsWithNoCase(uri, m_origin)) return false;
  // "http://<host>:2000" must not claim "http://<host>:20001/".
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
  // An object address a local page made carries the page's origin, the
  // server's; local pages have no origin of their own to show ("null").
  constexpr std::string_view kBlob = "blob:";
  if (StartsWithNoCase(uri, kBlob) && IsServerUri(uri.substr(kBlob.size())))
    return "blob:null" + std::string(uri.substr(kBlob.size() + m_origin.size()));
  if (!IsServerUri(uri)) return std::string(uri);
  std::string_view rest = uri.substr(m_origin.size());
  std::string file = "file://";
  if (rest.empty() || rest.front() != '/') file += '/';
  file += rest;
  return file;
}

std::uint16_t LoopbackAddress::PortForFolder(std::string_view userDataFolder) {
  return static_cast<std::uint16_t>(kFirstPort + Fnv1a(userDataFolder) % kPortCount);
}

std::string LoopbackAddress::HostForFolder(std::string_view userDataFolder) {
  // Hashed on from the port's hash with one more byte, so that the address
  // does not follow the port: two folders that share a port seldom share it.
  const std::uint32_t hash = Fnv1a("\x01", Fnv1a(userDataFolder));
  return "127." + std::to_string(1 + hash % 254) + "." + std::to_string((hash >> 8) & 255) + "." +
         std::to_string(1 + (hash >> 16) % 254);
}
