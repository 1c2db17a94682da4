#include "view/LocalFileResponse.h"

#include <array>

namespace {

struct ContentTypeRow {
  std::u16string_view extension;
  std::u16string_view line;
};

// Tested in this order; the first row whose extension ends the address wins.
constexpr std::array<ContentTypeRow, 6> kContentTypes{{
    {u".html", u"Content-Type: text/html\n"},
    {u".js", u"Content-Type: text/javascript\n"},
    {u".json", u"Content-Type: application/json\n"},
    {u".css", u"Content-Type: text/css\n"},
    {u".wasm", u"Content-Type: application/wasm\n"},
    {u".svg", u"Content-Type: image/svg+xml\n"},
}};

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Compares `count` characters of both texts, ASCII letters without regard to
// case, stopping early where either text ends, as a bounded case-insensitive
// comparison does: a shorter text only matches if the other ends there too.
bool EqualNoCase(std::u16string_view a, std::u16string_view b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t ca = i < a.size() ? a[i] : u'\0';
    const char16_t cb = i < b.size() ? b[i] : u'\0';
    if (AsciiLower(ca) != AsciiLower(cb)) return false;
    if (ca == u'\0') return true;
  }
  return true;
}

}  // namespace

bool IsFileUri(std::u16string_view uri) {
  constexpr std::u16string_view kPrefix = u"file://";
  return uri.size() >= kPrefix.size() && EqualNoCase(uri, kPrefix, kPrefix.size());
}

std::u16string_view ContentTypeLineForUri(std::u16string_view uri) {
  for (const auto& row : kContentTypes) {
    const std::size_t n = row.extension.size();
    const std::u16string_view tail = uri.size() > n ? uri.substr(uri.size() - n) : uri;
    if (EqualNoCase(tail, row.extension, n)) return row.line;
  }
  return {};
}

std::u16string ResponseHeadersForUri(std::u16string_view uri) {
  std::u16string headers(kIsolationHeaders);
  headers.append(ContentTypeLineForUri(uri));
  return headers;
}
