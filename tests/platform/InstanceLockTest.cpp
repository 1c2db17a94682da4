#include "platform/linux/system/InstanceLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "tests/util/TemporaryDirectory.h"

namespace {

// A holder answering on a main context of its own, iterated by a thread, as
// the program's message loop iterates the default one.
struct AnsweringHolder {
  AnsweringHolder(const std::string& folder, std::u16string_view key) : lock(folder, context.get()) {
    lock.SetOnActivate([this] { ++activations; });
    claim = lock.Claim(key);
    thread = std::jthread([this](std::stop_token stop) {
      while (!stop.stop_requested()) {
        g_main_context_iteration(context.get(), FALSE);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }

  // Declared before the lock, whose source it must outlive.
  std::unique_ptr<GMainContext, decltype(&g_main_context_unref)> context{g_main_context_new(), &g_main_context_unref};
  InstanceLock lock;
  InstanceClaim claim = InstanceClaim::NoAnswer;
  std::atomic<int> activations = 0;
  std::jthread thread;  // last, so that it is stopped and joined first
};

TEST(InstanceLockTest, ALaterStartHandsOverToTheHolderAndAnotherKeyIsItsOwn) {
  TemporaryDirectory dir;
  const std::string folder = dir.Path().string();
  {
    AnsweringHolder holder(folder, u"QuillBrowser.a\n/apps/one");
    ASSERT_EQ(holder.claim, InstanceClaim::First);
    InstanceLock second(folder);
    EXPECT_EQ(second.Claim(u"QuillBrowser.a\n/apps/one"), InstanceClaim::HandedOver);
    EXPECT_EQ(holder.activations.load(), 1);
    InstanceLock other(folder);
    EXPECT_EQ(other.Claim(u"QuillBrowser.a\n/apps/two"), InstanceClaim::First) << "another folder is another application";
  }
  // Once the holder has ended, the next start is the first again, although
  // the holder's files may be left behind by a crash.
  InstanceLock next(folder);
  EXPECT_EQ(next.Claim(u"QuillBrowser.a\n/apps/one"), InstanceClaim::First);
}

// A holder that never answers is reported after the wait, unless it ends
// during the wait: then the new start goes on as the first.
TEST(InstanceLockTest, AHolderThatNeverAnswersIsReportedAfterTheWaitUnlessItEndsDuringIt) {
  for (const bool endsDuringTheWait : {false, true}) {
    SCOPED_TRACE(endsDuringTheWait ? "ends during the wait" : "stays silent");
    TemporaryDirectory dir;
    const std::unique_ptr<GMainContext, decltype(&g_main_context_unref)> silent(g_main_context_new(), &g_main_context_unref);
    auto holder = std::make_unique<InstanceLock>(dir.Path().string(), silent.get());  // its context is never iterated
    ASSERT_EQ(holder->Claim(u"k"), InstanceClaim::First);
    std::jthread ending([&] {
      if (!endsDuringTheWait) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      holder.reset();
    });
    InstanceLock second(dir.Path().string());
    EXPECT_EQ(second.Claim(u"k", endsDuringTheWait ? 5000 : 300),
              endsDuringTheWait ? InstanceClaim::First : InstanceClaim::NoAnswer);
  }
}

}  // namespace
