#include "runtime/engine/MainLoopQueue.h"

#include <glib.h>

std::deque<std::function<void()>>& MainLoopQueue::Tasks() {
  // Never destroyed: tasks still queued when the process exits hold engine
  // objects, and releasing those from a static destructor, after the toolkit
  // may already be gone, could only do harm.
  static auto* tasks = new std::deque<std::function<void()>>;
  return *tasks;
}

bool& MainLoopQueue::Scheduled() {
  static bool scheduled = false;
  return scheduled;
}

void MainLoopQueue::Post(std::function<void()> task) {
  Tasks().push_back(std::move(task));
  if (!Scheduled()) {
    Scheduled() = true;
    // Default priority, above GTK's redraw and layout, so that events are not
    // held back behind painting.
    g_idle_add_full(G_PRIORITY_DEFAULT, &MainLoopQueue::Dispatch, nullptr, nullptr);
  }
}

int MainLoopQueue::Dispatch(void*) {
  // Runs the tasks present now; tasks that these post wait for the next
  // round, so that a handler that posts again cannot starve the loop.
  std::size_t count = Tasks().size();
  while (count-- > 0 && !Tasks().empty()) {
    std::function<void()> task = std::move(Tasks().front());
    Tasks().pop_front();
    task();
  }
  if (Tasks().empty()) {
    Scheduled() = false;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}
