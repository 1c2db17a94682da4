// The installer's command line, its choice of folders, and the built
// program run as the program that needs a runtime runs it.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <map>

#include "InstallTarget.h"
#include "InstallerArguments.h"
#include "InstallerTestSupport.h"
#include "util/TemporaryDirectory.h"

extern char** environ;

namespace {

using namespace installer_test;

TEST(InstallerArgumentsTest, AcceptsTheSwitchesAndRefusesEverythingElse) {
  struct Case {
    std::vector<std::string> arguments;
    bool ok;
    InstallScope scope;
    const char* message;
  } cases[] = {
      {{"/silent", "/install"}, true, InstallScope::Default, ""},
      {{"/INSTALL", "/Silent", "/install"}, true, InstallScope::Default, ""},
      {{"/install", "/user"}, true, InstallScope::User, ""},
      {{"/machine", "/install"}, true, InstallScope::Machine, ""},
      {{}, false, InstallScope::Default, "nothing to do"},
      {{"/silent"}, false, InstallScope::Default, "nothing to do"},
      {{"/silent /install"}, false, InstallScope::Default, "unknown argument '/silent /install'"},
      {{"/install", "--force"}, false, InstallScope::Default, "unknown argument '--force'"},
      {{"/install", "/user", "/machine"}, false, InstallScope::Default, "exclude each other"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    InstallerArguments parsed;
    std::string error;
    ASSERT_EQ(InstallerArguments::Parse(c.arguments, &parsed, &error), c.ok);
    if (c.ok) {
      EXPECT_EQ(parsed.scope, c.scope);
    } else {
      EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
  }
}

TEST(InstallTargetTest, ChoosesFoldersAndStoreByScopeAndEnvironment) {
  struct Case {
    const char* label;
    InstallScope scope;
    bool root;
    std::map<std::string, std::string> environment;
    std::string passwordHome;
    std::string runtimeRoot;
    std::string store;
    RegistryHive hive;
  } cases[] = {
      {"user with data and config homes", InstallScope::Default, false,
       {{"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}}, "/p", "/d/vellumview/runtime",
       "/c/vellumview/registry.reg", RegistryHive::CurrentUser},
      {"relative homes are ignored", InstallScope::User, true,
       {{"XDG_DATA_HOME", "d"}, {"XDG_CONFIG_HOME", "c"}, {"HOME", "/h"}}, "/p",
       "/h/.local/share/vellumview/runtime", "/h/.config/vellumview/registry.reg", RegistryHive::CurrentUser},
      {"home from the password database", InstallScope::Default, false, {}, "/p",
       "/p/.local/share/vellumview/runtime", "/p/.config/vellumview/registry.reg", RegistryHive::CurrentUser},
      {"user store named by the environment", InstallScope::Default, false,
       {{"HOME", "/h"}, {"VELLUMVIEW_USER_REGISTRY", "/s/u.reg"}}, "", "/h/.local/share/vellumview/runtime",
       "/s/u.reg", RegistryHive::CurrentUser},
      {"root installs for the machine", InstallScope::Default, true, {{"XDG_DATA_HOME", "/d"}}, "/root",
       "/opt/vellumview/runtime", "/etc/vellumview/registry.reg", RegistryHive::LocalMachine},
      {"machine store named by the environment", InstallScope::Machine, false,
       {{"VELLUMVIEW_MACHINE_REGISTRY", "/s/m.reg"}}, "/p", "/opt/vellumview/runtime", "/s/m.reg",
       RegistryHive::LocalMachine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const auto getenv = [&c](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    InstallTarget target;
    std::string error;
    ASSERT_TRUE(InstallTarget::Choose(c.scope, c.root, getenv, c.passwordHome, &target, &error)) << error;
    EXPECT_EQ(target.runtimeRoot, c.runtimeRoot);
    EXPECT_EQ(target.storePath, c.store);
    EXPECT_EQ(target.hive, c.hive);
  }
  InstallTarget target;
  std::string error;
  EXPECT_FALSE(InstallTarget::Choose(InstallScope::User, false, [](const char*) -> const char* { return nullptr; },
                                     "", &target, &error));
  EXPECT_NE(error.find("home folder"), std::string::npos);
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `arguments` and exactly the given environment.
RunResult RunProgram(const fs::path& program, const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment, const fs::path& scratch) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const fs::path out = scratch / "out.txt";
  const fs::path err = scratch / "err.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  RunResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

// The built installer, copied into a payload folder as a bundle ships it,
// installs for the user named by the environment. /user keeps a test run
// as root out of the machine-wide folders.
TEST(InstallerProgramTest, InstallsOnceReportsFailuresOnOneLine) {
  TemporaryDirectory folder;
  const fs::path payload = folder.Path() / "bundle/runtime";
  fs::create_directories(payload);
  AddVersion(payload, "125.0.1.0");
  const fs::path installer = payload / "MicrosoftEdgeWebView2RuntimeInstallerX64.exe";
  fs::copy_file(INSTALLER_PROGRAM, installer);
  const std::vector<std::string> environment = {"HOME=" + (folder.Path() / "home").string(),
                                                "XDG_DATA_HOME=" + (folder.Path() / "data").string(),
                                                "XDG_CONFIG_HOME=" + (folder.Path() / "config").string()};
  const fs::path store = folder.Path() / "config/vellumview/registry.reg";
  const fs::path installed = folder.Path() / "data/vellumview/runtime/125.0.1.0";

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "first run" : "second run");
    const RunResult result = RunProgram(installer, {"/silent", "/install", "/user"}, environment, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(RegisteredFolder(store), installed.string());
    EXPECT_TRUE(fs::is_regular_file(LibraryIn(installed)));
  }

  const RunResult bad = RunProgram(installer, {"/silent", "/instal"}, environment, folder.Path());
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "vellumview-runtime-installer: unknown argument '/instal' (expected /silent /install [/user | "
                     "/machine])\n");

  fs::remove_all(payload / "125.0.1.0");
  const RunResult empty = RunProgram(installer, {"/silent", "/install", "/user"}, environment, folder.Path());
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(std::count(empty.err.begin(), empty.err.end(), '\n'), 1) << empty.err;
  EXPECT_NE(empty.err.find("no runtime for this architecture"), std::string::npos) << empty.err;
}

}  // namespace
