// Fuzzes the one file-URL decoder through every way it is called: the byte
// core (the runtime's engine-style answers and downloads), the UTF-16 wrapper
// (the program's local answers), and the runtime's mapping to its loopback server
// and back (the web extension's rewrite and the server).
//
// For each input as UTF-8 bytes and as UTF-16 units: no crash; a failure
// leaves the output alone; an accepted path is absolute, valid UTF-8 without
// NUL and fits PATH_MAX; the wrapper agrees with the core; the loopback mapping names
// the same file; and the path survives the trip through PathToFileUrl unchanged.
#include "util/FileUrl.h"

#include <limits.h>

#include <string>
#include <string_view>

#include "com/HResult.h"
#include "runtime/loopback/LoopbackAddress.h"
#include "tests/fuzz/FuzzCheck.h"
#include "util/Strings.h"

namespace {

void CheckBytes(std::string_view url) {
  std::string path = "unchanged";
  const HRESULT hr = FileUrlToNativePath(url, path);
  // Exactly the addresses with a local path are mapped to the loopback
  // server, and the server's address maps back to the same answer.
  const LoopbackAddress address(LoopbackAddress::HostForFolder(url), LoopbackAddress::PortForFolder(url));
  const auto serverUri = address.ToServerUri(url);
  Check(serverUri.has_value() == FindLocalFileUrlPath(url).has_value());
  if (serverUri) {
    Check(address.IsServerUri(*serverUri));
    std::string mapped;
    Check(FileUrlToNativePath(address.ToFileUri(*serverUri), mapped) == hr);
    if (SUCCEEDED(hr)) Check(mapped == path);
  }
  if (FAILED(hr)) {
    Check(path == "unchanged");
    return;
  }
  Check(hr == S_OK && !path.empty() && path.front() == '/' && path.find('\0') == std::string::npos);
  Check(IsValidUtf8(path) && path.size() < static_cast<std::size_t>(PATH_MAX));

  // The program's UTF-16 entry gives the same path for the same address.
  const std::u16string wideUrl = Utf8ToWide(url);
  if (!wideUrl.empty() && WideToUtf8(wideUrl) == url) {
    std::u16string wide;
    Check(FileUrlToPath(wideUrl, wide) == S_OK && WideToUtf8(wide) == path);
  }
  std::u16string back;
  Check(FileUrlToPath(PathToFileUrl(Utf8ToWide(path)), back) == S_OK && WideToUtf8(back) == path);
}

void CheckUnits(const std::u16string& url) {
  std::u16string path = u"unchanged";
  const HRESULT hr = FileUrlToPath(url, path);
  if (FAILED(hr)) {
    Check(path == u"unchanged");
    return;
  }
  std::u16string back;
  Check(FileUrlToPath(PathToFileUrl(path), back) == S_OK && back == path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckBytes(bytes);
  CheckBytes("file://" + std::string(bytes));
  CheckBytes("file:///" + std::string(bytes));
  const std::u16string units = UnitsOf(data, size);
  CheckUnits(units);
  CheckUnits(u"file://" + units);
  return 0;
}
