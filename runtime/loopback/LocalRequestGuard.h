#pragma once
// Decides whether a request that reached the loopback server may be given
// local content. Any process of any user on this machine can connect to a
// loopback port, and a web page shown in the view can name the server's
// address, so three things are asked of every request:
//  - the Host header names the server itself ("<host>:<port>"), so a name
//    that a foreign site rebinds to the server's address reaches nothing;
//  - it carries the per-run secret in the session cookie the runtime adds to
//    the view's cookie store before the first local page loads. The engine
//    sends that cookie with every kind of request (workers, service workers
//    and media ranges included); another process does not know it. The
//    cookie is host-only for the server's own address in 127.0.0.0/8, and
//    cookies are scoped by host and not by port, so no other server (on
//    127.0.0.1 or elsewhere) is ever sent it and can learn it;
//  - the engine did not mark it as coming from another site or origin
//    (Sec-Fetch-Site): a web page on another port of the server's address
//    would otherwise send the secret along. Requests the web-process
//    extension rewrote from file:// carry no such header; the extension only
//    rewrites for the view's own local pages.
// The secret lives in memory only (a session cookie, which the engine does
// not write to its cookie store on disk) and is new on every run.
#include <string>
#include <string_view>

class LocalRequestGuard {
 public:
  enum class Verdict { kAllowed, kWrongHost, kNoSecret, kForeignSite };

  // The cookie's name.
  static constexpr std::string_view kCookieName = "vellumview-local";

  // A guard with a fresh secret of 128 random bits (32 hexadecimal digits).
  // Empty secret (the system gave no random bytes): every request is refused.
  LocalRequestGuard(std::string host, std::string secret);
  static std::string NewSecret();

  // host, cookie, fetchSite: the request's headers, null when absent.
  Verdict Check(const char* host, const char* cookie, const char* fetchSite) const;

  // True when the engine says the request comes from the view itself or from
  // one of its local pages, or says nothing (the extension's rewrites): a
  // request that may come back with the secret once the engine has it again.
  static bool FromOwnPages(const char* fetchSite);

  // A short word for the trace.
  static const char* Describe(Verdict verdict);

 private:
  bool HasSecret(std::string_view cookieHeader) const;

  std::string m_host;
  std::string m_secret;
};
