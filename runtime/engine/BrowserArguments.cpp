#include "runtime/engine/BrowserArguments.h"

BrowserArguments BrowserArguments::Parse(std::string_view arguments) {
  BrowserArguments result;
  std::size_t i = 0;
  while (i < arguments.size()) {
    while (i < arguments.size() && (arguments[i] == ' ' || arguments[i] == '\t' || arguments[i] == '\n')) ++i;
    std::size_t end = i;
    while (end < arguments.size() && arguments[end] != ' ' && arguments[end] != '\t' && arguments[end] != '\n') ++end;
    const std::string_view word = arguments.substr(i, end - i);
    if (word == "--disable-web-security") result.disableWebSecurity = true;
    if (word == "--allow-file-access-from-files") result.allowFileAccessFromFiles = true;
    if (word == "--allow-file-access") result.allowFileAccess = true;
    i = end;
  }
  return result;
}
