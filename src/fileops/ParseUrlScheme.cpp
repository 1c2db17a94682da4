#include "fileops/ParseUrlScheme.h"

#include "com/HResult.h"

namespace {
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsSchemeCharacter(char16_t c) {
  return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}
}  // namespace

HRESULT ParseUrlScheme(std::u16string_view url, std::u16string& scheme) {
  const std::size_t colon = url.find(u':');
  if (colon == std::u16string_view::npos || colon == 0 || !IsAsciiLetter(url[0])) return E_INVALIDARG;
  for (std::size_t i = 1; i < colon; ++i)
    if (!IsSchemeCharacter(url[i])) return E_INVALIDARG;
  scheme.assign(url.substr(0, colon));
  return S_OK;
}
