// Fuzzes the reading of a ".openfolder" link file's bytes, read whole and
// as cut at the read limit. Properties: only UTF-8 text without NUL says it
// is UTF-8;
// the name is always well-formed UTF-16 (U+FFFD stands for what is not
// UTF-8); a UTF-8 name is the text as written, less one final line break
// and, when cut, less a character cut in half; appended to a folder it
// stays inside that folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "fileops/FolderOpenProc.h"
#include "tests/fuzz/FuzzCheck.h"
#include "util/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const bool cut : {false, true}) {
    bool isUtf8 = false;
    const std::u16string name = FolderOpenProc::LinkText(bytes, cut, &isUtf8);
    const auto exact = WideToUtf8Exact(name);
    Check(exact.has_value());
    const std::string& utf8 = *exact;
    if (!cut) {
      const std::string text = bytes.ends_with("\r\n") ? bytes.substr(0, bytes.size() - 2)
                               : bytes.ends_with('\n') ? bytes.substr(0, bytes.size() - 1)
                                                       : bytes;
      Check(isUtf8 == (text.find('\0') == std::string::npos && IsValidUtf8(text)));
    }
    if (isUtf8) Check(bytes.starts_with(utf8) && bytes.size() - utf8.size() <= 5);
    const std::u16string joined = FolderOpenProc::AppendPath(u"/app/links", name);
    Check(joined.starts_with(u"/app/links") && (joined.size() == 10 || joined[10] == u'/'));
  }
  return 0;
}
