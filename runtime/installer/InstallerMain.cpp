// vellumview-runtime-installer: installs the engine runtime that ships
// beside it for the current user (or machine-wide when run as root) and
// registers it, so that the next start of the program finds it without any
// setting. Exit status 0 on success, 1 when the install failed, 2 for a bad
// command line; a failure prints one line on standard error.
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "runtime/installer/InstallTarget.h"
#include "runtime/installer/InstallerArguments.h"
#include "runtime/installer/RuntimeInstaller.h"
#include "util/CommandLineTool.h"

namespace {

constexpr CommandLineTool kTool("vellumview-runtime-installer");

std::string HomeFromPasswordDatabase() {
  const struct passwd* entry = ::getpwuid(::geteuid());
  return entry && entry->pw_dir ? std::string(entry->pw_dir) : std::string();
}

int Run(int argc, char** argv) {
  InstallerArguments arguments;
  std::string error;
  if (!InstallerArguments::Parse(std::vector<std::string>(argv + 1, argv + argc), &arguments, &error))
    return kTool.Fail(2, error);

  InstallTarget target;
  if (!InstallTarget::Choose(arguments.scope, ::geteuid() == 0, [](const char* name) { return std::getenv(name); },
                             HomeFromPasswordDatabase(), &target, &error))
    return kTool.Fail(1, error);

  // The payload is the folder of the installer's own file, wherever a
  // bundle's link to it or copy of it was started from.
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return kTool.Fail(1, "cannot find the installer's own folder: " + ec.message());

  RuntimeInstaller installer;
  InstallOutcome outcome;
  if (!installer.Install(self.parent_path(), target, &outcome, &error)) return kTool.Fail(1, error);
  if (!arguments.silent) {
    std::printf("%s: runtime %s %s in %s%s\n", kTool.Name(), outcome.version.c_str(),
                outcome.copied ? "installed" : "already installed", outcome.folder.string().c_str(),
                outcome.registered ? "" : " (a newer registered runtime stays in use)");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return kTool.Main(Run, argc, argv); }
