#pragma once
// Installs the runtime that ships beside the installer and registers it
// where the program's runtime search looks.
//
// The payload folder holds version folders laid out as the search expects
// (<version>/EBWebView/<arch>/libEmbeddedBrowserWebView.so and the web
// extension folder beside the library). The newest version whose library
// carries that same version text is installed as <root>/<version>:
//
//  1. A version folder that already holds exactly the payload is kept as it
//     is, so running the installer again changes nothing on the disk.
//  2. Otherwise the tree is copied into a fresh hidden folder of the same
//     parent, compared byte for byte with the payload and only then renamed
//     to <version> (exchanged with a damaged folder of that name). Until
//     the rename nothing carries a version name, and a failed copy removes
//     its folder, so an interrupted install leaves nothing the search would
//     accept.
//  3. The stable channel's registration in the store is set to the version
//     folder, unless it names a newer runtime that is still in place; the
//     store's other entries are kept.
#include <filesystem>
#include <string>

#include "runtime/installer/InstallTarget.h"
#include "runtime/installer/RuntimeTree.h"

struct InstallOutcome {
  std::string version;
  std::filesystem::path folder;
  // False when a newer registered runtime was left registered.
  bool registered = false;
  // Whether the files were copied (false when they were already in place).
  bool copied = false;
};

class RuntimeInstaller {
 public:
  explicit RuntimeInstaller(RuntimeTree::FileCopier copier = RuntimeTree::CopyFile);

  // On failure `error` holds one line and the store is unchanged.
  bool Install(const std::filesystem::path& payloadFolder, const InstallTarget& target, InstallOutcome* outcome,
               std::string* error);

  // The key, value name and library path that the runtime search uses.
  static std::string RegistrationKey();
  static constexpr const char* kRegistrationValue = "EBWebView";
  static std::string ClientLibraryRelativePath();

  // The payload's newest usable version and its folder.
  static bool FindPayload(const std::filesystem::path& payloadFolder, std::string* version,
                          std::filesystem::path* folder, std::string* error);

 private:
  bool PlaceTree(const std::filesystem::path& source, const std::filesystem::path& root, const std::string& version,
                 bool* copied, std::string* error);
  bool Register(const InstallTarget& target, const std::string& version, const std::filesystem::path& folder,
                bool* registered, std::string* error);

  RuntimeTree::FileCopier m_copier;
};
