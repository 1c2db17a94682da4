#pragma once
// One registry hive kept as text in the familiar registry-export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Microsoft\EdgeUpdate\ClientState\{...}]
//   "EBWebView"="/opt/vellumview/runtime/130.0.2839.0"
//   "Flags"=dword:0000001f
//   @="the key's default value"
//
// The file is UTF-8 (a leading byte-order mark is skipped). Inside quotes a
// backslash escapes a backslash or a double quote and nothing else. Key and
// value names compare without regard to case (ASCII letters), as the
// registry does. A line that does not parse is skipped, so the value it
// would have set counts as absent; nothing in the text can fail the whole
// store. Sections whose root is another hive, deletions ("[-...]", "=-") and
// value kinds other than text and dword (hex, multi-line) are skipped too.
// A later value of the same name replaces an earlier one, as an import does.
//
// Linux has no 32-bit registry redirection: both views of a hive read the
// same store.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/ISystem.h"

class RegistryStore {
 public:
  RegistryStore() = default;

  // Parses the text of one hive. `hive` chooses the root that sections must
  // name ("HKEY_LOCAL_MACHINE" or "HKLM", "HKEY_CURRENT_USER" or "HKCU").
  static RegistryStore Parse(std::string_view text, RegistryHive hive);

  // Reads and parses a store file. A file that is missing, unreadable or
  // larger than kMaximumFileSize (of which only the start is read) gives a
  // store with what could be read, possibly nothing.
  static RegistryStore Load(const std::u16string& path, RegistryHive hive);

  // Where the hive's store lives: VELLUMVIEW_MACHINE_REGISTRY or
  // /etc/vellumview/registry.reg for the machine hive;
  // VELLUMVIEW_USER_REGISTRY or $XDG_CONFIG_HOME/vellumview/registry.reg
  // (XDG_CONFIG_HOME defaulting to ~/.config) for the user hive. An empty
  // override counts as unset. `getenv` is the lookup to use.
  static std::u16string StorePath(RegistryHive hive, const std::function<const char*(const char*)>& getenv);

  // True when a section names the key or a key below it. The empty key is
  // the hive's root and always opens.
  bool KeyExists(std::u16string_view key) const;

  // The value, or HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the key or
  // the value is missing. The empty name reads the default value ("@").
  HRESULT ReadValue(std::u16string_view key, std::u16string_view name, RegistryValue* value) const;

  // The number of values held, for tests.
  std::size_t ValueCount() const;

  static constexpr std::size_t kMaximumFileSize = 16 * 1024 * 1024;

 private:
  static std::u16string NormalizeKey(std::u16string_view key);
  static std::u16string Fold(std::u16string_view text);

  void ParseLine(std::string_view line, RegistryHive hive, bool& inSection, std::u16string& section);

  // Lower-cased key path -> lower-cased value name -> value.
  std::map<std::u16string, std::map<std::u16string, RegistryValue>> m_keys;
  // Every key that exists, including the keys above a named section.
  std::set<std::u16string> m_existing;
};
