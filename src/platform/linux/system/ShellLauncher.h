#pragma once
// Hands files, folders, addresses and programs to the desktop through GIO,
// never through a shell, and never waits for what it started.
#include <string>
#include <vector>

#include "com/HResult.h"
#include "com/Types.h"

class ShellLauncher {
 public:
  // An absolute path or an address with a scheme (UTF-8), opened with the
  // desktop's default handler: for a path, the application registered for
  // its content type (a folder's is the file manager).
  static HRESULT OpenDefault(const std::string& target);
  // Starts the program (absolute, or looked up in PATH) with the arguments
  // as they stand. GLib starts it through an intermediate process, so the
  // finished program is reaped and never stays behind as a zombie.
  static HRESULT Start(const std::string& program, const std::vector<std::string>& arguments);
};
