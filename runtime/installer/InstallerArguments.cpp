#include "runtime/installer/InstallerArguments.h"

namespace {

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

bool InstallerArguments::Parse(const std::vector<std::string>& arguments, InstallerArguments* parsed,
                               std::string* error) {
  InstallerArguments result;
  bool user = false;
  bool machine = false;
  for (const std::string& argument : arguments) {
    const std::string word = Lower(argument);
    if (word == "/silent") {
      result.silent = true;
    } else if (word == "/install") {
      result.install = true;
    } else if (word == "/user") {
      user = true;
    } else if (word == "/machine") {
      machine = true;
    } else {
      *error = "unknown argument '" + argument + "' (expected /silent /install [/user | /machine])";
      return false;
    }
  }
  if (user && machine) {
    *error = "/user and /machine exclude each other";
    return false;
  }
  if (!result.install) {
    *error = "nothing to do without /install";
    return false;
  }
  result.scope = user ? InstallScope::User : machine ? InstallScope::Machine : InstallScope::Default;
  *parsed = result;
  return true;
}
