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
class AnsweringHolder {
 public:
  AnsweringHolder(const std::string& folder, std::u16string_view key)
      : m_context(g_main_context_new(), &g_main_context_unref), m_lock(folder, m_context.get()) {
    m_lock.SetOnActivate([this] { ++m_activations; });
    m_claim = m_lock.Claim(key);
    m_thread = std::thread([this] {
      while (!m_stop) {
        g_main_context_iteration(m_context.get(), FALSE);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~AnsweringHolder() {
    m_stop = true;
    m_thread.join();
  }
  InstanceClaim Claim() const { return m_claim; }
  int Activations() const { return m_activations; }

 private:
  // Declared before the lock, whose source it must outlive.
  std::unique_ptr<GMainContext, decltype(&g_main_context_unref)> m_context;
  InstanceLock m_lock;
  InstanceClaim m_claim;
  std::atomic<bool> m_stop = false;
  std::atomic<int> m_activations = 0;
  std::thread m_thread;
};

TEST(InstanceLockTest, ALaterStartHandsOverToTheHolderAndAnotherKeyIsItsOwn) {
  TemporaryDirectory dir;
  const std::string folder = dir.Path().string();
  {
    AnsweringHolder holder(folder, u"QuillBrowser.a\n/apps/one");
    ASSERT_EQ(holder.Claim(), InstanceClaim::First);
    InstanceLock second(folder);
    EXPECT_EQ(second.Claim(u"QuillBrowser.a\n/apps/one"), InstanceClaim::HandedOver);
    EXPECT_EQ(holder.Activations(), 1);
    InstanceLock other(folder);
    EXPECT_EQ(other.Claim(u"QuillBrowser.a\n/apps/two"), InstanceClaim::First) << "another folder is another application";
  }
  // Once the holder has ended, the next start is the first again, although
  // the holder's files may be left behind by a crash.
  InstanceLock next(folder);
  EXPECT_EQ(next.Claim(u"QuillBrowser.a\n/apps/one"), InstanceClaim::First);
}

TEST(InstanceLockTest, AHolderThatNeverAnswersIsReportedAfterTheWait) {
  TemporaryDirectory dir;
  GMainContext* silent = g_main_context_new();  // never iterated
  {
    InstanceLock holder(dir.Path().string(), silent);
    ASSERT_EQ(holder.Claim(u"k"), InstanceClaim::First);
    InstanceLock second(dir.Path().string());
    EXPECT_EQ(second.Claim(u"k", 300), InstanceClaim::NoAnswer);
  }
  g_main_context_unref(silent);
}

TEST(InstanceLockTest, AHolderThatEndsDuringTheWaitLetsTheNewStartGoOn) {
  TemporaryDirectory dir;
  GMainContext* silent = g_main_context_new();
  auto holder = std::make_unique<InstanceLock>(dir.Path().string(), silent);
  ASSERT_EQ(holder->Claim(u"k"), InstanceClaim::First);
  std::thread ending([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    holder.reset();
  });
  InstanceLock second(dir.Path().string());
  EXPECT_EQ(second.Claim(u"k", 5000), InstanceClaim::First);
  ending.join();
  g_main_context_unref(silent);
}

}  // namespace
