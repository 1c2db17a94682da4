#pragma once
// The command line of the runtime installer. The program that starts it
// passes "/silent" and "/install"; "/user" and "/machine" choose where the
// runtime goes when the default (machine-wide for root, per user otherwise)
// is not wanted. Switches are matched without regard to letter case, as
// such switches usually are, and may repeat; anything else is refused so
// that a mistyped switch never installs somewhere unexpected.
#include <string>
#include <vector>

enum class InstallScope { Default, User, Machine };

struct InstallerArguments {
  bool silent = false;
  bool install = false;
  InstallScope scope = InstallScope::Default;

  // Parses the arguments after the program name. On failure `error` holds
  // one line for the user.
  static bool Parse(const std::vector<std::string>& arguments, InstallerArguments* parsed, std::string* error);
};
