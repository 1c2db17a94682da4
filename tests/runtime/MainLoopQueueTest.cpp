#include "MainLoopQueue.h"

#include <gtest/gtest.h>
#include <glib.h>

#include <vector>

namespace {

void RunUntilIdle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

TEST(MainLoopQueue, RunsNothingInsideThePostingCall) {
  bool ran = false;
  MainLoopQueue::Post([&] { ran = true; });
  EXPECT_FALSE(ran);
  RunUntilIdle();
  EXPECT_TRUE(ran);
}

TEST(MainLoopQueue, RunsTasksInTheOrderPosted) {
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) MainLoopQueue::Post([&order, i] { order.push_back(i); });
  RunUntilIdle();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(MainLoopQueue, ATaskPostedByATaskWaitsForTheNextRound) {
  std::vector<int> order;
  MainLoopQueue::Post([&] {
    order.push_back(1);
    MainLoopQueue::Post([&] { order.push_back(3); });
  });
  MainLoopQueue::Post([&] { order.push_back(2); });
  g_main_context_iteration(nullptr, FALSE);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  RunUntilIdle();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

}  // namespace
