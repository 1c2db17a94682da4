#include "util/FileUrl.h"

#include <limits.h>

#include <string>

#include "com/HResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

constexpr std::u16string_view kScheme = u"file://";

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
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

HRESULT FileUrlToPath(std::u16string_view url, std::u16string& path) {
  if (url.size() < kScheme.size() || !AsciiEqualsNoCase(url.substr(0, kScheme.size()), kScheme)) {
    return E_INVALIDARG;
  }
  std::u16string_view rest = url.substr(kScheme.size());
  // The query and the fragment are not part of the path.
  rest = rest.substr(0, rest.find_first_of(u"?#"));

  const std::size_t pathStart = rest.find(u'/');
  if (pathStart == std::u16string_view::npos) return E_INVALIDARG;
  const std::u16string_view host = rest.substr(0, pathStart);
  // Another host would be a network share, which the program never serves.
  if (!host.empty() && !AsciiEqualsNoCase(host, u"localhost")) return E_INVALIDARG;
  const std::u16string_view encoded = rest.substr(pathStart);

  std::string bytes;
  bytes.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char16_t c = encoded[i];
    if (c == u'%') {
      if (i + 2 >= encoded.size()) return E_INVALIDARG;
      const int high = HexValue(encoded[i + 1]);
      const int low = HexValue(encoded[i + 2]);
      if (high < 0 || low < 0) return E_INVALIDARG;
      bytes.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= encoded.size() || encoded[i + 1] < 0xDC00 || encoded[i + 1] > 0xDFFF) return E_INVALIDARG;
      AppendUtf8(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (encoded[i + 1] - 0xDC00), bytes);
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return E_INVALIDARG;
    } else {
      AppendUtf8(c, bytes);
    }
  }

  // A NUL would end the path early at the operating-system boundary, so the
  // file opened would not be the one the URL names.
  if (bytes.find('\0') != std::string::npos) return E_INVALIDARG;
  if (bytes.size() >= static_cast<std::size_t>(PATH_MAX)) return HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);
  std::u16string decoded = Utf8ToWide(bytes);
  // The converter answers invalid UTF-8 with the empty text; the path is
  // never empty here, since it starts with '/'.
  if (decoded.empty()) return E_INVALIDARG;
  path = std::move(decoded);
  return S_OK;
}

std::u16string PathToFileUrl(std::u16string_view absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string bytes = WideToUtf8(absolutePath);
  std::u16string url(kScheme);
  url.reserve(kScheme.size() + bytes.size());
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
