// The installer's command line and its choice of folders. A run with
// "/silent /install /user" and a misspelt switch are the bundle script's; the
// user's absolute data and config homes are the install scenario's under a
// display.
#include "runtime/installer/InstallerArguments.h"

#include <gtest/gtest.h>

#include <map>

#include "runtime/installer/InstallTarget.h"

namespace {

TEST(InstallerArgumentsTest, AcceptsTheSwitchesAndRefusesEverythingElse) {
  struct Case { std::vector<std::string> arguments; bool ok; InstallScope scope; const char* message; };
  const Case cases[] = {
      {{"/INSTALL", "/Silent", "/install"}, true, InstallScope::Default, ""},
      {{"/machine", "/install"}, true, InstallScope::Machine, ""},
      {{"/silent"}, false, InstallScope::Default, "nothing to do"},
      {{"/silent /install"}, false, InstallScope::Default, "unknown argument '/silent /install'"},
      {{"/install", "/user", "/machine"}, false, InstallScope::Default, "exclude each other"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    InstallerArguments parsed;
    std::string error;
    ASSERT_EQ(InstallerArguments::Parse(c.arguments, &parsed, &error), c.ok);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;  // an empty message is found in any text
    if (c.ok) { EXPECT_EQ(parsed.scope, c.scope); }
  }
}

TEST(InstallTargetTest, ChoosesFoldersAndStoreByScopeAndEnvironment) {
  struct Case {
    const char* label;
    InstallScope scope;
    bool root;
    std::map<std::string, std::string> environment;
    std::string passwordHome, runtimeRoot, store;
    RegistryHive hive;
  } cases[] = {
      {"relative homes are ignored", InstallScope::User, true,
       {{"XDG_DATA_HOME", "d"}, {"XDG_CONFIG_HOME", "c"}, {"HOME", "/h"}}, "/p",
       "/h/.local/share/vellumview/runtime", "/h/.config/vellumview/registry.reg", RegistryHive::CurrentUser},
      {"home from the password database", InstallScope::Default, false, {}, "/p",
       "/p/.local/share/vellumview/runtime", "/p/.config/vellumview/registry.reg", RegistryHive::CurrentUser},
      {"root installs for the machine", InstallScope::Default, true, {{"XDG_DATA_HOME", "/d"}}, "/root",
       "/opt/vellumview/runtime", "/etc/vellumview/registry.reg", RegistryHive::LocalMachine},
      {"machine store named by the environment", InstallScope::Machine, false,
       {{"VELLUMVIEW_MACHINE_REGISTRY", "/s/m.reg"}}, "/p", "/opt/vellumview/runtime", "/s/m.reg",
       RegistryHive::LocalMachine},
      {"no home at all", InstallScope::User, false, {}, "", "", "", RegistryHive::CurrentUser},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const auto getenv = [&c](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    InstallTarget target;
    std::string error;
    ASSERT_EQ(InstallTarget::Choose(c.scope, c.root, getenv, c.passwordHome, &target, &error), !c.runtimeRoot.empty()) << error;
    if (c.runtimeRoot.empty())
      EXPECT_NE(error.find("home folder"), std::string::npos) << error;
    else
      EXPECT_EQ(std::tie(target.runtimeRoot, target.storePath, target.hive), std::tie(c.runtimeRoot, c.store, c.hive));
  }
}

}  // namespace
