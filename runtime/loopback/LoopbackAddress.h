#pragma once
// The two spellings of a local file address. Pages, the program and every
// event see "file://" addresses; the engine loads local content from the
// runtime's loopback server at "http://<host>:<port>", because it cannot
// be given a handler for "file" and its own file loader bypasses the program.
// An address object translates between the two for one server and decides
// which addresses are local files at all. It works on UTF-8 text and needs no
// toolkit, so the runtime and the web-process extension share it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class LoopbackAddress {
 public:
  // host: the server's IPv4 address in dotted form ("127.77.12.34").
  LoopbackAddress(std::string host, std::uint16_t port);

  // The loopback server's origin: "http://<host>:<port>".
  const std::string& Origin() const { return m_origin; }

  // The server's address alone, the host its cookie is set for.
  const std::string& Host() const { return m_host; }
  std::uint16_t Port() const { return m_port; }

  // "<host>:<port>", the only Host header the server accepts.
  std::string HostHeader() const;

  // True for a "file:" address (scheme compared without regard to case) whose
  // host is empty or "localhost"; any other host names no local file.
  static bool IsLocalFileUri(std::string_view uri);

  // True for an address on this server: the origin followed by the end of the
  // address or by '/', '?' or '#'.
  bool IsServerUri(std::string_view uri) const;

  // "file:///a/b?q#f" -> "http://<host>:<port>/a/b?q#f". The path, query
  // and fragment are carried over as written (already escaped as a URL). A
  // "localhost" host is dropped, so every local page shares one origin.
  // Nothing for an address that is not a local file address.
  std::optional<std::string> ToServerUri(std::string_view fileUri) const;

  // "http://<host>:<port>/a/b?q#f" -> "file:///a/b?q#f", and a local
  // page's "blob:http://<host>:<port>/<id>" -> "blob:null/<id>"; any other
  // address is returned unchanged, so events can pass every address through it.
  std::string ToFileUri(std::string_view uri) const;

  // The port a user-data folder's server listens on: the same folder always
  // gives the same port, so a local application keeps its origin, and with
  // it its stored data, across restarts. The ports lie in [kFirstPort,
  // kFirstPort + kPortCount), below the range Linux hands out for outgoing
  // connections (32768 and up by default), so a passing client socket does
  // not take an application's port.
  static std::uint16_t PortForFolder(std::string_view userDataFolder);
  static constexpr std::uint16_t kFirstPort = 20000;
  static constexpr std::uint16_t kPortCount = 12000;

  // The address a user-data folder's server listens on: one of its own in
  // 127.0.0.0/8, the same for the same folder. Cookies are scoped by host and
  // not by port, so a host-only cookie for this address is sent to this
  // server alone and never to a server on 127.0.0.1 or on another
  // application's address. The second byte is never 0, which keeps clear of
  // the addresses systems give a meaning of their own (127.0.0.1, 127.0.1.1
  // for the machine's name, 127.0.0.53 for the name resolver), and the last
  // byte is never 0 or 255.
  static std::string HostForFolder(std::string_view userDataFolder);

 private:
  std::string m_host;
  std::uint16_t m_port;
  std::string m_origin;
};
