#pragma once
// Conversions between local paths and file URLs.
//
// The program names local files by file URLs: the start page is handed to the
// web view as one, and every local request the page makes comes back as one.
// The program, the runtime library and its web extension all decide with the
// functions below which addresses are local files and which file each one
// names, so an address the program refuses is never served by the runtime in
// its place, and a path built into a URL always turns back into that path.
//
// The rules, applied to the UTF-8 bytes of the address:
// - The scheme is "file:" in any case. After it comes either "//", an
//   authority and the path, or the path straight away ("file:/a/b" names
//   /a/b, as "file:///a/b" does). The authority runs to the first '/', '?' or
//   '#' and must be empty or "localhost" in any case: any other host would be
//   a network share, which the program never serves. The path must start
//   with '/'.
// - The path ends at the first '?' or '#': the query and the fragment are not
//   part of it.
// - "%XX" (two hexadecimal digits, either case) decodes to one byte; a '%'
//   not followed by two digits makes the address malformed ("a%zz.html" is
//   refused, never read as a file named with a literal '%'). Other bytes
//   stand for themselves.
// - The decoded bytes must be valid UTF-8 and hold no NUL: the program names
//   files by UTF-16 text, so a name that is not UTF-8 ("%FF.bin") names no
//   file it could show or hand on, and a NUL would cut the path short at the
//   operating-system boundary and name another file.
// - A path whose bytes do not fit PATH_MAX (its terminating NUL included) is
//   too long.
// No dot-segment is removed: the engine normalises addresses before they
// reach the program, and the kernel resolves what remains.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "com/Types.h"

// Where the (still encoded) path of a local file URL starts: the index of its
// first '/'. Nothing for an address that is not a file URL, names another
// host or has no path. This is the one test of "is this a local file
// address" that the decoder and the runtime's private-scheme mapping share.
std::optional<std::size_t> FindLocalFileUrlPath(std::string_view url);

// Turns a file URL (UTF-8) into the native path it names (UTF-8 bytes, ready
// for the operating system). Fails with E_INVALIDARG, leaving `path`
// unchanged, for an address the rules above refuse, and with
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) for a path that is too long.
HRESULT FileUrlToNativePath(std::string_view url, std::string& path);

// The same for UTF-16 addresses and paths, as the program and the engine
// contract hold them. The address is taken up to its query or fragment and
// converted to UTF-8 first; an unpaired surrogate before that point makes it
// malformed (E_INVALIDARG).
HRESULT FileUrlToPath(std::u16string_view url, std::u16string& path);

// Builds the file URL of an absolute path: "file://" followed by the path in
// UTF-8 with every byte percent-encoded that a URL path must not hold raw
// (space, '#', '?', '%', control characters, bytes outside ASCII and the
// other characters URLs reserve or forbid). Letters, digits and
// "-._~!$&'()*+,;=:@/" stay as they are. FileUrlToPath gives back the path
// for every path without a NUL or an unpaired surrogate (which becomes
// U+FFFD on the way to UTF-8).
std::u16string PathToFileUrl(std::u16string_view absolutePath);
