// The library as the loader sees it without a display; the plumbing its
// events go through (main-loop queue, handler lists, argument objects); the
// trace; and where downloads are written.
#include <dlfcn.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "com/Callback.h"
#include "runtime/engine/DownloadTarget.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/engine/RuntimeEnvironment.h"
#include "runtime/events/DownloadOperation.h"
#include "runtime/events/DownloadStartingEventArgs.h"
#include "runtime/events/EventHandlerList.h"
#include "runtime/loopback/RequestTrace.h"
#include "tests/util/TemporaryDirectory.h"
#include "webview/EngineContract.h"

namespace {

// The version the loader reads from the library without loading it is
// checked by the program's GUI tests, which start through the loader.
TEST(RuntimeEntry, LibraryExportsOnlyTheEntry) {
  // The functions of the dynamic symbol table, as binutils lists them.
  g_autofree char* functions = nullptr;
  g_spawn_command_line_sync("sh -c \"nm -D --defined-only " VELLUM_RUNTIME_LIBRARY " | awk '$2 ~ /^[TW]$/ {print $3}'\"",
                            &functions, nullptr, nullptr, nullptr);
  EXPECT_STREQ(functions, "CreateWebViewEnvironmentWithOptionsInternal\n");
}

TEST(RuntimeEntry, AnswersAtOnceWhatItCannotServe) {
  // The library stays loaded: engine libraries do not support unloading.
  void* library = dlopen(VELLUM_RUNTIME_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto entry = reinterpret_cast<CreateWebViewEnvironmentWithOptionsInternalFn>(dlsym(library, kCreateEnvironmentEntryName));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(0, 0, u"/tmp/x", nullptr, nullptr), E_POINTER);
  g_unsetenv("DISPLAY");
  g_unsetenv("WAYLAND_DISPLAY");
  bool called = false;
  auto handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
      [&](HRESULT, ICoreWebView2Environment*) { return called = true, S_OK; });
  EXPECT_EQ(entry(0, 0, nullptr, nullptr, handler.Get()), E_FAIL) << "without a display";
  while (g_main_context_iteration(nullptr, FALSE)) continue;
  EXPECT_FALSE(called);
}

TEST(RuntimeEnvironment, ADataFolderThatCannotBeMadeOrWrittenFailsWithItsCode) {
  const TemporaryDirectory folder;
  const std::string root = folder.Path().string();
  folder.WriteFile("file", "x");
  // An existing folder is the restart under a display.
  const struct { std::string folder; HRESULT hr; } cases[] = {
      {root + "/a/b/EBWebView/Data", S_OK},                                      // made with its parents
      {root + "/" + std::string(300, 'n') + "/Data", static_cast<HRESULT>(0x800700CE)},  // a name too long
      {root + "/file/Data", static_cast<HRESULT>(0x80070003)},                   // below a plain file
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RuntimeEnvironment::PrepareFolder(c.folder), c.hr) << c.folder;
    EXPECT_EQ(g_file_test(c.folder.c_str(), G_FILE_TEST_IS_DIR), c.hr == S_OK) << c.folder;
  }
}

TEST(MainLoopQueue, RunsTasksLaterInOrderAndThoseTheyPostInTheNextRound) {
  std::vector<int> order;
  MainLoopQueue::Post([&] {
    order.push_back(1);
    MainLoopQueue::Post([&] { order.push_back(3); });
  });
  MainLoopQueue::Post([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty()) << "nothing runs inside the posting call";
  g_main_context_iteration(nullptr, FALSE);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  while (g_main_context_iteration(nullptr, FALSE)) continue;
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(EventHandlerList, GivesDistinctTokensAndKeepsOrder) {
  EventHandlerList<ICoreWebView2NewWindowRequestedEventHandler> list;
  std::vector<INT64> calls;
  EventRegistrationToken tokens[2]{};
  for (auto& token : tokens) {
    auto record = [&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs*) { return calls.push_back(token.value), S_OK; };
    list.Add(Callback<ICoreWebView2NewWindowRequestedEventHandler>(record).Get(), &token);
  }
  for (const auto& handler : list.Snapshot()) handler->Invoke(nullptr, nullptr);
  EXPECT_NE(tokens[0].value, tokens[1].value);
  EXPECT_EQ(calls, (std::vector<INT64>{tokens[0].value, tokens[1].value}));
  EXPECT_EQ(list.Add(nullptr, &tokens[0]), E_INVALIDARG);
}

TEST(DownloadStartingEventArgs, HandsOutTheOperationWithAReferenceOfItsOwn) {
  ComPtr<DownloadOperation> operation = MakeComObject<DownloadOperation>(u"file:///d.pdf");
  ComPtr<DownloadStartingEventArgs> download =
      MakeComObject<DownloadStartingEventArgs>(ComPtr<ICoreWebView2DownloadOperation>(operation));
  const ULONG references = operation->RefCount();
  ComPtr<ICoreWebView2DownloadOperation> out;
  download->get_DownloadOperation(out.GetAddressOf());
  EXPECT_EQ(out.Get(), static_cast<ICoreWebView2DownloadOperation*>(operation.Get()));
  EXPECT_EQ(operation->RefCount(), references + 1);
}

// Event lines, and lines of the runtime and its web extension appended to one
// file, are read by every test under a display.
TEST(RequestTrace, EscapesEverySeparatorAndFormatsARequest) {
  EXPECT_EQ(RequestTrace::Escape("a b\tc\nd\re\\f"), "a\\sb\\tc\\nd\\re\\\\f");
  EXPECT_EQ(RequestTrace::FormatRequest("", 1, 404, "Not Found", "engine", "A: b\nC: d\n", 99),
            "request - context=1 status=404 reason=Not\\sFound source=engine t=99 headers=A:\\sb\\nC:\\sd\\n\n");
}

TEST(DownloadTarget, NumbersANameThatIsTaken) {
  const TemporaryDirectory temporary;
  const std::string folder = temporary.Path().string(), base = folder + "/";
  struct Step { const char *name, *expected; };
  const Step steps[] = {{"a.pdf", "a.pdf"}, {"a.pdf", "a (1).pdf"}, {"a.pdf", "a (2).pdf"}, {"README", "README"},
                        {"README", "README (1)"}, {".hidden", ".hidden"}, {".hidden", ".hidden (1)"}};
  for (const Step& step : steps) {
    EXPECT_EQ(DownloadTarget::UniquePath(folder, step.name), base + step.expected);
    g_file_set_contents((base + step.expected).c_str(), "x", 1, nullptr);  // now taken
  }
}

// The bytes go to a hidden temporary file; the final name is taken at the
// end and replaces nothing, not even a file that appeared meanwhile; an
// ended or dropped target leaves no temporary file; a folder that cannot be
// written gives no target.
TEST(DownloadTarget, WritesAsideAndTakesAFreeNameOnlyWhenWholeAndNeedsAWritableFolder) {
  const TemporaryDirectory temporary;
  const std::string folder = (temporary.Path() / "new").string();  // made when missing
  const auto files = [&] {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  };
  {
    DownloadTarget target(folder, "../../report.pdf");  // the folder part is dropped
    ASSERT_TRUE(target.IsOpen());
    EXPECT_EQ(target.Name(), "report.pdf");
    EXPECT_EQ(std::filesystem::path(target.TemporaryPath()).parent_path(), folder);
    EXPECT_EQ(std::filesystem::path(target.TemporaryPath()).filename().string()[0], '.');
    ASSERT_TRUE(g_file_set_contents(target.TemporaryPath().c_str(), "new", -1, nullptr));
    ASSERT_TRUE(g_file_set_contents((folder + "/report.pdf").c_str(), "mine", -1, nullptr));  // appears meanwhile
    EXPECT_EQ(target.Commit(), folder + "/report (1).pdf");
  }
  EXPECT_EQ(files(), (std::set<std::string>{"report.pdf", "report (1).pdf"}));
  for (const auto& [name, expected] : {std::pair{"report.pdf", "mine"}, {"report (1).pdf", "new"}}) {
    g_autofree char* contents = nullptr;
    ASSERT_TRUE(g_file_get_contents((folder + "/" + name).c_str(), &contents, nullptr, nullptr));
    EXPECT_STREQ(contents, expected) << name;
  }
  { DownloadTarget dropped(folder, "x.bin"); }
  DownloadTarget failed(folder, "y.bin");
  failed.Discard();
  EXPECT_EQ(failed.Commit(), "");
  EXPECT_EQ(files().size(), 2u) << "a temporary file was left";
  for (const char* name : {"", ".", ".."}) EXPECT_EQ(DownloadTarget(folder, name).Name(), "download") << name;
  DownloadTarget unwritable(folder + "/report.pdf/below", "a.zip");  // a folder under a file cannot exist
  EXPECT_FALSE(unwritable.IsOpen());
  EXPECT_EQ(unwritable.Commit(), "");
}

}  // namespace
