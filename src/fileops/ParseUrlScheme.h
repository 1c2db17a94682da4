#pragma once
// The scheme of an address: the text before its first ':', as written. A
// scheme starts with an ASCII letter and holds only ASCII letters, digits,
// '+', '-' and '.'; text without one ("page.html", ":x", "1a:b") is no
// address and fails with E_INVALIDARG.
#include <string>
#include <string_view>

#include "com/HResult.h"
#include "com/Types.h"

HRESULT ParseUrlScheme(std::u16string_view url, std::u16string& scheme);
