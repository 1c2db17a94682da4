// The message loop on scripted message streams: when idle handlers run,
// how filters are asked, what ends the loop.
#include "window/MessageLoop.h"

#include <gtest/gtest.h>
#include <vector>

#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"

namespace {

using Bursts = std::vector<std::vector<UINT>>;

// Writes its id to a shared order when asked; as a filter it consumes one message.
struct Recorder : CIdleHandler, CMessageFilter {
  Recorder(std::vector<int>* order, int id, UINT consumes = 0) : order(order), id(id), consumes(consumes) {}
  BOOL OnIdle() override { return order->push_back(id), TRUE; }  // the result is not used
  BOOL PreTranslateMessage(MSG* msg) override { return order->push_back(id), msg->message == consumes; }
  std::vector<int>* order;
  int id;
  UINT consumes;
};

class MessageLoopTest : public ::testing::Test {
 protected:
  MessageLoopTest() { window.seen.clear(); }
  // Posts each burst to the window at once when the loop would wait, then
  // asks the loop to quit.
  void Run(const Bursts& bursts) {
    for (const auto& burst : bursts)
      fake.Script([this, burst] {
        for (UINT message : burst) fake.PostMessage(hwnd, message, 0, 0);
      });
    fake.Script([this] { fake.PostQuitMessage(7); });
    EXPECT_EQ(loop.Run(), 7);  // a loop left waiting would end with the fake's starved code
  }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  RecordingWindow window;
  HWND hwnd = window.Frame();
  CMessageLoop loop;
  std::vector<int> order;
};

struct StreamCase {
  const char* name;
  Bursts bursts;
  size_t idleRuns;
};

class IdleStreamTest : public MessageLoopTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(IdleStreamTest, IdleHandlersRunOncePerBurstThatEndsIdlenessAndEveryMessageIsDispatched) {
  Recorder idle(&order, 1);
  loop.AddIdleHandler(&idle);
  Run(GetParam().bursts);
  EXPECT_EQ(order.size(), GetParam().idleRuns);
  std::vector<UINT> posted;
  for (const auto& burst : GetParam().bursts) posted.insert(posted.end(), burst.begin(), burst.end());
  EXPECT_EQ(window.Messages(), posted);
}

const StreamCase kStreams[] = {
    {"MovesPaintsAndCaretTimersAlone", {{WM_MOUSEMOVE, WM_MOUSEMOVE}, {WM_NCMOUSEMOVE}, {WM_PAINT}, {WM_SYSTIMER}}, 1},
    // A move after a command in the same burst does not take the idle run back.
    {"ABurstCountsOnce", {{WM_COMMAND, WM_APP, WM_MOUSEMOVE}}, 2},
    {"TimersEmptyMessagesAndClicksEachCount", {{WM_TIMER}, {WM_NULL}, {WM_LBUTTONDOWN}}, 4},
};
INSTANTIATE_TEST_SUITE_P(Streams, IdleStreamTest, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageLoopTest, FiltersAreAskedNewestFirstIdleHandlersOldestFirstAndRemovedOnesNeither) {
  Recorder first(&order, 1), second(&order, 2, WM_APP + 1), removed(&order, 3);
  for (Recorder* r : {&first, &second, &removed}) {
    loop.AddMessageFilter(r);
    loop.AddIdleHandler(r);
  }
  // That removing one not registered fails is relied on in MainFrameTest.
  EXPECT_TRUE(loop.RemoveMessageFilter(&removed) && loop.RemoveIdleHandler(&removed));
  Run({{WM_APP, WM_APP + 1}});
  // Idle at the start: 1, 2. WM_APP: filters 2, 1. WM_APP + 1: 2 consumes it, so it is not dispatched.
  // Idle again: 1, 2.
  EXPECT_EQ(order, (std::vector<int>{1, 2, 2, 1, 2, 1, 2}));
  EXPECT_EQ(window.Messages(), (std::vector<UINT>{WM_APP}));
}

}  // namespace
