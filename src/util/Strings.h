#pragma once
// Text conversion between the UTF-8 of files and the platform boundary and
// the UTF-16 that the program and the engine contract use.
#include <optional>
#include <string>
#include <string_view>

// UTF-8 to UTF-16. The input is taken up to its first NUL; an empty input or
// one that is not valid UTF-8 gives the empty text.
std::u16string Utf8ToWide(std::string_view utf8);
// The same, with U+FFFD for each byte that starts no valid sequence: for
// texts that are shown, never for texts that name something.
std::u16string Utf8ToWideReplacing(std::string_view utf8);

// UTF-16 to UTF-8, for the platform boundary. Unpaired surrogates become
// U+FFFD so that nothing is lost silently in the middle of a text.
std::string WideToUtf8(std::u16string_view wide);

// UTF-16 to UTF-8 without replacement: nothing when the text holds an
// unpaired surrogate. Used where the converted text names something (a file,
// an address), so that a damaged name can never come to name another one.
std::optional<std::string> WideToUtf8Exact(std::u16string_view wide);

// The UTF-8 text cut to at most `maxBytes` bytes without splitting a
// character: a sequence that would not fit whole is left out with
// everything after it.
std::string TruncateUtf8(std::string text, std::size_t maxBytes);

// True when the bytes are UTF-8 by the same strict rules Utf8ToWide applies
// (a NUL byte counts as a valid character here).
bool IsValidUtf8(std::string_view bytes);

// Appends the UTF-8 bytes of one Unicode code point.
void AppendUtf8(char32_t codePoint, std::string& out);

// Compares at most `count` characters, ASCII letters without regard to case,
// the way a bounded case-insensitive comparison of NUL-terminated texts does:
// where one text ends (or holds a NUL) early, they match only if the other
// ends at the same place.
bool AsciiEqualsNoCase(std::u16string_view a, std::u16string_view b, std::size_t count);

// Whole texts of the same length, ASCII letters without regard to case.
inline bool AsciiEqualsNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && AsciiEqualsNoCase(a, b, a.size());
}

// The same for UTF-8 texts: whole texts, ASCII letters without regard to case.
bool AsciiEqualsNoCase(std::string_view a, std::string_view b);
