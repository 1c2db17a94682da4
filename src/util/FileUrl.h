#pragma once
// Conversions between local paths and file URLs.
//
// The program names local files by file URLs: the start page is handed to the
// web view as one, and every local request the page makes comes back as one.
// These two functions are the only place where the two forms meet, so that a
// path built into a URL always turns back into the same path.
#include <string>
#include <string_view>

#include "com/Types.h"

// Turns a file URL into the local path it names.
//
// The URL must start with "file://" (the scheme in any case), followed by an
// authority that is empty or "localhost" (in any case) and the path, which
// must start with '/'. The path ends at the first '?' or '#': the query and
// the fragment are not part of it. Percent-escapes are decoded to bytes and
// the bytes are read as UTF-8; characters written raw in the URL count as
// their UTF-8 bytes.
//
// Fails with E_INVALIDARG, leaving `path` unchanged, for a URL that is not a
// file URL, names another host, holds a '%' that is not followed by two
// hexadecimal digits, decodes to bytes that are not valid UTF-8 or to a NUL,
// or holds an unpaired surrogate. A path whose UTF-8 form does not fit
// PATH_MAX (its terminating NUL included) fails with
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE).
HRESULT FileUrlToPath(std::u16string_view url, std::u16string& path);

// Builds the file URL of an absolute path: "file://" followed by the path in
// UTF-8 with every byte percent-encoded that a URL path must not hold raw
// (space, '#', '?', '%', control characters, bytes outside ASCII and the
// other characters URLs reserve or forbid). Letters, digits and
// "-._~!$&'()*+,;=:@/" stay as they are. FileUrlToPath gives back the path
// for every path without a NUL or an unpaired surrogate (which becomes
// U+FFFD on the way to UTF-8).
std::u16string PathToFileUrl(std::u16string_view absolutePath);
