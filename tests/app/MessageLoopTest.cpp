// The message loop on scripted message streams: when idle handlers run,
// how filters are asked, what ends the loop.
#include "app/MessageLoop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/AppModule.h"
#include "platform/FakePlatformScope.h"
#include "platform/RecordingWindow.h"

namespace {

class CountingIdleHandler : public CIdleHandler {
 public:
  explicit CountingIdleHandler(std::vector<int>* order = nullptr, int id = 0) : m_order(order), m_id(id) {}
  BOOL OnIdle() override {
    ++calls;
    if (m_order) m_order->push_back(m_id);
    return TRUE;  // the result is not used
  }
  int calls = 0;

 private:
  std::vector<int>* m_order;
  int m_id;
};

class RecordingFilter : public CMessageFilter {
 public:
  RecordingFilter(std::vector<int>* order, int id, UINT consumes) : m_order(order), m_id(id), m_consumes(consumes) {}
  BOOL PreTranslateMessage(MSG* msg) override {
    m_order->push_back(m_id);
    return msg->message == m_consumes;
  }

 private:
  std::vector<int>* m_order;
  int m_id;
  UINT m_consumes;
};

struct StreamCase {
  const char* name;
  // Each burst is posted at once when the loop would wait; then the loop is
  // asked to quit.
  std::vector<std::vector<UINT>> bursts;
  int idleRuns;
};

class IdleStreamTest : public ::testing::TestWithParam<StreamCase> {
 protected:
  FakePlatformScope platform;
};

TEST_P(IdleStreamTest, IdleHandlersRunOncePerBurstThatEndsIdleness) {
  RecordingWindow window;
  window.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  CMessageLoop loop;
  CountingIdleHandler idle;
  loop.AddIdleHandler(&idle);
  for (const auto& burst : GetParam().bursts) {
    platform.windowing.Script([&, burst] {
      for (UINT message : burst) platform.windowing.PostMessage(window.m_hWnd, message, 0, 0);
    });
  }
  platform.windowing.Script([&] { platform.windowing.PostQuitMessage(7); });
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(idle.calls, GetParam().idleRuns);
  EXPECT_FALSE(platform.windowing.Starved());
  // Every posted message was dispatched.
  size_t posted = 0;
  for (const auto& burst : GetParam().bursts) posted += burst.size();
  EXPECT_EQ(window.seen.size() - 2, posted);  // less WM_CREATE and WM_SIZE
}

INSTANTIATE_TEST_SUITE_P(
    Streams, IdleStreamTest,
    ::testing::Values(
        StreamCase{"NothingButTheStart", {}, 1},
        StreamCase{"MouseMovesAlone", {{WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE}}, 1},
        StreamCase{"ManyBurstsOfMovesPaintsAndCaretTimers",
                   {{WM_MOUSEMOVE}, {WM_NCMOUSEMOVE}, {WM_PAINT}, {WM_SYSTIMER}, {WM_MOUSEMOVE, WM_PAINT}}, 1},
        StreamCase{"OneCommand", {{WM_COMMAND}}, 2},
        StreamCase{"ABurstOfCommandsCountsOnce", {{WM_COMMAND, WM_APP, WM_SIZE}}, 2},
        StreamCase{"TwoBursts", {{WM_APP}, {WM_APP}}, 3},
        StreamCase{"AMoveBurstWithOneCommandInside", {{WM_MOUSEMOVE, WM_APP, WM_MOUSEMOVE}}, 2},
        StreamCase{"MovesBetweenCommands", {{WM_APP}, {WM_MOUSEMOVE}, {WM_APP}}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageLoop, FiltersAreAskedNewestFirstAndAConsumedMessageIsNotDispatched) {
  FakePlatformScope platform;
  RecordingWindow window;
  window.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  window.seen.clear();
  CMessageLoop loop;
  std::vector<int> order;
  RecordingFilter first(&order, 1, 0), second(&order, 2, WM_APP + 1);
  loop.AddMessageFilter(&first);
  loop.AddMessageFilter(&second);
  platform.windowing.Script([&] {
    platform.windowing.PostMessage(window.m_hWnd, WM_APP, 0, 0);
    platform.windowing.PostMessage(window.m_hWnd, WM_APP + 1, 0, 0);
    platform.windowing.PostQuitMessage(0);
  });
  EXPECT_EQ(loop.Run(), 0);
  // WM_APP: both asked, newest first; WM_APP + 1: the newest consumes it.
  EXPECT_EQ(order, (std::vector<int>{2, 1, 2}));
  EXPECT_EQ(window.Messages(), (std::vector<UINT>{WM_APP}));
}

TEST(MessageLoop, RemovingWorksOnlyForRegisteredPointers) {
  CMessageLoop loop;
  std::vector<int> order;
  RecordingFilter filter(&order, 1, 0);
  CountingIdleHandler idle;
  EXPECT_FALSE(loop.RemoveMessageFilter(&filter));
  EXPECT_FALSE(loop.RemoveIdleHandler(&idle));
  loop.AddMessageFilter(&filter);
  loop.AddIdleHandler(&idle);
  EXPECT_TRUE(loop.RemoveMessageFilter(&filter));
  EXPECT_TRUE(loop.RemoveIdleHandler(&idle));
  EXPECT_FALSE(loop.RemoveMessageFilter(&filter));
  MSG msg{};
  EXPECT_FALSE(loop.PreTranslateMessage(&msg));
  EXPECT_FALSE(loop.OnIdle(0));
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(idle.calls, 0);
}

TEST(MessageLoop, IdleHandlersRunInRegistrationOrderAndTheLoopStillSaysFalse) {
  CMessageLoop loop;
  std::vector<int> order;
  CountingIdleHandler a(&order, 1), b(&order, 2), c(&order, 3);
  loop.AddIdleHandler(&a);
  loop.AddIdleHandler(&b);
  loop.AddIdleHandler(&c);
  EXPECT_FALSE(loop.OnIdle(0));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

struct IdleMessageCase {
  UINT message;
  bool endsIdleness;
};

class IsIdleMessageTest : public ::testing::TestWithParam<IdleMessageCase> {};

TEST_P(IsIdleMessageTest, OnlyStreamMessagesKeepTheLoopIdle) {
  CMessageLoop loop;
  MSG msg{};
  msg.message = GetParam().message;
  EXPECT_EQ(loop.IsIdleMessage(&msg) != FALSE, GetParam().endsIdleness);
}

INSTANTIATE_TEST_SUITE_P(Messages, IsIdleMessageTest,
                         ::testing::Values(IdleMessageCase{WM_MOUSEMOVE, false},
                                           IdleMessageCase{WM_NCMOUSEMOVE, false},
                                           IdleMessageCase{WM_PAINT, false},
                                           IdleMessageCase{0x0118, false},
                                           IdleMessageCase{WM_TIMER, true},
                                           IdleMessageCase{WM_NULL, true},
                                           IdleMessageCase{WM_COMMAND, true},
                                           IdleMessageCase{WM_LBUTTONDOWN, true},
                                           IdleMessageCase{WM_APP + 0x10, true}));

TEST(AppModule, KeepsOneLoopPerThread) {
  CMessageLoop loop, other;
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
  EXPECT_TRUE(g_module.AddMessageLoop(&loop));
  EXPECT_FALSE(g_module.AddMessageLoop(&other));
  EXPECT_EQ(g_module.GetMessageLoop(), &loop);
  CMessageLoop* seenElsewhere = &other;
  std::thread([&] { seenElsewhere = g_module.GetMessageLoop(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_TRUE(g_module.RemoveMessageLoop());
  EXPECT_FALSE(g_module.RemoveMessageLoop());
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
}

}  // namespace
