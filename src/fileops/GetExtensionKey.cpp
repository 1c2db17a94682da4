#include "fileops/GetExtensionKey.h"

std::size_t FindExtension(std::u16string_view path) {
  std::size_t dot = path.size();
  const std::size_t nameStart = path.rfind(u'/') == std::u16string_view::npos ? 0 : path.rfind(u'/') + 1;
  for (std::size_t i = nameStart; i < path.size(); ++i) {
    if (path[i] == u'.')
      dot = i;
    else if (path[i] == u' ')
      dot = path.size();
  }
  return dot;
}

std::u16string GetExtensionKey(std::u16string_view path) {
  std::u16string key(path.substr(FindExtension(path)));
  for (char16_t& c : key)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return key;
}
