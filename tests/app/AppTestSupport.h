#pragma once
// Shared set-up for the application shell's tests: a runtime in the fake
// system whose environment creation stays pending (so the frame lives with
// a view that has no web view yet), and a temporary working directory.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "com/ComPtr.h"
#include "loader/FindClientLibrary.h"
#include "platform/fake/FakeSystem.h"
#include "webview/EngineContract.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"

namespace app_test {

inline constexpr std::u16string_view kRuntimeFolder = u"/opt/runtime";

// Installs a runtime whose creation entry answers `result`; on success the
// completion handler is kept in `pending` and never called, as if the
// engine were still starting.
inline void InstallRuntime(FakeSystem& system,
                           ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>* pending,
                           HRESULT result = S_OK) {
  system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", std::u16string(kRuntimeFolder));
  system.SetRoamingDataFolder(u"/home/user/.local/share");
  system.SetCurrentDirectory(u"/srv/app");
  const std::u16string library =
      std::u16string(kRuntimeFolder) + u"/" + std::u16string(kClientLibraryRelativePath);
  FakeSystem::File file;
  file.version = u"130.0.2839.0";
  system.AddFile(library, file);
  FakeSystem::Library entry;
  entry.exports[kCreateEnvironmentEntryName] =
      [pending, result](int, UINT32, LPCWSTR, ICoreWebView2EnvironmentOptions*,
                        ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
        if (SUCCEEDED(result) && pending) *pending = handler;
        return result;
      };
  system.AddLibrary(library, entry);
}

// A fresh directory made the working directory for the test's lifetime.
class TemporaryWorkingDirectory {
 public:
  TemporaryWorkingDirectory() {
    m_previous = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "vellum-app-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
    std::filesystem::current_path(m_path);
  }
  ~TemporaryWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TemporaryWorkingDirectory(const TemporaryWorkingDirectory&) = delete;
  TemporaryWorkingDirectory& operator=(const TemporaryWorkingDirectory&) = delete;

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(m_path / name, std::ios::binary) << content;
  }

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_path;
};

}  // namespace app_test
