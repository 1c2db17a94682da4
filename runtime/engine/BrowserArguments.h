#pragma once
// The browser command-line switches a program passes through the environment
// options, reduced to the few the engine can honour as settings. Unknown
// switches are ignored, as a browser ignores switches it does not know.
#include <string_view>

struct BrowserArguments {
  bool disableWebSecurity = false;
  bool allowFileAccessFromFiles = false;
  bool allowFileAccess = false;

  // Splits the text at white space and recognises each switch as a whole word
  // ("--allow-file-access" does not match "--allow-file-access-from-files").
  static BrowserArguments Parse(std::string_view arguments);
};
