#pragma once
// The in-memory system for unit tests. Tests fill in the environment, the
// registry hives and views, packages, files and their version texts, and
// libraries whose exports are closures; the fake records what the code under
// test asked for and wrote (debug lines, failure events, library loads).
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ISystem.h"

class FakeSystem final : public ISystem {
 public:
  // A file as the fake file system knows it.
  struct File {
    // False for a file that exists but cannot be opened (no permission).
    bool opensForExecution = true;
    // The version text the file carries, if it is a runtime library.
    std::optional<std::u16string> version;
    // Reads of the version that fail (with versionFailure) before one works.
    int versionReadFailures = 0;
    HRESULT versionFailure = E_FAIL;
    // What OpenFileStream reads from the file, and whether it may (false
    // stands for a file without read permission).
    std::string content;
    bool opensForReading = true;
  };

  // A library that LoadLibrary can load. A failing loadResult makes the load
  // fail with that code; exports maps symbol names to their stand-ins.
  struct Library {
    HRESULT loadResult = S_OK;
    std::map<std::string, CreateEnvironmentEntry> exports;
  };

  // A program that StartProcess can start. A failing startResult refuses the
  // start with that code; otherwise WaitForProcess runs `wait` (on the
  // waiting thread, so it may block until the test lets it go) and returns
  // its result, S_OK without one.
  struct Program {
    HRESULT startResult = S_OK;
    std::function<HRESULT()> wait;
  };

  // One start of a program, as asked for.
  struct StartedProcess {
    std::u16string path;
    std::vector<std::u16string> arguments;
    friend bool operator==(const StartedProcess&, const StartedProcess&) = default;
  };

  FakeSystem();
  ~FakeSystem() override;

  // --- Set-up by tests -------------------------------------------------------
  void SetEnvironmentVariable(std::u16string name, std::u16string value);

  // Creates the key (and so every key above it) in a hive and view.
  void AddRegistryKey(RegistryHive hive, RegistryView view, std::u16string_view key);
  void SetRegistryString(RegistryHive hive, RegistryView view, std::u16string_view key, std::u16string_view name,
                         std::u16string text);
  void SetRegistryDword(RegistryHive hive, RegistryView view, std::u16string_view key, std::u16string_view name,
                        DWORD number);

  void SetPackageFunctionsAvailable(bool available);
  void AddPackage(PackageEntry entry);
  void SetPackageGraphResult(HRESULT hr);

  // Adds a file; a folder counts as existing without being a file.
  void AddFile(std::u16string path);
  void AddFile(std::u16string path, File file);
  void AddFolder(std::u16string path);
  void SetExecutablePath(std::optional<std::u16string> path, HRESULT failure = E_FAIL);
  void SetCurrentDirectory(std::u16string path);
  void SetRoamingDataFolder(std::u16string path);

  void AddLibrary(std::u16string path, Library library);

  // Makes a program startable; a path without one fails to start with
  // ERROR_FILE_NOT_FOUND.
  void AddProgram(std::u16string path, Program program);

  // --- Observations ----------------------------------------------------------
  const std::vector<std::string>& DebugLines() const { return m_debugLines; }
  const std::vector<CreationFailureEvent>& FailureEvents() const { return m_failureEvents; }
  // Loads made and loads released for one library path.
  int LoadCount(std::u16string_view path) const;
  int FreeCount(std::u16string_view path) const;
  // Every key path that was probed with RegistryKeyOpens or read, with its hive and view.
  struct RegistryAccess {
    RegistryHive hive;
    RegistryView view;
    std::u16string key;
    std::u16string name;
  };
  const std::vector<RegistryAccess>& RegistryReads() const { return m_registryReads; }

  // Every start asked for, in order, and the started processes not yet
  // waited for. Safe to read while another thread starts or waits.
  std::vector<StartedProcess> StartedProcesses() const;
  int ProcessesNotWaitedFor() const;
  // Shell launches, in order: a default-handler open records its target, a
  // program start its program and arguments.
  struct ShellLaunch {
    std::u16string target;                // the file, folder or address opened
    std::u16string program;               // the program started, or empty
    std::vector<std::u16string> arguments;
    friend bool operator==(const ShellLaunch&, const ShellLaunch&) = default;
  };
  const std::vector<ShellLaunch>& ShellLaunches() const { return m_shellLaunches; }
  void SetShellLaunchResult(HRESULT hr) { m_shellLaunchResult = hr; }
  // Makes every CopyFileReplacing fail with this code (S_OK to copy again).
  void SetCopyResult(HRESULT hr) { m_copyResult = hr; }
  // What ClaimInstance answers, and the key and window it was given.
  void SetInstanceClaim(InstanceClaim claim) { m_instanceClaim = claim; }
  const std::optional<std::u16string>& ClaimedInstanceKey() const { return m_instanceKey; }
  HWND InstanceWindow() const { return m_instanceWindow; }
  // Runs at the start of every CopyFileReplacing, on the copying thread; a
  // test blocks in it to stand for a copy that takes long.
  void SetCopyHook(std::function<void()> hook) { m_copyHook = std::move(hook); }
  // The content of a fake file, empty when there is none.
  std::string FileContent(std::u16string_view path) const;

  // --- ISystem ---------------------------------------------------------------
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
  InstanceClaim ClaimInstance(std::u16string_view key) override {
    m_instanceKey = std::u16string(key);
    return m_instanceClaim;
  }
  void SetInstanceWindow(HWND window) override { m_instanceWindow = window; }

 private:
  struct LoadedLibrary;
  using HiveKey = std::pair<RegistryHive, RegistryView>;
  // Keys by lower-cased path; each maps lower-cased value names to values.
  using Hive = std::map<std::u16string, std::map<std::u16string, RegistryValue>>;

  LoadedLibrary* Find(LibraryHandle library);

  std::map<std::u16string, std::u16string> m_environment;
  std::map<HiveKey, Hive> m_registry;
  std::vector<RegistryAccess> m_registryReads;
  bool m_packageFunctions = false;
  HRESULT m_packageGraphResult = S_OK;
  std::vector<PackageEntry> m_packages;
  std::map<std::u16string, File> m_files;
  std::map<std::u16string, bool> m_folders;
  std::optional<std::u16string> m_executablePath;
  HRESULT m_executablePathFailure = E_FAIL;
  std::u16string m_currentDirectory = u"/work";
  std::u16string m_roamingDataFolder = u"/home/user/.local/share";
  std::optional<std::u16string> m_appUserModelId;
  std::vector<std::unique_ptr<LoadedLibrary>> m_libraries;
  // Processes are started and waited for on worker threads.
  InstanceClaim m_instanceClaim = InstanceClaim::First;
  std::optional<std::u16string> m_instanceKey;
  HWND m_instanceWindow = nullptr;
  mutable std::mutex m_processMutex;
  std::map<std::u16string, Program> m_programs;
  std::vector<StartedProcess> m_started;
  std::map<ProcessHandle, std::function<HRESULT()>> m_running;
  ProcessHandle m_nextProcess = 100;
  std::vector<std::string> m_debugLines;
  std::vector<ShellLaunch> m_shellLaunches;
  HRESULT m_shellLaunchResult = S_OK;
  HRESULT m_copyResult = S_OK;
  std::function<void()> m_copyHook;
  std::vector<CreationFailureEvent> m_failureEvents;
};
