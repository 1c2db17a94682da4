#include "runtime/defaults/PermissionQueue.h"

void PermissionQueue::Ask(const std::string& origin, const std::string& kind, Answer answer) {
  if (const auto known = m_answers.find({origin, kind}); known != m_answers.end()) return answer(known->second);
  if (m_waiting.size() >= kMaxWaiting) return answer(false);
  m_waiting.push_back({{origin, kind}, std::move(answer)});
  if (m_waiting.size() == 1 && m_changed) m_changed();
}

void PermissionQueue::AnswerCurrent(bool allowed) {
  if (m_waiting.empty()) return;
  const Question question = m_waiting.front().question;
  m_answers[{question.origin, question.kind}] = allowed;
  // Answers are taken out of the queue before any is called: a page's
  // answer handler may ask again at once, and that request must find the
  // queue as the user left it (and the answer remembered).
  std::deque<Waiting> answered, rest;
  for (Waiting& waiting : m_waiting)
    (waiting.question.origin == question.origin && waiting.question.kind == question.kind ? answered : rest)
        .push_back(std::move(waiting));
  m_waiting = std::move(rest);
  for (Waiting& waiting : answered) waiting.answer(allowed);
  if (m_changed) m_changed();
}

void PermissionQueue::RefuseAll() {
  std::deque<Waiting> refused = std::move(m_waiting);
  m_waiting.clear();
  for (Waiting& waiting : refused) waiting.answer(false);
  if (!refused.empty() && m_changed) m_changed();
}
