#pragma once
// The permission requests of a view, asked one at a time. Each request is
// for one kind of access (notifications, the camera, ...) by one origin; an
// answer the user gives is remembered for that origin and kind while the
// program runs, answers every request of theirs already waiting, and every
// later one at once without asking again. A page that asks in a loop gets
// one question: its repeated requests wait behind the first, and past a
// bound they are refused at once rather than kept without end.
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

class PermissionQueue {
 public:
  using Answer = std::function<void(bool allowed)>;
  struct Question {
    std::string origin;
    std::string kind;
  };
  static constexpr std::size_t kMaxWaiting = 256;

  PermissionQueue() = default;
  PermissionQueue(const PermissionQueue&) = delete;
  PermissionQueue& operator=(const PermissionQueue&) = delete;
  // Refuses whatever is still waiting: a request is always answered.
  ~PermissionQueue() { RefuseAll(); }

  // Called whenever the question to show changes (a new one, or none).
  void OnCurrentChanged(std::function<void()> changed) { m_changed = std::move(changed); }

  // A request of `origin` for `kind`; `answer` is called exactly once, at
  // once when the answer is known or the queue is full, else later.
  void Ask(const std::string& origin, const std::string& kind, Answer answer);
  // The question to show now, null when none waits.
  const Question* Current() const { return m_waiting.empty() ? nullptr : &m_waiting.front().question; }
  // The user's answer to the current question.
  void AnswerCurrent(bool allowed);
  // Refuses every waiting request without remembering anything (the view goes).
  void RefuseAll();

 private:
  struct Waiting {
    Question question;
    Answer answer;
  };
  using Key = std::pair<std::string, std::string>;

  std::deque<Waiting> m_waiting;
  std::map<Key, bool> m_answers;
  std::function<void()> m_changed;
};
