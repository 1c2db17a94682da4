#include "platform/MnemonicLabel.h"

std::u16string MnemonicLabel(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'&') {
      // "&&" is one literal ampersand; any other '&' marks the character
      // after it.
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
      } else {
        out.push_back(u'_');
      }
    } else if (c == u'_') {
      out += u"__";
    } else {
      out.push_back(c);
    }
  }
  return out;
}
