#pragma once
// Decides whether a request that reached the loopback server may be given
// local content. Any process of any user on this machine can connect to a
// loopback port, and a web page shown in the view can name the server's
// address, so three things are asked of every request:
//  - the Host header names the server itself ("127.0.0.1:<port>"), so a
//    name that a foreign site rebinds to 127.0.0.1 reaches nothing;
//  - it carries the per-run secret in the session cookie the runtime adds to
//    the view's cookie store before the first local page loads. The engine
//    sends that cookie with every kind of request (workers, service workers
//    and media ranges included); another process does not know it;
//  - the engine did not mark it as coming from another site or origin
//    (Sec-Fetch-Site): cookies are not port-specific, so a web page from
//    another loopback port would otherwise send the secret along. Requests
//    the web-process extension rewrote from file:// carry no such header;
//    the extension only rewrites for the view's own local pages.
// The secret lives in memory only and is new on every run.
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

  // A short word for the trace.
  static const char* Describe(Verdict verdict);

 private:
  bool HasSecret(std::string_view cookieHeader) const;

  std::string m_host;
  std::string m_secret;
};
