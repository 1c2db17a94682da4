#pragma once
// The fixed parts of the answers the web view host gives to local file
// requests: which addresses it answers, the header block every answer
// carries, and the content type chosen by the end of the address.
#include <string>
#include <string_view>

// The three cross-origin isolation headers, each line ended by a line feed
// alone. Every local answer carries them, whatever its status, so that the
// page can use SharedArrayBuffer and high-resolution timers.
inline constexpr std::u16string_view kIsolationHeaders =
    u"Cross-Origin-Embedder-Policy: require-corp\n"
    u"Cross-Origin-Opener-Policy: same-origin\n"
    u"Cross-Origin-Resource-Policy: cross-origin\n";

// True when the address starts with "file://", the scheme in any case.
// Shorter addresses never match.
bool IsFileUri(std::u16string_view uri);

// The Content-Type line for an address, chosen by the end of its path: the
// text before the first '?' or '#', since the query and fragment name no
// part of the file ("app.wasm?v=2" is app.wasm, which a page must be able to
// compile as it streams in). The empty text when no known extension ends it.
std::u16string_view ContentTypeLineForUri(std::u16string_view uri);

// The header block of an answer: the isolation headers, then the
// Content-Type line when there is one.
std::u16string ResponseHeadersForUri(std::u16string_view uri);
