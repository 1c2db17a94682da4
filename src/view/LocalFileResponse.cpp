#include "view/LocalFileResponse.h"

#include <array>

#include "util/Strings.h"

namespace {

struct ContentTypeRow {
  std::u16string_view extension;
  std::u16string_view line;
};

// Tested in this order; the first row whose extension ends the path wins.
constexpr std::array<ContentTypeRow, 6> kContentTypes{{
    {u".html", u"Content-Type: text/html\n"},
    {u".js", u"Content-Type: text/javascript\n"},
    {u".json", u"Content-Type: application/json\n"},
    {u".css", u"Content-Type: text/css\n"},
    {u".wasm", u"Content-Type: application/wasm\n"},
    {u".svg", u"Content-Type: image/svg+xml\n"},
}};

}  // namespace

bool IsFileUri(std::u16string_view uri) {
  constexpr std::u16string_view kPrefix = u"file://";
  return uri.size() >= kPrefix.size() && AsciiEqualsNoCase(uri, kPrefix, kPrefix.size());
}

std::u16string_view ContentTypeLineForUri(std::u16string_view uri) {
  uri = uri.substr(0, uri.find_first_of(u"?#"));
  for (const auto& row : kContentTypes) {
    const std::size_t n = row.extension.size();
    const std::u16string_view tail = uri.size() > n ? uri.substr(uri.size() - n) : uri;
    if (AsciiEqualsNoCase(tail, row.extension, n)) return row.line;
  }
  return {};
}

std::u16string ResponseHeadersForUri(std::u16string_view uri) {
  std::u16string headers(kIsolationHeaders);
  headers.append(ContentTypeLineForUri(uri));
  return headers;
}
