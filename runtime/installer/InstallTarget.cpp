#include "runtime/installer/InstallTarget.h"

#include "platform/linux/RegistryStore.h"
#include "util/Strings.h"

bool InstallTarget::Choose(InstallScope scope, bool isRoot, const std::function<const char*(const char*)>& getenv,
                           const std::string& home, InstallTarget* target, std::string* error) {
  const bool machine = scope == InstallScope::Machine || (scope == InstallScope::Default && isRoot);
  // HOME from the environment first, as the program's own lookups do.
  const char* homeVariable = getenv("HOME");
  const std::string homeFolder = homeVariable && *homeVariable ? std::string(homeVariable) : home;
  const auto lookup = [&](const char* name) -> const char* {
    if (std::string_view(name) == "HOME") return homeFolder.empty() ? nullptr : homeFolder.c_str();
    return getenv(name);
  };

  InstallTarget result;
  if (machine) {
    result.hive = RegistryHive::LocalMachine;
    result.runtimeRoot = kMachineRuntimeRoot;
  } else {
    result.hive = RegistryHive::CurrentUser;
    const char* dataHome = getenv("XDG_DATA_HOME");
    // The base-directory rules ignore a relative data home.
    if (dataHome && dataHome[0] == '/') {
      result.runtimeRoot = std::string(dataHome) + "/vellumview/runtime";
    } else if (!homeFolder.empty()) {
      result.runtimeRoot = homeFolder + "/.local/share/vellumview/runtime";
    }
  }
  result.storePath = WideToUtf8(RegistryStore::StorePath(result.hive, lookup));
  if (result.runtimeRoot.empty() || result.storePath.empty()) {
    *error = "cannot find the user's home folder";
    return false;
  }
  *target = std::move(result);
  return true;
}
