// Fuzzes what the local server reads from a request once the HTTP library
// has split it: the target's path and query mapped back to a file address,
// the Host, Cookie and Sec-Fetch-Site headers the guard judges, and the
// Range header. The input is those five fields separated by line feeds (a
// header value never holds one), then the file size for the range.
//
// Properties: the guard allows only the server's exact Host, a cookie pair
// carrying the secret and a request from the view's own pages; a guard
// without a secret allows nothing; a partial range lies inside the file and
// a file of no bytes has none; every target maps to a local file address
// that maps back to the same server address.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/loopback/ByteRange.h"
#include "runtime/loopback/LocalRequestGuard.h"
#include "runtime/loopback/LoopbackAddress.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr std::string_view kSecret = "0123456789abcdef0123456789abcdef";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto f = Fields(std::string_view(reinterpret_cast<const char*>(data), size), 6, '\n');
  const std::string& path = f[0];
  const LoopbackAddress address("127.1.2.3", 20001);

  // The guard, with each header present and absent.
  const LocalRequestGuard guard(address.HostHeader(), std::string(kSecret));
  const LocalRequestGuard noSecret(address.HostHeader(), "");
  for (int absent = 0; absent < 8; ++absent) {
    const char* host = absent & 1 ? nullptr : f[1].c_str();
    const char* cookie = absent & 2 ? nullptr : f[2].c_str();
    const char* site = absent & 4 ? nullptr : f[3].c_str();
    const auto verdict = guard.Check(host, cookie, site);
    Check(noSecret.Check(host, cookie, site) != LocalRequestGuard::Verdict::kAllowed);
    Check(LocalRequestGuard::Describe(verdict) != std::string_view("unknown"));
    if (verdict != LocalRequestGuard::Verdict::kAllowed) continue;
    Check(host && std::string_view(host) == address.HostHeader());
    Check(cookie && std::string_view(cookie).find(kSecret) != std::string_view::npos &&
          std::string_view(cookie).find(LocalRequestGuard::kCookieName) != std::string_view::npos);
    Check(LocalRequestGuard::FromOwnPages(site));
  }

  // The Range header against the size that follows it.
  std::uint64_t fileSize = 0;
  for (const char c : f[5]) fileSize = fileSize * 31 + static_cast<unsigned char>(c);
  for (const std::uint64_t sizeTried : {fileSize, std::uint64_t{0}, std::uint64_t{1}, UINT64_MAX}) {
    ByteRange range{};
    const auto outcome = ByteRange::Parse(f[4], sizeTried, &range);
    if (outcome == ByteRange::Outcome::kPartial) {
      Check(range.first <= range.last && range.last < sizeTried && range.Length() >= 1);
      Check(range.Length() <= sizeTried);
    }
  }

  // The target: the path the HTTP library hands over always begins with '/'.
  const std::string serverUri = address.Origin() + "/" + path;
  Check(address.IsServerUri(serverUri));
  const std::string fileUri = address.ToFileUri(serverUri);
  Check(fileUri.starts_with("file:///") && LoopbackAddress::IsLocalFileUri(fileUri));
  const auto back = address.ToServerUri(fileUri);
  Check(back.has_value() && *back == serverUri);
  return 0;
}
