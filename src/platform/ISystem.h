#pragma once
// The system-services half of the platform layer: environment variables, the
// registry store, packages, files, the executable's identity, library
// loading and diagnostics. The runtime loader is written against these
// operations only, so that unit tests can run every rule on the in-memory
// fake while the program uses the Linux backend.
//
// Every path and text is UTF-16 here; the backend converts at the POSIX
// boundary. Operations that can fail return an HRESULT built from the
// Windows error code that stands for the OS failure, because the loader
// passes those codes on to its callers unchanged.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/HResult.h"
#include "com/Types.h"

struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
struct IStream;

// The two registry hives the program reads.
enum class RegistryHive { LocalMachine, CurrentUser };

// The registry view a key is opened in. Linux has no 32-bit redirection, so
// the Linux backend reads both views from the same store; the fake keeps
// them apart so that tests can prove which view a caller asks for.
enum class RegistryView { Default, Bits32 };

// Windows error codes of the operations below that the shared error table
// does not carry.
inline constexpr DWORD kErrorModNotFound = 126;
inline constexpr DWORD kErrorProcNotFound = 127;
inline constexpr DWORD kErrorResourceTypeNotFound = 1813;

inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

// One registry value: a text (REG_SZ) or a 32-bit number (REG_DWORD).
struct RegistryValue {
  DWORD type = REG_SZ;
  std::u16string text;
  DWORD number = 0;
  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// One entry of the current process's package graph.
struct PackageEntry {
  std::u16string familyName;
  std::u16string installedPath;
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
};

// The fields of the event written when environment creation fails.
struct CreationFailureEvent {
  HRESULT hr = S_OK;
  bool clientDllFound = false;
  bool installedRuntime = false;
  std::uint64_t partAPrivTags = 0x1000000;
  friend bool operator==(const CreationFailureEvent&, const CreationFailureEvent&) = default;
};

// A loaded library. The value is the backend's own; null means none.
struct LibraryModule;
using LibraryHandle = LibraryModule*;

// A started program that has not been waited for yet. The value is the
// backend's own (the process id on Linux); 0 means none.
using ProcessHandle = std::int64_t;

// The creation entry of a runtime's client library, as the loader calls it.
// The Linux backend wraps the exported function; the fake hands out a
// closure that stands for it.
using CreateEnvironmentEntry =
    std::function<HRESULT(int flag, UINT32 runtimeKind, LPCWSTR userDataFolder,
                          ICoreWebView2EnvironmentOptions* environmentOptions,
                          ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)>;

// How a start of the program stands to an earlier start of the same
// application (ClaimInstance).
enum class InstanceClaim {
  First,       // no other process runs the application: this one goes on
  HandedOver,  // a running process took the start and raises its window
  NoAnswer,    // another process holds the application, neither answering nor ending
};

class ISystem {
 public:
  virtual ~ISystem() = default;

  // --- One running process per application ---------------------------------
  // Claims the application named by `key` for this process, for the rest of
  // its life. While another process holds it, asks that process to show its
  // window instead (HandedOver); one that is still ending is waited for
  // briefly, and then this process goes on (First). Where no claim can be
  // made at all (no folder to hold it), the process goes on as First.
  virtual InstanceClaim ClaimInstance(std::u16string_view key) = 0;
  // The window a later start's request is posted to, as
  // WM_ACTIVATE_INSTANCE; null while there is none.
  virtual void SetInstanceWindow(HWND window) = 0;

  // --- Environment ---------------------------------------------------------
  // The variable's value; nothing when it is not defined. A variable defined
  // with an empty value gives the empty text, which callers treat as present.
  virtual std::optional<std::u16string> ReadEnvironmentVariable(std::u16string_view name) = 0;

  // --- Registry ------------------------------------------------------------
  // True when the key (a path below the hive, parts separated by '\') opens
  // for reading. Key names are compared without regard to case.
  virtual bool RegistryKeyOpens(RegistryHive hive, RegistryView view, std::u16string_view key) = 0;

  // Reads one value of a key. An empty name reads the key's default value.
  // A missing key or value fails with HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
  // The text is returned whole; callers apply their own length limits.
  virtual HRESULT ReadRegistryValue(RegistryHive hive, RegistryView view, std::u16string_view key,
                                    std::u16string_view name, RegistryValue* value) = 0;

  // --- Packages ------------------------------------------------------------
  // Whether the package-dependency functions exist at all. Linux has none.
  virtual bool PackageFunctionsAvailable() = 0;

  // Adds a dependency on the newest package of the family for the life of
  // the process.
  virtual HRESULT AddPackageDependency(std::u16string_view familyName) = 0;

  // The current package graph; fails when the process has none.
  virtual HRESULT GetPackageGraph(std::vector<PackageEntry>* entries) = 0;

  // --- Files ---------------------------------------------------------------
  // True when the path names something that exists (a file or a folder).
  virtual bool FileExists(std::u16string_view path) = 0;

  // Opens the path as a regular file for reading and execution and closes it
  // again: S_OK, or the failure that the open met.
  virtual HRESULT CheckFileOpensForExecution(std::u16string_view path) = 0;

  // Opens an existing regular file as a read-only stream that reads on
  // demand, so that a large file is never held in memory as a whole. A
  // folder fails with HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), a missing file
  // with ERROR_FILE_NOT_FOUND, a device or pipe with ERROR_FILE_NOT_FOUND (it
  // is not a file to serve, and opening a pipe could wait for ever), a file
  // that cannot be read with the OS failure; `*stream` is null then.
  virtual HRESULT OpenFileStream(std::u16string_view path, IStream** stream) = 0;

  // The product version text that a runtime library carries, read without
  // loading the library. A file without one fails with
  // HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND).
  virtual HRESULT ReadLibraryVersion(std::u16string_view path, std::u16string* version) = 0;

  // The full path of the running executable.
  virtual HRESULT GetExecutablePath(std::u16string* path) = 0;

  // The working directory, without a trailing separator (except for "/").
  virtual HRESULT GetCurrentDirectory(std::u16string* path) = 0;

  // The per-user roaming data folder: $XDG_DATA_HOME when it is an absolute
  // path, otherwise ~/.local/share.
  virtual HRESULT GetRoamingDataFolder(std::u16string* path) = 0;

  // --- Identity ------------------------------------------------------------
  // The explicit application user model ID that start-up gives the process.
  virtual void SetAppUserModelId(std::u16string_view id) = 0;
  // The ID set above; nothing when none has been set.
  virtual std::optional<std::u16string> GetAppUserModelId() = 0;

  // --- Libraries -----------------------------------------------------------
  // Loads a library by its full path. A missing file, a file that is not a
  // library for this process and an unreadable file all fail with an
  // HRESULT; none of them may bring the process down. A library whose own
  // dependency cannot be loaded fails with HRESULT_FROM_WIN32(kErrorModNotFound),
  // and the loader's reason goes out as a debug line.
  virtual HRESULT LoadLibrary(std::u16string_view path, LibraryHandle* library) = 0;

  // Looks up an exported symbol: S_OK when the library exports it, otherwise
  // HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND).
  virtual HRESULT FindLibrarySymbol(LibraryHandle library, const char* name) = 0;

  // Looks up the named export as a creation entry.
  virtual HRESULT GetCreateEnvironmentEntry(LibraryHandle library, const char* name,
                                            CreateEnvironmentEntry* entry) = 0;

  // Releases one load of the library.
  virtual void FreeLibrary(LibraryHandle library) = 0;

  // --- Processes -----------------------------------------------------------
  // Starts a program directly, never through a shell: `path` names the
  // program (relative to the working directory unless absolute), `arguments`
  // follow its own name as separate arguments, and it reads nothing from a
  // terminal. A program that cannot be started gives the HRESULT of its
  // error: missing ERROR_FILE_NOT_FOUND, not executable ERROR_ACCESS_DENIED,
  // not a program ERROR_BAD_EXE_FORMAT. May be called from any thread.
  virtual HRESULT StartProcess(std::u16string_view path, const std::vector<std::u16string>& arguments,
                               ProcessHandle* process) = 0;

  // Waits until the started program has ended and releases its handle, on
  // success and failure alike. Its exit code is not reported. May be called
  // from any thread, and blocks that thread.
  virtual HRESULT WaitForProcess(ProcessHandle process) = 0;

  // --- Shell and file copies ------------------------------------------------
  // Opens a file, a folder or a web address with the desktop's default
  // handler for it (a folder in the file manager) and does not wait.
  virtual HRESULT OpenWithDefaultHandler(std::u16string_view target) = 0;
  // Starts a program (an absolute path, or a name looked up in PATH) with the
  // arguments as a list, never through a shell, and does not wait; the
  // finished child is reaped.
  virtual HRESULT StartProgram(std::u16string_view program, const std::vector<std::u16string>& arguments) = 0;
  // True only for an existing folder.
  virtual bool IsDirectory(std::u16string_view path) = 0;
  // Copies a file over the destination without ever damaging what is there:
  // the bytes go to a new file in the destination's folder, which then
  // replaces the destination in one step. A failed copy leaves the
  // destination as it was and no temporary file behind. A destination that
  // is the source itself fails with HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED).
  // Another thread may set `stop` to give the copy up: it then ends with
  // HRESULT_FROM_WIN32(ERROR_CANCELLED) as a failed copy does, the
  // destination as it was and no temporary file behind.
  // May be called from any thread.
  virtual HRESULT CopyFileReplacing(std::u16string_view source, std::u16string_view destination,
                                    const std::atomic<bool>* stop = nullptr) = 0;

  // --- Diagnostics ---------------------------------------------------------
  // Writes one debug line (UTF-8); the backend decides whether anyone sees it.
  virtual void WriteDebugLine(std::string_view line) = 0;

  // Records the failure event of environment creation where the system
  // keeps such events. Reports are serialised; a system without an event
  // store drops them.
  virtual void WriteCreationFailureEvent(const CreationFailureEvent& event) = 0;
};
