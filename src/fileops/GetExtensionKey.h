#pragma once
// Extensions of local paths. The extension is found in the last element of
// the path (after its last '/') and starts at that element's last '.'; a
// space after that dot means there is no extension ("a.b c" has none). A
// name that is nothing but an extension (".openfolder") is all extension.
#include <cstddef>
#include <string>
#include <string_view>

// The index of the dot that starts the path's extension, or path.size()
// when it has none.
std::size_t FindExtension(std::u16string_view path);

// The key the file-operation table is looked up with: the extension with its
// dot, ASCII letters lower-cased and every other character as it is
// ("/d/Report.PDF" gives ".pdf"); empty when there is no extension.
std::u16string GetExtensionKey(std::u16string_view path);
