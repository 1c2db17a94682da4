#include "platform/fake/FakeSystem.h"

#include <algorithm>

#include "platform/fake/FakeFileStream.h"
#include "util/Win32Error.h"

namespace {

// Registry names compare without regard to case; ASCII folding is enough for
// the names tests use.
std::u16string Fold(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return folded;
}

// A key path without leading, trailing or doubled separators.
std::u16string NormalizeKey(std::u16string_view key) {
  std::u16string out;
  for (char16_t c : key) {
    if (c == u'\\' && (out.empty() || out.back() == u'\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == u'\\') out.pop_back();
  return Fold(out);
}

}  // namespace

struct FakeSystem::LoadedLibrary {
  std::u16string path;
  Library library;
  int loads = 0;
  int frees = 0;
};

FakeSystem::FakeSystem() = default;
FakeSystem::~FakeSystem() = default;

void FakeSystem::SetEnvironmentVariable(std::u16string name, std::u16string value) {
  m_environment[std::move(name)] = std::move(value);
}


void FakeSystem::AddRegistryKey(RegistryHive hive, RegistryView view, std::u16string_view key) {
  m_registry[{hive, view}][NormalizeKey(key)];
}

void FakeSystem::SetRegistryString(RegistryHive hive, RegistryView view, std::u16string_view key,
                                   std::u16string_view name, std::u16string text) {
  RegistryValue value;
  value.type = REG_SZ;
  value.text = std::move(text);
  m_registry[{hive, view}][NormalizeKey(key)][Fold(name)] = std::move(value);
}

void FakeSystem::SetRegistryDword(RegistryHive hive, RegistryView view, std::u16string_view key,
                                  std::u16string_view name, DWORD number) {
  RegistryValue value;
  value.type = REG_DWORD;
  value.number = number;
  m_registry[{hive, view}][NormalizeKey(key)][Fold(name)] = std::move(value);
}

void FakeSystem::SetPackageFunctionsAvailable(bool available) { m_packageFunctions = available; }
void FakeSystem::AddPackage(PackageEntry entry) { m_packages.push_back(std::move(entry)); }
void FakeSystem::SetPackageGraphResult(HRESULT hr) { m_packageGraphResult = hr; }

void FakeSystem::AddFile(std::u16string path) { AddFile(std::move(path), File{}); }
void FakeSystem::AddFile(std::u16string path, File file) { m_files[std::move(path)] = std::move(file); }
void FakeSystem::AddFolder(std::u16string path) { m_folders[std::move(path)] = true; }

void FakeSystem::SetExecutablePath(std::optional<std::u16string> path, HRESULT failure) {
  m_executablePath = std::move(path);
  m_executablePathFailure = failure;
}

void FakeSystem::SetCurrentDirectory(std::u16string path) { m_currentDirectory = std::move(path); }
void FakeSystem::SetRoamingDataFolder(std::u16string path) { m_roamingDataFolder = std::move(path); }

void FakeSystem::AddLibrary(std::u16string path, Library library) {
  auto entry = std::make_unique<LoadedLibrary>();
  entry->path = std::move(path);
  entry->library = std::move(library);
  m_libraries.push_back(std::move(entry));
}

int FakeSystem::LoadCount(std::u16string_view path) const {
  for (const auto& l : m_libraries)
    if (l->path == path) return l->loads;
  return 0;
}

int FakeSystem::FreeCount(std::u16string_view path) const {
  for (const auto& l : m_libraries)
    if (l->path == path) return l->frees;
  return 0;
}

std::optional<std::u16string> FakeSystem::ReadEnvironmentVariable(std::u16string_view name) {
  const auto it = m_environment.find(std::u16string(name));
  if (it == m_environment.end()) return std::nullopt;
  return it->second;
}

bool FakeSystem::RegistryKeyOpens(RegistryHive hive, RegistryView view, std::u16string_view key) {
  m_registryReads.push_back({hive, view, std::u16string(key), {}});
  const auto hiveIt = m_registry.find({hive, view});
  if (hiveIt == m_registry.end()) return false;
  const std::u16string wanted = NormalizeKey(key);
  if (wanted.empty()) return true;
  // A key exists when it was created or when a key below it was.
  for (const auto& [path, values] : hiveIt->second) {
    if (path == wanted) return true;
    if (path.size() > wanted.size() && path.compare(0, wanted.size(), wanted) == 0 && path[wanted.size()] == u'\\')
      return true;
  }
  return false;
}

HRESULT FakeSystem::ReadRegistryValue(RegistryHive hive, RegistryView view, std::u16string_view key,
                                      std::u16string_view name, RegistryValue* value) {
  if (!value) return E_POINTER;
  m_registryReads.push_back({hive, view, std::u16string(key), std::u16string(name)});
  const HRESULT notFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);
  const auto hiveIt = m_registry.find({hive, view});
  if (hiveIt == m_registry.end()) return notFound;
  const auto keyIt = hiveIt->second.find(NormalizeKey(key));
  if (keyIt == hiveIt->second.end()) return notFound;
  const auto valueIt = keyIt->second.find(Fold(name));
  if (valueIt == keyIt->second.end()) return notFound;
  *value = valueIt->second;
  return S_OK;
}

bool FakeSystem::PackageFunctionsAvailable() { return m_packageFunctions; }

HRESULT FakeSystem::AddPackageDependency(std::u16string_view) {
  if (!m_packageFunctions) return HResultFromWin32(ERROR_NOT_SUPPORTED);
  return S_OK;
}

HRESULT FakeSystem::GetPackageGraph(std::vector<PackageEntry>* entries) {
  if (!entries) return E_POINTER;
  if (!m_packageFunctions) return HResultFromWin32(ERROR_NOT_SUPPORTED);
  if (FAILED(m_packageGraphResult)) return m_packageGraphResult;
  *entries = m_packages;
  return S_OK;
}

bool FakeSystem::FileExists(std::u16string_view path) {
  const std::u16string key(path);
  return m_files.contains(key) || m_folders.contains(key);
}

HRESULT FakeSystem::CheckFileOpensForExecution(std::u16string_view path) {
  const std::u16string key(path);
  if (m_folders.contains(key)) return HResultFromWin32(ERROR_ACCESS_DENIED);
  const auto it = m_files.find(key);
  if (it == m_files.end()) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  return it->second.opensForExecution ? S_OK : HResultFromWin32(ERROR_ACCESS_DENIED);
}

HRESULT FakeSystem::OpenFileStream(std::u16string_view path, IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  const std::u16string key(path);
  if (m_folders.contains(key)) return HResultFromWin32(ERROR_ACCESS_DENIED);
  const auto it = m_files.find(key);
  if (it == m_files.end()) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  if (!it->second.opensForReading) return HResultFromWin32(ERROR_ACCESS_DENIED);
  ComPtr<FakeFileStream> made = MakeComObject<FakeFileStream>(it->second.content);
  if (!made) return E_OUTOFMEMORY;
  *stream = made.Detach();
  return S_OK;
}

HRESULT FakeSystem::ReadLibraryVersion(std::u16string_view path, std::u16string* version) {
  if (!version) return E_POINTER;
  const auto it = m_files.find(std::u16string(path));
  if (it == m_files.end()) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  if (it->second.versionReadFailures > 0) {
    --it->second.versionReadFailures;
    return it->second.versionFailure;
  }
  if (!it->second.version || it->second.version->empty()) return HResultFromWin32(kErrorResourceTypeNotFound);
  *version = *it->second.version;
  return S_OK;
}

HRESULT FakeSystem::GetExecutablePath(std::u16string* path) {
  if (!path) return E_POINTER;
  if (!m_executablePath) return m_executablePathFailure;
  *path = *m_executablePath;
  return S_OK;
}

HRESULT FakeSystem::GetCurrentDirectory(std::u16string* path) {
  if (!path) return E_POINTER;
  *path = m_currentDirectory;
  return S_OK;
}

HRESULT FakeSystem::GetRoamingDataFolder(std::u16string* path) {
  if (!path) return E_POINTER;
  *path = m_roamingDataFolder;
  return S_OK;
}

void FakeSystem::SetAppUserModelId(std::u16string_view id) { m_appUserModelId = std::u16string(id); }

std::optional<std::u16string> FakeSystem::GetAppUserModelId() { return m_appUserModelId; }

FakeSystem::LoadedLibrary* FakeSystem::Find(LibraryHandle library) {
  for (const auto& l : m_libraries)
    if (reinterpret_cast<LibraryHandle>(l.get()) == library) return l.get();
  return nullptr;
}

HRESULT FakeSystem::LoadLibrary(std::u16string_view path, LibraryHandle* library) {
  if (!library) return E_POINTER;
  *library = nullptr;
  for (const auto& l : m_libraries) {
    if (l->path != path) continue;
    if (FAILED(l->library.loadResult)) return l->library.loadResult;
    ++l->loads;
    *library = reinterpret_cast<LibraryHandle>(l.get());
    return S_OK;
  }
  return HResultFromWin32(ERROR_FILE_NOT_FOUND);
}

HRESULT FakeSystem::FindLibrarySymbol(LibraryHandle library, const char* name) {
  LoadedLibrary* l = Find(library);
  if (!l || !name) return E_INVALIDARG;
  return l->library.exports.contains(name) ? S_OK : HResultFromWin32(kErrorProcNotFound);
}

HRESULT FakeSystem::GetCreateEnvironmentEntry(LibraryHandle library, const char* name, CreateEnvironmentEntry* entry) {
  if (!entry) return E_POINTER;
  LoadedLibrary* l = Find(library);
  if (!l || !name) return E_INVALIDARG;
  const auto it = l->library.exports.find(name);
  if (it == l->library.exports.end()) return HResultFromWin32(kErrorProcNotFound);
  *entry = it->second;
  return S_OK;
}

void FakeSystem::FreeLibrary(LibraryHandle library) {
  if (LoadedLibrary* l = Find(library)) ++l->frees;
}

HRESULT FakeSystem::OpenWithDefaultHandler(std::u16string_view target) {
  m_shellLaunches.push_back({std::u16string(target), {}, {}});
  return m_shellLaunchResult;
}

HRESULT FakeSystem::StartProgram(std::u16string_view program, const std::vector<std::u16string>& arguments) {
  m_shellLaunches.push_back({{}, std::u16string(program), arguments});
  return m_shellLaunchResult;
}

bool FakeSystem::IsDirectory(std::u16string_view path) { return m_folders.contains(std::u16string(path)); }

HRESULT FakeSystem::CopyFileReplacing(std::u16string_view source, std::u16string_view destination,
                                      const std::atomic<bool>* stop) {
  if (m_copyHook) m_copyHook();
  if (stop && stop->load()) return HResultFromWin32(ERROR_CANCELLED);
  if (FAILED(m_copyResult)) return m_copyResult;
  const auto found = m_files.find(std::u16string(source));
  if (found == m_files.end()) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  if (source == destination) return HResultFromWin32(ERROR_ACCESS_DENIED);
  m_files[std::u16string(destination)] = found->second;
  return S_OK;
}

std::string FakeSystem::FileContent(std::u16string_view path) const {
  const auto found = m_files.find(std::u16string(path));
  return found == m_files.end() ? std::string() : found->second.content;
}

void FakeSystem::WriteDebugLine(std::string_view line) { m_debugLines.emplace_back(line); }

void FakeSystem::WriteCreationFailureEvent(const CreationFailureEvent& event) { m_failureEvents.push_back(event); }

void FakeSystem::AddProgram(std::u16string path, Program program) {
  std::lock_guard lock(m_processMutex);
  m_programs[std::move(path)] = std::move(program);
}

std::vector<FakeSystem::StartedProcess> FakeSystem::StartedProcesses() const {
  std::lock_guard lock(m_processMutex);
  return m_started;
}

int FakeSystem::ProcessesNotWaitedFor() const {
  std::lock_guard lock(m_processMutex);
  return static_cast<int>(m_running.size());
}

HRESULT FakeSystem::StartProcess(std::u16string_view path, const std::vector<std::u16string>& arguments,
                                 ProcessHandle* process) {
  if (!process) return E_POINTER;
  *process = 0;
  std::lock_guard lock(m_processMutex);
  m_started.push_back({std::u16string(path), arguments});
  auto it = m_programs.find(std::u16string(path));
  if (it == m_programs.end()) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  if (FAILED(it->second.startResult)) return it->second.startResult;
  *process = m_nextProcess++;
  m_running[*process] = it->second.wait;
  return S_OK;
}

HRESULT FakeSystem::WaitForProcess(ProcessHandle process) {
  std::function<HRESULT()> wait;
  {
    std::lock_guard lock(m_processMutex);
    auto it = m_running.find(process);
    if (it == m_running.end()) return E_INVALIDARG;
    wait = std::move(it->second);
    m_running.erase(it);
  }
  // Outside the lock: the script may block until the test releases it.
  return wait ? wait() : S_OK;
}
