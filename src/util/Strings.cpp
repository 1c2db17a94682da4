#include "util/Strings.h"

#include <cstdint>

namespace {

// Decodes one UTF-8 sequence at `i`; returns false on any invalid form
// (overlong encodings, surrogates, values above U+10FFFF, truncation).
bool DecodeOne(std::string_view s, std::size_t& i, char32_t& out) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    out = b0;
    ++i;
    return true;
  }
  int extra;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    out = b0 & 0x1F;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    out = b0 & 0x0F;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    out = b0 & 0x07;
    min = 0x10000;
  } else {
    return false;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    out = (out << 6) | (b & 0x3F);
  }
  if (out < min || out > 0x10FFFF || (out >= 0xD800 && out <= 0xDFFF)) return false;
  i += extra + 1;
  return true;
}

}  // namespace

namespace {

// The one UTF-8 walk of both decoders: empty at the first invalid sequence
// when `replace` is false, U+FFFD for each byte that starts none otherwise.
std::u16string DecodeUtf8(std::string_view utf8, bool replace) {
  if (const auto nul = utf8.find('\0'); nul != std::string_view::npos) utf8 = utf8.substr(0, nul);
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c;
    if (!DecodeOne(utf8, i, c)) {
      if (!replace) return {};
      c = 0xFFFD;
      ++i;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

}  // namespace

std::u16string Utf8ToWide(std::string_view utf8) { return DecodeUtf8(utf8, false); }

std::u16string Utf8ToWideReplacing(std::string_view utf8) { return DecodeUtf8(utf8, true); }

namespace {

// The one UTF-16 walk of both conversions: false at the first unpaired
// surrogate when `replace` is false, U+FFFD in its place otherwise.
bool AppendWide(std::u16string_view wide, bool replace, std::string& out) {
  out.reserve(out.size() + wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (!replace) return false;
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  return true;
}

}  // namespace

std::string WideToUtf8(std::u16string_view wide) {
  std::string out;
  AppendWide(wide, true, out);
  return out;
}

std::optional<std::string> WideToUtf8Exact(std::u16string_view wide) {
  std::string out;
  if (!AppendWide(wide, false, out)) return std::nullopt;
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  char32_t ignored;
  for (std::size_t i = 0; i < bytes.size();) {
    if (!DecodeOne(bytes, i, ignored)) return false;
  }
  return true;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool AsciiEqualsNoCase(std::u16string_view a, std::u16string_view b, std::size_t count) {
  const auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; };
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t ca = i < a.size() ? a[i] : u'\0';
    const char16_t cb = i < b.size() ? b[i] : u'\0';
    if (lower(ca) != lower(cb)) return false;
    if (ca == u'\0') return true;
  }
  return true;
}

bool AsciiEqualsNoCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string TruncateUtf8(std::string text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Back over continuation bytes to the lead byte of the character that
  // straddles the limit; it goes with the rest.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}
