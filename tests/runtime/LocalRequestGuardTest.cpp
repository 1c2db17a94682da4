// Who may have local content from the loopback server. Under a display, the
// view's own loads (Sec-Fetch-Site "none", "same-origin" or none at all, as
// for an address the extension rewrote) pass; a client without any cookie
// and a web page's request are refused.
#include "runtime/loopback/LocalRequestGuard.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using V = LocalRequestGuard::Verdict;

TEST(LocalRequestGuard, OnlyTheViewsOwnRequestsWithTheSecretAndTheServersHostPass) {
  const std::string secret = "0123456789abcdef0123456789abcdef";
  const LocalRequestGuard guard("127.0.0.1:20001", secret);
  const std::string cookie = "vellumview-local=" + secret;
  struct Case { const char *host, *cookie, *site; V verdict; };
  const std::string withOthers = "a=1; vellumview-local=" + secret + " ;b=2";
  const std::string spoofFirst = "vellumview-local=guess; vellumview-local=" + secret;
  const std::string longer = cookie + "0", shorter = cookie.substr(0, cookie.size() - 1);
  const std::string otherName = "other-local=" + secret;
  const Case cases[] = {
      {"127.0.0.1:20001", withOthers.c_str(), "same-origin", V::kAllowed}, {"127.0.0.1:20001", spoofFirst.c_str(), nullptr, V::kAllowed},
      // Another loopback port's page, or a web site, sends the cookie along.
      {"127.0.0.1:20001", cookie.c_str(), "same-site", V::kForeignSite}, {"127.0.0.1:20001", cookie.c_str(), "", V::kForeignSite},
      // Another process with a wrong secret.
      {"127.0.0.1:20001", longer.c_str(), nullptr, V::kNoSecret}, {"127.0.0.1:20001", shorter.c_str(), nullptr, V::kNoSecret},
      {"127.0.0.1:20001", otherName.c_str(), nullptr, V::kNoSecret},
      // A rebound name or another port in the Host header.
      {"evil.example:20001", cookie.c_str(), nullptr, V::kWrongHost}, {"127.0.0.1:20002", cookie.c_str(), nullptr, V::kWrongHost},
      {"127.0.0.1", cookie.c_str(), nullptr, V::kWrongHost}, {nullptr, cookie.c_str(), nullptr, V::kWrongHost},
  };
  for (const Case& c : cases)
    EXPECT_EQ(guard.Check(c.host, c.cookie, c.site), c.verdict)
        << (c.host ? c.host : "-") << " | " << (c.cookie ? c.cookie : "-") << " | " << (c.site ? c.site : "-");
  // Without a secret nothing passes, not even an empty cookie value.
  EXPECT_EQ(LocalRequestGuard("127.0.0.1:20001", "").Check("127.0.0.1:20001", "vellumview-local=", nullptr), V::kNoSecret);
}

TEST(LocalRequestGuard, SecretsAreFreshAndHold128Bits) {
  std::set<std::string> seen;
  for (int i = 0; i < 64; ++i) {
    const std::string secret = *seen.insert(LocalRequestGuard::NewSecret()).first;
    EXPECT_EQ(secret.size(), 32u);
    EXPECT_EQ(secret.find_first_not_of("0123456789abcdef"), std::string::npos) << secret;
  }
  EXPECT_EQ(seen.size(), 64u);
}

}  // namespace
