#include "platform/linux/system/LinuxSystem.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <vector>
#ifdef VELLUM_HAVE_SYSTEMD
#include <systemd/sd-journal.h>
#endif

#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"
#include "platform/linux/ElfVersionSection.h"
#include "platform/linux/RegistryStore.h"
#include "platform/linux/system/FileCopy.h"
#include "platform/linux/system/InstanceLock.h"
#include "platform/linux/system/ShellLauncher.h"
#include "util/DebugOutput.h"
#include "util/FileStream.h"
#include "util/OpenFileForReading.h"
#include "util/Strings.h"
#include "util/UniqueFd.h"
#include "util/Win32Error.h"
#include "webview/EngineContract.h"

namespace {

// A path for the POSIX calls. A NUL inside the text would silently shorten
// the path and name a different file, so such a path gives nothing.
std::optional<std::string> NativePath(std::u16string_view path) {
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return WideToUtf8(path);
}

const char* GetEnvironment(const char* name) { return std::getenv(name); }

RegistryStore LoadHive(RegistryHive hive) {
  return RegistryStore::Load(RegistryStore::StorePath(hive, GetEnvironment), hive);
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return std::string();
}

// The code for a library that dlopen refused, from the loader's text:
// HRESULT_FROM_WIN32(kErrorModNotFound) when the text names a library other
// than `path` that cannot be opened (a missing dependency),
// ERROR_BAD_EXE_FORMAT otherwise.
HRESULT LoadFailureFromLoaderText(std::string_view path, std::string_view text) {
  // The loader names the object it could not open first. When that is not
  // the library asked for, the library itself is fine and one of the
  // libraries it needs is missing.
  constexpr std::string_view kCannotOpen = "cannot open shared object file";
  const bool namesThisLibrary = text.size() > path.size() && text.substr(0, path.size()) == path &&
                                text[path.size()] == ':';
  if (!namesThisLibrary && text.find(kCannotOpen) != std::string_view::npos)
    return HResultFromWin32(kErrorModNotFound);
  return HResultFromWin32(ERROR_BAD_EXE_FORMAT);
}

// The programs started and not yet waited for (the first-run installer).
// When the program is told to end (SIGTERM, or SIGINT sent to it alone) they
// are told to end too, instead of running on without the program that
// waits for them; then the signal does what it did before, ending the
// program. Kept in plain atomics, since the handler may only do what is
// safe inside a signal.
constexpr int kTrackedChildren = 8;
std::atomic<pid_t> g_children[kTrackedChildren];

void EndChildrenAndDie(int signal) {
  for (auto& child : g_children)
    if (const pid_t pid = child.load(); pid > 0) ::kill(pid, SIGTERM);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void TrackChild(pid_t pid, pid_t replaced) {
  for (auto& child : g_children) {
    pid_t expected = replaced;
    if (child.compare_exchange_strong(expected, pid)) return;
  }
}

// Installs the handler once, and only over the default disposition: a
// signal the program was started with ignored (nohup) stays ignored.
void EndChildrenWithTheProgram() {
  static const bool installed = [] {
    for (const int signal : {SIGTERM, SIGINT}) {
      struct sigaction current {};
      if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = &EndChildrenAndDie;
      sigemptyset(&action.sa_mask);
      ::sigaction(signal, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

}  // namespace

LinuxSystem::LinuxSystem() = default;
LinuxSystem::~LinuxSystem() = default;

std::optional<std::u16string> LinuxSystem::ReadEnvironmentVariable(std::u16string_view name) {
  if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  const char* value = std::getenv(WideToUtf8(name).c_str());
  if (!value) return std::nullopt;
  return Utf8ToWide(value);
}

bool LinuxSystem::RegistryKeyOpens(RegistryHive hive, RegistryView, std::u16string_view key) {
  // Both views read the same store: Linux has no 32-bit redirection.
  return LoadHive(hive).KeyExists(key);
}

HRESULT LinuxSystem::ReadRegistryValue(RegistryHive hive, RegistryView, std::u16string_view key,
                                       std::u16string_view name, RegistryValue* value) {
  if (!value) return E_POINTER;
  return LoadHive(hive).ReadValue(key, name, value);
}

bool LinuxSystem::PackageFunctionsAvailable() { return false; }

HRESULT LinuxSystem::AddPackageDependency(std::u16string_view) { return HResultFromWin32(ERROR_NOT_SUPPORTED); }

HRESULT LinuxSystem::GetPackageGraph(std::vector<PackageEntry>*) { return HResultFromWin32(ERROR_NOT_SUPPORTED); }

bool LinuxSystem::FileExists(std::u16string_view path) {
  const auto native = NativePath(path);
  struct stat info {};
  return native && ::stat(native->c_str(), &info) == 0;
}

HRESULT LinuxSystem::OpenFileStream(std::u16string_view path, IStream** stream) {
  return FileStream::Open(path, stream);
}

HRESULT LinuxSystem::CheckFileOpensForExecution(std::u16string_view path) {
  const auto native = NativePath(path);
  if (!native) return HResultFromWin32(ERROR_INVALID_NAME);
  UniqueFd file;
  struct stat info {};
  // The shared opener refuses a folder of the library's name with access
  // denied; anything else that is not a regular file cannot be mapped as a
  // library either, and is refused the same way.
  if (const HRESULT hr = OpenFileForReading(*native, file, info); FAILED(hr)) return hr;
  if (!S_ISREG(info.st_mode)) return HResultFromWin32(ERROR_ACCESS_DENIED);
  return S_OK;
}

HRESULT LinuxSystem::ReadLibraryVersion(std::u16string_view path, std::u16string* version) {
  if (!version) return E_POINTER;
  const auto native = NativePath(path);
  if (!native) return HResultFromWin32(ERROR_INVALID_NAME);
  return ElfVersionSection::ReadFromFile(*native, version);
}

HRESULT LinuxSystem::GetExecutablePath(std::u16string* path) {
  if (!path) return E_POINTER;
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return HResultFromErrno(errno);
    if (static_cast<std::size_t>(length) < buffer.size()) {
      *path = Utf8ToWide(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
      return path->empty() ? HResultFromWin32(ERROR_INVALID_NAME) : S_OK;
    }
    if (buffer.size() >= 65536) return HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);
    buffer.resize(buffer.size() * 2);
  }
}

HRESULT LinuxSystem::GetCurrentDirectory(std::u16string* path) {
  if (!path) return E_POINTER;
  std::vector<char> buffer(256);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      *path = Utf8ToWide(buffer.data());
      return path->empty() ? HResultFromWin32(ERROR_INVALID_NAME) : S_OK;
    }
    if (errno != ERANGE) return HResultFromErrno(errno);
    if (buffer.size() >= 65536) return HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);
    buffer.resize(buffer.size() * 2);
  }
}

HRESULT LinuxSystem::GetRoamingDataFolder(std::u16string* path) {
  if (!path) return E_POINTER;
  // The base-directory rules ignore a relative XDG_DATA_HOME.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
    *path = Utf8ToWide(data);
    if (!path->empty()) return S_OK;
  }
  const std::string home = HomeFolder();
  if (home.empty()) return HResultFromWin32(ERROR_PATH_NOT_FOUND);
  *path = Utf8ToWide(home + "/.local/share");
  return path->empty() ? HResultFromWin32(ERROR_INVALID_NAME) : S_OK;
}

InstanceClaim LinuxSystem::ClaimInstance(std::u16string_view key) {
  // The user's runtime folder is private to the user; where the session has
  // none, GLib names the user's cache folder instead.
  const std::string folder = g_get_user_runtime_dir();
  g_mkdir_with_parents(folder.c_str(), 0700);
  auto lock = std::make_unique<InstanceLock>(folder);
  lock->SetOnActivate([this] {
    if (m_instanceWindow) Platform::Windowing().PostMessage(m_instanceWindow, WM_ACTIVATE_INSTANCE, 0, 0);
  });
  const InstanceClaim claim = lock->Claim(key);
  if (claim == InstanceClaim::First) m_instance = std::move(lock);
  return claim;
}

void LinuxSystem::SetAppUserModelId(std::u16string_view id) {
  std::lock_guard lock(m_idMutex);
  m_appUserModelId = std::u16string(id);
}

std::optional<std::u16string> LinuxSystem::GetAppUserModelId() {
  std::lock_guard lock(m_idMutex);
  return m_appUserModelId;
}

HRESULT LinuxSystem::LoadLibrary(std::u16string_view path, LibraryHandle* library) {
  if (!library) return E_POINTER;
  *library = nullptr;
  const auto native = NativePath(path);
  if (!native) return HResultFromWin32(ERROR_INVALID_NAME);
  // RTLD_NODELETE keeps the code mapped after the last dlclose: a runtime
  // over GLib registers types and hands out objects that outlive any load
  // count, so unmapping it would leave those pointing at nothing. Releasing
  // a load therefore only drops the count, the way a library that holds a
  // reference on itself stays in memory.
  void* handle = ::dlopen(native->c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle) {
    *library = static_cast<LibraryHandle>(handle);
    return S_OK;
  }
  // dlopen says why only in text. The text goes out as a debug line, so the
  // reason is not lost; the code is worked out from the file itself and
  // from whose name the text starts with.
  const char* reason = ::dlerror();
  const std::string text = reason ? reason : "";
  WriteDebugLine("vellumview: cannot load " + *native + ": " + text + "\n");
  UniqueFd file;
  struct stat info {};
  if (const HRESULT hr = OpenFileForReading(*native, file, info); FAILED(hr)) return hr;
  return LoadFailureFromLoaderText(*native, text);
}

HRESULT LinuxSystem::StartProcess(std::u16string_view path, const std::vector<std::u16string>& arguments,
                                  ProcessHandle* process) {
  if (!process) return E_POINTER;
  *process = 0;
  const auto native = NativePath(path);
  if (!native) return HResultFromWin32(ERROR_INVALID_NAME);
  std::vector<std::string> texts{*native};
  for (const auto& argument : arguments) {
    if (argument.find(u'\0') != std::u16string::npos) return E_INVALIDARG;
    texts.push_back(WideToUtf8(argument));
  }
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  // The program gets no terminal input; its output still goes where ours
  // goes, so that a failing installer's one line reaches the same log.
  posix_spawn_file_actions_t actions;
  if (int error = posix_spawn_file_actions_init(&actions); error != 0) return HResultFromErrno(error);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // posix_spawn (unlike posix_spawnp) never hands a file that is not a
  // program to a shell, and it reports the errno of the exec itself:
  // ENOENT, EACCES and ENOEXEC come back here, not from a child that exits.
  pid_t pid = 0;
  const int error = ::posix_spawn(&pid, native->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return HResultFromErrno(error);
  EndChildrenWithTheProgram();
  TrackChild(pid, 0);
  *process = pid;
  return S_OK;
}

HRESULT LinuxSystem::WaitForProcess(ProcessHandle process) {
  if (process <= 0) return E_INVALIDARG;
  for (;;) {
    int status = 0;
    const pid_t result = ::waitpid(static_cast<pid_t>(process), &status, 0);
    if (result == static_cast<pid_t>(process)) {
      TrackChild(0, result);
      return S_OK;
    }
    if (result < 0 && errno == EINTR) continue;
    // ECHILD: someone else reaped it (or children are ignored); either way
    // there is nothing left to wait for.
    TrackChild(0, static_cast<pid_t>(process));
    return HResultFromErrno(result < 0 ? errno : ECHILD);
  }
}

HRESULT LinuxSystem::FindLibrarySymbol(LibraryHandle library, const char* name) {
  if (!library || !name) return E_INVALIDARG;
  ::dlerror();
  void* address = ::dlsym(static_cast<void*>(library), name);
  return address ? S_OK : HResultFromWin32(kErrorProcNotFound);
}

HRESULT LinuxSystem::GetCreateEnvironmentEntry(LibraryHandle library, const char* name, CreateEnvironmentEntry* entry) {
  if (!entry) return E_POINTER;
  if (!library || !name) return E_INVALIDARG;
  ::dlerror();
  void* address = ::dlsym(static_cast<void*>(library), name);
  if (!address) return HResultFromWin32(kErrorProcNotFound);
  const auto function = reinterpret_cast<CreateWebViewEnvironmentWithOptionsInternalFn>(address);
  *entry = [function](int flag, UINT32 runtimeKind, LPCWSTR userDataFolder,
                      ICoreWebView2EnvironmentOptions* options,
                      ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    return function(flag, runtimeKind, userDataFolder, options, handler);
  };
  return S_OK;
}

void LinuxSystem::FreeLibrary(LibraryHandle library) {
  if (library) ::dlclose(static_cast<void*>(library));
}

void LinuxSystem::WriteDebugLine(std::string_view line) { ::WriteDebugLine(line); }

void LinuxSystem::WriteCreationFailureEvent(const CreationFailureEvent& event) {
  std::lock_guard lock(m_eventMutex);
#ifdef VELLUM_HAVE_SYSTEMD
  // The event keeps the provider's identity and the field names the loader's
  // error event has always had, so that existing queries find it; the
  // journal wants upper-case field names.
  sd_journal_send("MESSAGE=CreateWebViewEnvironmentError hr=0x%08" PRIX32, static_cast<std::uint32_t>(event.hr),
                  "PRIORITY=3", "VELLUMVIEW_PROVIDER=Microsoft.MSEdgeWebView.Loader",
                  "VELLUMVIEW_PROVIDER_GUID={951DDD7E-F2FF-5B3F-7137-E2F1A0DD9804}",
                  "VELLUMVIEW_PROVIDER_GROUP={4F50731A-89CF-4782-B3E0-DCE8C90476BA}",
                  "VELLUMVIEW_EVENT=CreateWebViewEnvironmentError", "VELLUMVIEW_LEVEL=2", "VELLUMVIEW_CHANNEL=11",
                  "VELLUMVIEW_OPCODE=0", "VELLUMVIEW_KEYWORD=0x0000400000000000", "HRESULT=%" PRId32, event.hr,
                  "CLIENTDLLFOUND=%u", event.clientDllFound ? 1u : 0u, "INSTALLEDRUNTIME=%u",
                  event.installedRuntime ? 1u : 0u, "PARTA_PRIVTAGS=%" PRIu64, event.partAPrivTags, nullptr);
#else
  (void)event;
#endif
}

HRESULT LinuxSystem::OpenWithDefaultHandler(std::u16string_view target) {
  const auto utf8 = WideToUtf8Exact(target);
  if (!utf8 || target.find(u'\0') != std::u16string_view::npos) return E_INVALIDARG;
  return ShellLauncher::OpenDefault(*utf8);
}

HRESULT LinuxSystem::StartProgram(std::u16string_view program, const std::vector<std::u16string>& arguments) {
  const auto name = NativePath(program);
  if (!name) return E_INVALIDARG;
  std::vector<std::string> native;
  for (const std::u16string& argument : arguments) {
    // A NUL would end the argument early and hand the program another text.
    if (argument.find(u'\0') != std::u16string::npos) return E_INVALIDARG;
    native.push_back(WideToUtf8(argument));
  }
  return ShellLauncher::Start(*name, native);
}

bool LinuxSystem::IsDirectory(std::u16string_view path) {
  const auto native = NativePath(path);
  struct stat info{};
  return native && ::stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

HRESULT LinuxSystem::CopyFileReplacing(std::u16string_view source, std::u16string_view destination,
                                       const std::atomic<bool>* stop) {
  const auto from = NativePath(source);
  const auto to = NativePath(destination);
  if (!from || !to) return HResultFromWin32(ERROR_INVALID_NAME);
  return FileCopy::Replace(*from, *to, stop);
}
