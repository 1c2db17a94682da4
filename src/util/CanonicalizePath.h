#pragma once
// Lexical canonicalisation of '/'-separated paths.
#include <string>
#include <string_view>

#include "com/Types.h"

// Resolves the "." and ".." segments of a path by its text alone, without
// asking the file system (so symbolic links play no part):
//   - "." segments and empty segments (doubled separators) are removed;
//   - ".." removes the segment before it; a ".." with nothing left to remove
//     is dropped, so the result never climbs above the start of the path
//     ("../x" and "a/../../x" both give "x", "/../x" gives "/x");
//   - a leading '/' stays, and a trailing '/' stays when the last segment of
//     the input was empty ("a/b/" gives "a/b/").
// A path that holds a NUL fails with E_INVALIDARG and leaves `out` unchanged:
// such a path would be cut short at the operating-system boundary and name
// something else.
HRESULT CanonicalizePath(std::u16string_view path, std::u16string& out);
