// The built library as the loader sees it, without a display: the one
// exported entry, its answers to calls it cannot serve, and the version text.
#include <dlfcn.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <fstream>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>
#include <string>

#include "com/Callback.h"
#include "webview/EngineContract.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RuntimeEntry, LibraryCarriesItsVersionTextInItsOwnSection) {
  // The loader reads the section without loading the library; here it is
  // enough that the text is in the file, NUL-terminated, exactly once.
  const std::string bytes = ReadFile(VELLUM_RUNTIME_LIBRARY);
  ASSERT_FALSE(bytes.empty());
  const std::string version = std::string("130.0.2839.0") + '\0';
  const std::size_t at = bytes.find(version);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(bytes.find(".vellumview_version"), std::string::npos) << "section name in the section header table";
}

class RuntimeEntryCall : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = dlopen(VELLUM_RUNTIME_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_library, nullptr) << dlerror();
    m_entry = reinterpret_cast<CreateWebViewEnvironmentWithOptionsInternalFn>(dlsym(m_library, kCreateEnvironmentEntryName));
    ASSERT_NE(m_entry, nullptr);
  }
  // The library stays loaded: engine libraries do not support unloading.
  void* m_library = nullptr;
  CreateWebViewEnvironmentWithOptionsInternalFn m_entry = nullptr;
};

TEST_F(RuntimeEntryCall, ExportsOnlyTheEntry) {
  // The dynamic symbol table as binutils lists it: one defined function.
  const std::string command = std::string("nm -D --defined-only ") + VELLUM_RUNTIME_LIBRARY;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  ASSERT_TRUE(pipe);
  std::vector<std::string> functions;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::string text(line);
    if (text.find(" T ") != std::string::npos || text.find(" W ") != std::string::npos) functions.push_back(text);
  }
  ASSERT_EQ(functions.size(), 1u) << functions.size() << " functions, first: " << functions.front();
  EXPECT_NE(functions.front().find("CreateWebViewEnvironmentWithOptionsInternal"), std::string::npos);
  EXPECT_EQ(dlsym(m_library, "_Z14CoTaskMemAllocm"), nullptr);
}

TEST_F(RuntimeEntryCall, NullHandlerIsRejected) {
  EXPECT_EQ(m_entry(0, 0, u"/tmp/x", nullptr, nullptr), E_POINTER);
}

TEST_F(RuntimeEntryCall, WithoutADisplayCreationFailsAtOnceAndCallsNothing) {
  g_unsetenv("DISPLAY");
  g_unsetenv("WAYLAND_DISPLAY");
  bool called = false;
  auto handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
      [&](HRESULT, ICoreWebView2Environment*) -> HRESULT {
        called = true;
        return S_OK;
      });
  EXPECT_EQ(m_entry(0, 0, nullptr, nullptr, handler.Get()), E_FAIL);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_FALSE(called);
}

}  // namespace
