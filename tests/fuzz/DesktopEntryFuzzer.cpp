// Fuzzes the bundling tool's desktop entry with any title, browserID and
// working directory (the input's three parts, separated by NUL bytes).
// Properties: an entry is written unless the folder holds a line break or
// is not UTF-8; it is UTF-8 whenever the title and browserID are (the tool
// hands it the settings' texts, always UTF-8); it is its header and ten "Key=value" lines
// with no control character; its Path reads back as the folder and its Name
// is never empty; the file name is a plain name.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/FuzzCheck.h"
#include "tools/bundle/DesktopEntry.h"
#include "util/Strings.h"

namespace {

// Reads a value the way desktops do.
std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char c = value[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = Fields(std::string_view(reinterpret_cast<const char*>(data), size), 3, '\0');
  const std::string& title = parts[0];
  const std::string& browserId = parts[1];
  const std::string& folder = parts[2];

  const std::string fileName = DesktopEntry::FileName(browserId);
  Check(fileName.find('/') == std::string::npos && fileName.ends_with(".desktop") && fileName != ".desktop");

  const auto entry = DesktopEntry::Make(title, browserId, folder);
  const bool writable = folder.find_first_of("\r\n") == std::string::npos && IsValidUtf8(folder);
  Check(entry.has_value() == writable);
  if (!entry) return 0;
  if (IsValidUtf8(title) && IsValidUtf8(browserId)) Check(IsValidUtf8(*entry));
  int lines = 0;
  std::string_view rest(*entry);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    Check(end != std::string_view::npos);
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    for (const char c : line) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    if (lines++ == 0) {
      Check(line == "[Desktop Entry]");
      continue;
    }
    const std::size_t equals = line.find('=');
    Check(equals != std::string_view::npos && equals > 0);
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "Name") Check(!value.empty());
    if (key == "Path") {
      std::string expected;
      for (const char c : folder)
        if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t') expected += c;
      Check(Unescape(value) == expected);
    }
  }
  Check(lines == 11);
  return 0;
}
