#include "platform/linux/system/LinuxSystem.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/util/ScopedDebugOutputCapture.h"
#include "tests/util/ScopedEnvironmentVariable.h"
#include "tests/util/ScopedWorkingDirectory.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

namespace fs = std::filesystem;

namespace {

std::u16string Wide(const fs::path& path) { return Utf8ToWide(path.string()); }

class LinuxSystemTest : public ::testing::Test {
 protected:
  TemporaryDirectory m_dir;
  LinuxSystem m_system;
};

TEST_F(LinuxSystemTest, EnvironmentFoldersAndFiles) {
  ScopedEnvironmentVariable absent("VELLUM_TEST_ABSENT", nullptr);
  ScopedEnvironmentVariable empty("VELLUM_TEST_EMPTY", "");
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(u"VELLUM_TEST_ABSENT").has_value());
  EXPECT_EQ(m_system.ReadEnvironmentVariable(u"VELLUM_TEST_EMPTY"), u"");
  EXPECT_FALSE(m_system.ReadEnvironmentVariable(std::u16string(u"VELLUM_TEST_EMPTY\0X", 19)).has_value());
  // (The working directory is read by the GUI tests, whose start pages are relative to it.)
  std::u16string path;
  ASSERT_EQ(m_system.GetExecutablePath(&path), S_OK);
  EXPECT_EQ(path, Wide(fs::read_symlink("/proc/self/exe")));
  // Relative paths are taken from the working directory; a path with a NUL inside names nothing.
  ScopedWorkingDirectory cwd(m_dir.Path());
  const auto file = m_dir.WriteFile("lib.so", "x");
  EXPECT_TRUE(m_system.FileExists(u"lib.so"));
  EXPECT_FALSE(m_system.FileExists(Wide(file) + std::u16string(1, u'\0') + u"x"));
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path())), HResultFromWin32(5));
  EXPECT_EQ(m_system.CheckFileOpensForExecution(Wide(m_dir.Path() / "none")), HResultFromWin32(2));
  const std::tuple<const char*, std::u16string> cases[] = {
      {"/data/home", u"/data/home"}, {nullptr, u"/home/a/.local/share"}, {"rel", u"/home/a/.local/share"}};
  ScopedEnvironmentVariable home("HOME", "/home/a");
  for (const auto& [xdg, expected] : cases) {
    ScopedEnvironmentVariable data("XDG_DATA_HOME", xdg);
    ASSERT_EQ(LinuxSystem().GetRoamingDataFolder(&path), S_OK);
    EXPECT_EQ(path, expected) << (xdg ? xdg : "unset");
  }
}

// A file that is no library is what the loader's end-to-end tests refuse;
// here the failures that come before the dynamic loader's own answer.
TEST_F(LinuxSystemTest, LoadsLibrariesAndFindsExports) {
  LibraryHandle library = nullptr;
  ASSERT_EQ(m_system.LoadLibrary(Utf8ToWide(VELLUM_TEST_RUNTIME), &library), S_OK);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, kCreateEnvironmentEntryName), S_OK);
  EXPECT_EQ(m_system.FindLibrarySymbol(library, "DllCanUnloadNow"), HResultFromWin32(127));
  m_system.FreeLibrary(library);
  // A library whose dependency is missing says so, and names it on the debug output.
  fs::copy_file(VELLUM_TEST_NEEDS_MISSING_DEPENDENCY, m_dir.Path() / "needs.so");
  const struct { fs::path path; HRESULT hr; const char* named = nullptr; } failures[] = {
      {m_dir.Path() / "missing.so", HResultFromWin32(2)}, {"", HResultFromWin32(123)},
      {m_dir.Path() / "needs.so", HResultFromWin32(126), "libvellum_test_vanishing_dependency.so"}};
  for (const auto& c : failures) {
    ScopedDebugOutputCapture debug;
    library = reinterpret_cast<LibraryHandle>(1);
    EXPECT_EQ(m_system.LoadLibrary(Wide(c.path), &library), c.hr) << c.path;
    EXPECT_EQ(library, nullptr);
    if (!c.named) continue;
    ASSERT_EQ(debug.Lines().size(), 1u);
    EXPECT_NE(debug.Lines()[0].find(c.named), std::string::npos) << debug.Lines()[0];
  }
}

TEST_F(LinuxSystemTest, StartsProgramsDirectlyAndReportsWhyOneCannotStart) {
  ScopedWorkingDirectory cwd(m_dir.Path());
  // The program writes its arguments, one a line, so that the list arrives
  // as given: a shell would split "a b" and expand "$HOME".
  const auto script = m_dir.WriteFile("args.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > args.txt\n");
  fs::permissions(script, fs::perms::owner_all);
  ProcessHandle process = 0;
  ASSERT_EQ(m_system.StartProcess(u"args.sh", {u"/silent", u"a b", u"$HOME"}, &process), S_OK);
  EXPECT_EQ(m_system.WaitForProcess(process), S_OK);
  EXPECT_EQ(TemporaryDirectory::ReadFile(m_dir.Path() / "args.txt"), "/silent\na b\n$HOME\n");
  // A process already waited for cannot be waited for again.
  EXPECT_TRUE(FAILED(m_system.WaitForProcess(process)));

  // A file that is no program is refused with the loader's own code.
  const auto notAProgram = m_dir.WriteFile("data.bin", std::string("\x01\x02garbage", 9));
  fs::permissions(notAProgram, fs::perms::owner_all);
  process = 1;
  EXPECT_EQ(m_system.StartProcess(u"data.bin", {}, &process), static_cast<HRESULT>(0x800700C1));
  EXPECT_EQ(process, 0);
}

// The program told to end while a started program runs (the first-run
// installer): the started program ends too, and the signal still ends the
// program. Run in a child process, which the signal ends.
TEST_F(LinuxSystemTest, EndingTheProgramEndsTheProgramsItStarted) {
  for (const int signal : {SIGTERM, SIGINT}) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t program = ::fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
      ProcessHandle started = 0;
      if (m_system.StartProcess(u"/bin/sleep", {u"30"}, &started) != S_OK) ::_exit(3);
      const pid_t pid = static_cast<pid_t>(started);
      if (::write(channel[1], &pid, sizeof pid) != sizeof pid) ::_exit(4);
      ::raise(signal);
      ::_exit(5);
    }
    ::close(channel[1]);
    pid_t sleeper = 0;
    ASSERT_EQ(::read(channel[0], &sleeper, sizeof sleeper), static_cast<ssize_t>(sizeof sleeper));
    ::close(channel[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(program, &status, 0), program);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    // The started program, reparented, is gone or a zombie within a moment.
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
      std::ifstream stat("/proc/" + std::to_string(sleeper) + "/stat");
      std::string line;
      ended = !std::getline(stat, line) || line.find(") Z ") != std::string::npos;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(ended) << "pid " << sleeper << " still runs";
    if (!ended) ::kill(sleeper, SIGKILL);
  }
}

}  // namespace
