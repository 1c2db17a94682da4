#include "fileops/FolderOpenProc.h"

#include "fileops/ShellOpen.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/ReadFileToString.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

// The folder that holds the last element of the path: "/a/b/link" gives
// "/a/b", "/link" gives "/".
std::u16string ContainingFolder(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'/');
  if (slash == std::u16string_view::npos) return std::u16string();
  if (slash == 0) return u"/";
  return std::u16string(path.substr(0, slash));
}

// Drops a UTF-8 sequence that the end of the bytes cuts short.
void DropIncompleteTail(std::string& bytes) {
  std::size_t start = bytes.size();
  // Continuation bytes look like 10xxxxxx; a sequence has at most three.
  while (start > 0 && bytes.size() - start < 3 && (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
    --start;
  if (start == 0) return;
  const unsigned char lead = static_cast<unsigned char>(bytes[start - 1]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > 1 && bytes.size() - (start - 1) < length) bytes.resize(start - 1);
}

}  // namespace

std::u16string FolderOpenProc::LinkText(std::string bytes, bool cutAtLimit, bool* isUtf8) {
  if (cutAtLimit) DropIncompleteTail(bytes);
  if (bytes.ends_with("\r\n"))
    bytes.resize(bytes.size() - 2);
  else if (bytes.ends_with('\n'))
    bytes.pop_back();
  // A NUL would end the name early ("\0docs" would name the link's own
  // folder): such a text names no folder and shows U+FFFD where it is.
  const bool hasNul = bytes.find('\0') != std::string::npos;
  if (isUtf8) *isUtf8 = !hasNul && IsValidUtf8(bytes);
  if (!hasNul) return Utf8ToWideReplacing(bytes);
  std::string shown;
  for (const char c : bytes) shown += c == '\0' ? std::string("\xEF\xBF\xBD") : std::string(1, c);
  return Utf8ToWideReplacing(shown);
}

std::u16string FolderOpenProc::AppendPath(std::u16string folder, std::u16string_view name) {
  while (!name.empty() && name.front() == u'/') name.remove_prefix(1);
  if (name.empty()) return folder;
  if (folder.empty() || folder.back() != u'/') folder.push_back(u'/');
  folder.append(name);
  return folder;
}

HRESULT FolderOpenProc::Run(const std::u16string& path) {
  std::string bytes;
  const HRESULT hr = ReadFileToString(path, bytes, kMaximumLinkBytes);
  if (FAILED(hr)) return hr;
  const bool cutAtLimit = bytes.size() == kMaximumLinkBytes;
  bool isUtf8 = false;
  const std::u16string folder = AppendPath(ContainingFolder(path), LinkText(std::move(bytes), cutAtLimit, &isUtf8));
  // A text that is not UTF-8 names no folder: it is shown as read, with
  // U+FFFD for what cannot be decoded, and nothing opens (without the check
  // it would name the link's own folder).
  if (isUtf8 && Platform::System().IsDirectory(folder)) {
    ShellOpen(folder);
    return S_OK;
  }
  Platform::Windowing().MessageBox(nullptr, std::u16string(LoadStringResource(IDS_FOLDER_NOT_FOUND)) + folder, u"", MB_OK);
  return HResultFromWin32(ERROR_PATH_NOT_FOUND);
}
