#include "util/CanonicalizePath.h"

#include <vector>

#include "com/HResult.h"

HRESULT CanonicalizePath(std::u16string_view path, std::u16string& out) {
  if (path.find(u'\0') != std::u16string_view::npos) return E_INVALIDARG;

  const bool absolute = !path.empty() && path.front() == u'/';
  std::vector<std::u16string_view> segments;
  bool endsWithSeparator = false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'/', start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view segment = path.substr(start, end - start);
    // Only the final segment decides whether the result keeps a trailing
    // separator: "a/b/" names a folder, "a/b/.." names "a" itself.
    endsWithSeparator = segment.empty() && end == path.size() && start > 0;
    if (segment == u"..") {
      // Climbing above the start is clamped rather than refused, so that a
      // setting can never reach a folder outside the one it is joined to.
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != u".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }

  std::u16string result;
  if (absolute) result.push_back(u'/');
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result.push_back(u'/');
    result.append(segments[i]);
  }
  if (endsWithSeparator && !segments.empty()) result.push_back(u'/');
  out = std::move(result);
  return S_OK;
}
