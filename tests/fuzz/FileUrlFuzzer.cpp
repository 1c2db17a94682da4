// Fuzzes the conversion of file URLs to paths, and the way back.
//
// The input is read twice: as UTF-16 code units (so lone surrogates and NULs
// reach the parser) and as UTF-8 text turned into UTF-16. For each URL the
// conversion must not crash, and a path it accepts must be absolute, hold no
// NUL, fit PATH_MAX, and survive the trip through PathToFileUrl unchanged.
// Every URL also goes through the runtime's loopback spelling and back, which
// must name the same file as the URL itself (or fail where it fails).
#include <limits.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "com/HResult.h"
#include "LoopbackAddress.h"
#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckUrl(const std::u16string& url) {
  std::u16string path = u"unchanged";
  const HRESULT hr = FileUrlToPath(url, path);
  if (FAILED(hr)) {
    Check(path == u"unchanged");
    return;
  }
  Check(hr == S_OK);
  Check(!path.empty() && path.front() == u'/');
  Check(path.find(u'\0') == std::u16string::npos);
  Check(WideToUtf8(path).size() < static_cast<std::size_t>(PATH_MAX));

  const std::u16string again = PathToFileUrl(path);
  std::u16string back;
  Check(FileUrlToPath(again, back) == S_OK);
  Check(back == path);
}

void CheckPath(const std::u16string& path) {
  // Any absolute path without NUL or lone surrogate that fits comes back
  // from its URL unchanged.
  if (path.empty() || path.front() != u'/') return;
  if (path.find(u'\0') != std::u16string::npos) return;
  const std::string utf8 = WideToUtf8(path);
  if (Utf8ToWide(utf8) != path || utf8.size() >= static_cast<std::size_t>(PATH_MAX)) return;
  std::u16string back;
  Check(FileUrlToPath(PathToFileUrl(path), back) == S_OK);
  Check(back == path);
}

void CheckLoopback(const std::string& url) {
  const LoopbackAddress address(LoopbackAddress::PortForFolder(url));
  const auto serverUri = address.ToServerUri(url);
  std::u16string direct, mapped;
  const HRESULT directResult = FileUrlToPath(Utf8ToWide(url), direct);
  // A URL that names a local file is always mapped to the server.
  if (!serverUri) {
    Check(FAILED(directResult));
    return;
  }
  Check(address.IsServerUri(*serverUri));
  if (FAILED(directResult)) return;
  Check(FileUrlToPath(Utf8ToWide(address.ToFileUri(*serverUri)), mapped) == S_OK);
  Check(direct == mapped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  if (!units.empty()) std::memcpy(units.data(), data, units.size() * 2);
  CheckUrl(units);
  CheckUrl(u"file://" + units);
  CheckPath(units);

  const std::u16string text = Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
  CheckUrl(text);
  CheckUrl(u"file:///" + text);
  CheckPath(u"/" + text);
  const std::string raw(reinterpret_cast<const char*>(data), size);
  CheckLoopback(raw);
  CheckLoopback("file://" + raw);
  return 0;
}
