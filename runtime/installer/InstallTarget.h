#pragma once
// Where a runtime is installed and registered. Per user: the runtime
// folders go to $XDG_DATA_HOME/vellumview/runtime (the data home defaulting
// to ~/.local/share) and the registration to the user store. Machine-wide:
// /opt/vellumview/runtime and the machine store. Both stores are the files
// the program's runtime search reads, found by the same rule.
#include <functional>
#include <string>

#include "platform/ISystem.h"
#include "runtime/installer/InstallerArguments.h"

struct InstallTarget {
  std::string runtimeRoot;
  std::string storePath;
  RegistryHive hive = RegistryHive::CurrentUser;

  static constexpr const char* kMachineRuntimeRoot = "/opt/vellumview/runtime";

  // The target for a scope; the default scope is machine-wide when
  // `isRoot`. `getenv` looks up environment variables and `home` is the
  // user's home folder from the password database, used when HOME is
  // unset. Fails with one line in `error` when no folder can be named.
  static bool Choose(InstallScope scope, bool isRoot, const std::function<const char*(const char*)>& getenv,
                     const std::string& home, InstallTarget* target, std::string* error);
};
