#pragma once
// Changes one text value in the text of a registry store file (the format
// that platform/linux/RegistryStore reads) and leaves every other line as it
// stands: other keys, other values of the same key, comments and lines the
// reader skips all survive, so that registering a runtime never loses an
// entry somebody else put there.
#include <optional>
#include <string>
#include <string_view>

#include "platform/ISystem.h"

class RegistryStoreEditor {
 public:
  // The store text with `name` under `key` of `hive` set to the text
  // `value`. Every earlier line that set that value, in any section naming
  // the key (either spelling of the root, any letter case, doubled or
  // trailing backslashes), is dropped and one new line goes right after the
  // first such section; without one, a section is appended. Empty text
  // becomes a whole store with its header. Gives nothing when a line
  // cannot carry the value or the key (a line break or a NUL).
  static std::optional<std::string> SetText(std::string_view storeText, RegistryHive hive, std::string_view key,
                                            std::string_view name, std::string_view value);

  // The text in double quotes with '\' and '"' escaped, as the reader wants.
  static std::string Quote(std::string_view text);
};
