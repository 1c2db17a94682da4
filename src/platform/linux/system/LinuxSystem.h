#pragma once
// The system services over POSIX: the process environment, the registry text
// stores (see RegistryStore), the file system, dlopen and the systemd journal.
// Linux has no package graph, so the package functions report themselves
// unavailable.
#include <memory>
#include <mutex>

#include "platform/ISystem.h"

class InstanceLock;

class LinuxSystem final : public ISystem {
 public:
  LinuxSystem();
  ~LinuxSystem() override;

  std::optional<std::u16string> ReadEnvironmentVariable(std::u16string_view name) override;
  bool RegistryKeyOpens(RegistryHive hive, RegistryView view, std::u16string_view key) override;
  HRESULT ReadRegistryValue(RegistryHive hive, RegistryView view, std::u16string_view key, std::u16string_view name,
                            RegistryValue* value) override;
  bool PackageFunctionsAvailable() override;
  HRESULT AddPackageDependency(std::u16string_view familyName) override;
  HRESULT GetPackageGraph(std::vector<PackageEntry>* entries) override;
  bool FileExists(std::u16string_view path) override;
  HRESULT CheckFileOpensForExecution(std::u16string_view path) override;
  HRESULT OpenFileStream(std::u16string_view path, IStream** stream) override;
  HRESULT ReadLibraryVersion(std::u16string_view path, std::u16string* version) override;
  HRESULT GetExecutablePath(std::u16string* path) override;
  HRESULT GetCurrentDirectory(std::u16string* path) override;
  HRESULT GetRoamingDataFolder(std::u16string* path) override;
  void SetAppUserModelId(std::u16string_view id) override;
  std::optional<std::u16string> GetAppUserModelId() override;
  HRESULT LoadLibrary(std::u16string_view path, LibraryHandle* library) override;
  HRESULT FindLibrarySymbol(LibraryHandle library, const char* name) override;
  HRESULT GetCreateEnvironmentEntry(LibraryHandle library, const char* name, CreateEnvironmentEntry* entry) override;
  void FreeLibrary(LibraryHandle library) override;
  HRESULT StartProcess(std::u16string_view path, const std::vector<std::u16string>& arguments,
                       ProcessHandle* process) override;
  HRESULT WaitForProcess(ProcessHandle process) override;
  HRESULT OpenWithDefaultHandler(std::u16string_view target) override;
  HRESULT StartProgram(std::u16string_view program, const std::vector<std::u16string>& arguments) override;
  bool IsDirectory(std::u16string_view path) override;
  HRESULT CopyFileReplacing(std::u16string_view source, std::u16string_view destination,
                            const std::atomic<bool>* stop) override;
  void WriteDebugLine(std::string_view line) override;
  void WriteCreationFailureEvent(const CreationFailureEvent& event) override;
  InstanceClaim ClaimInstance(std::u16string_view key) override;
  void SetInstanceWindow(HWND window) override { m_instanceWindow = window; }

 private:
  // Held for the process's life once claimed (UI thread only).
  std::unique_ptr<InstanceLock> m_instance;
  HWND m_instanceWindow = nullptr;
  std::mutex m_idMutex;
  std::optional<std::u16string> m_appUserModelId;
  // Failure reports never overlap.
  std::mutex m_eventMutex;
};
