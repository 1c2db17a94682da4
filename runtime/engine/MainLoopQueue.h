#pragma once
// The one road by which the runtime calls the program back: tasks queued
// here run later, in order, from the GLib main loop of the thread that runs
// it. Completions and events therefore never arrive inside the call that
// started them, however quickly the engine answers.
#include <deque>
#include <functional>

class MainLoopQueue {
 public:
  // Queues a task; it runs after the current call stack has returned to the
  // main loop. Tasks run in the order they were posted.
  static void Post(std::function<void()> task);

 private:
  static int Dispatch(void* data);
  static std::deque<std::function<void()>>& Tasks();
  static bool& Scheduled();
};
