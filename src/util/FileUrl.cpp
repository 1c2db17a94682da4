#include "util/FileUrl.h"

#include <limits.h>

#include "com/HResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

constexpr std::string_view kScheme = "file:";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes a URL path may hold raw: the unreserved characters, the
// sub-delimiters, ':', '@' and the separator itself.
bool IsRawPathByte(unsigned char b) {
  if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9')) return true;
  switch (b) {
    case '-': case '.': case '_': case '~':
    case '!': case '$': case '&': case '\'': case '(': case ')':
    case '*': case '+': case ',': case ';': case '=':
    case ':': case '@': case '/':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<std::size_t> FindLocalFileUrlPath(std::string_view url) {
  if (url.size() < kScheme.size() || !AsciiEqualsNoCase(url.substr(0, kScheme.size()), kScheme)) return std::nullopt;
  std::size_t start = kScheme.size();
  if (url.substr(start, 2) == "//") {
    start += 2;
    const std::size_t end = url.find_first_of("/?#", start);
    const std::string_view host = url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!host.empty() && !AsciiEqualsNoCase(host, "localhost")) return std::nullopt;
    start = end;
  }
  if (start >= url.size() || url[start] != '/') return std::nullopt;
  return start;
}

HRESULT FileUrlToNativePath(std::string_view url, std::string& path) {
  const std::optional<std::size_t> start = FindLocalFileUrlPath(url);
  if (!start) return E_INVALIDARG;
  std::string_view encoded = url.substr(*start);
  encoded = encoded.substr(0, encoded.find_first_of("?#"));

  std::string bytes;
  bytes.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] != '%') {
      bytes.push_back(encoded[i]);
      continue;
    }
    const int high = i + 1 < encoded.size() ? HexValue(encoded[i + 1]) : -1;
    const int low = i + 2 < encoded.size() ? HexValue(encoded[i + 2]) : -1;
    if (high < 0 || low < 0) return E_INVALIDARG;
    bytes.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }

  if (bytes.find('\0') != std::string::npos) return E_INVALIDARG;
  if (bytes.size() >= static_cast<std::size_t>(PATH_MAX)) return HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);
  if (!IsValidUtf8(bytes)) return E_INVALIDARG;
  path = std::move(bytes);
  return S_OK;
}

HRESULT FileUrlToPath(std::u16string_view url, std::u16string& path) {
  const std::optional<std::string> bytes = WideToUtf8Exact(url.substr(0, url.find_first_of(u"?#")));
  if (!bytes) return E_INVALIDARG;
  std::string native;
  const HRESULT hr = FileUrlToNativePath(*bytes, native);
  if (FAILED(hr)) return hr;
  path = Utf8ToWide(native);
  return S_OK;
}

std::u16string PathToFileUrl(std::u16string_view absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string bytes = WideToUtf8(absolutePath);
  std::u16string url(u"file://");
  url.reserve(url.size() + bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (IsRawPathByte(b)) {
      url.push_back(static_cast<char16_t>(b));
    } else {
      url.push_back(u'%');
      url.push_back(static_cast<char16_t>(kHex[b >> 4]));
      url.push_back(static_cast<char16_t>(kHex[b & 0x0F]));
    }
  }
  return url;
}
