#include "runtime/engine/UriWildcard.h"

bool UriWildcard::Matches(std::u16string_view pattern, std::u16string_view uri) {
  // Greedy matching with one back-tracking point: the last star seen and the
  // text position it was tried at. Linear in practice, never exponential.
  std::size_t p = 0, u = 0;
  std::size_t starP = std::u16string_view::npos, starU = 0;
  while (u < uri.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starU = u;
    } else if (p < pattern.size() && pattern[p] == uri[u]) {
      ++p;
      ++u;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      u = ++starU;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}
