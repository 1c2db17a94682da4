#include "runtime/loopback/LocalRequestGuard.h"

#include <sys/random.h>

#include <cerrno>

namespace {

// Compares without stopping at the first difference, so the time taken does
// not tell a prober how much of a guess was right.
bool SameSecret(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

LocalRequestGuard::LocalRequestGuard(std::string host, std::string secret)
    : m_host(std::move(host)), m_secret(std::move(secret)) {}

std::string LocalRequestGuard::NewSecret() {
  unsigned char bytes[16];
  std::size_t have = 0;
  while (have < sizeof bytes) {
    const ssize_t got = ::getrandom(bytes + have, sizeof bytes - have, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return {};
    have += static_cast<std::size_t>(got);
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string secret;
  for (const unsigned char b : bytes) secret += {kDigits[b >> 4], kDigits[b & 15]};
  return secret;
}

bool LocalRequestGuard::HasSecret(std::string_view cookieHeader) const {
  if (m_secret.empty()) return false;
  // "a=1; vellumview-local=<secret>; b=2": every pair is looked at, so a page
  // cannot hide the runtime's cookie behind one of its own with that name.
  bool found = false;
  while (!cookieHeader.empty()) {
    const std::size_t end = cookieHeader.find(';');
    const std::string_view pair = Trim(cookieHeader.substr(0, end));
    cookieHeader = end == std::string_view::npos ? std::string_view() : cookieHeader.substr(end + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || Trim(pair.substr(0, equals)) != kCookieName) continue;
    found = SameSecret(Trim(pair.substr(equals + 1)), m_secret) || found;
  }
  return found;
}

LocalRequestGuard::Verdict LocalRequestGuard::Check(const char* host, const char* cookie, const char* fetchSite) const {
  if (!host || std::string_view(host) != m_host) return Verdict::kWrongHost;
  if (!cookie || !HasSecret(cookie)) return Verdict::kNoSecret;
  return FromOwnPages(fetchSite) ? Verdict::kAllowed : Verdict::kForeignSite;
}

bool LocalRequestGuard::FromOwnPages(const char* fetchSite) {
  if (!fetchSite) return true;
  // "none": the view itself asked (the runtime's own load of a page);
  // "same-origin": one of the view's local pages asked.
  const std::string_view site(fetchSite);
  return site == "none" || site == "same-origin";
}

const char* LocalRequestGuard::Describe(Verdict verdict) {
  switch (verdict) {
    case Verdict::kAllowed: return "allowed";
    case Verdict::kWrongHost: return "wrong-host";
    case Verdict::kNoSecret: return "no-secret";
    case Verdict::kForeignSite: return "foreign-site";
  }
  return "unknown";
}
