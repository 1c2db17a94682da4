#pragma once
// The message loop of the user-interface thread, with its message filters
// and idle handlers (neither owned).
#include <vector>

#include "platform/WindowMessages.h"
#include "window/IdleHandler.h"
#include "window/MessageFilter.h"

class CMessageLoop {
 public:
  virtual ~CMessageLoop() = default;

  // Each takes a pointer; adding appends, removing an absent pointer does
  // nothing.
  BOOL AddMessageFilter(CMessageFilter* filter);
  BOOL RemoveMessageFilter(CMessageFilter* filter);
  BOOL AddIdleHandler(CIdleHandler* handler);
  BOOL RemoveIdleHandler(CIdleHandler* handler);

  // Pumps messages until WM_QUIT and returns its wParam. Idle handlers run
  // when the queue has run empty after a message that ends idleness (see
  // IsIdleMessage), once per such burst.
  int Run();

  // Asks the filters from the most recently added to the first; the first
  // that consumes the message ends the search.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Runs every idle handler in the order of registration and returns FALSE,
  // so that the loop waits for the next message.
  virtual BOOL OnIdle(int idleCount);
  // False for the messages that arrive in streams without anything having
  // happened (mouse moves, paints, the caret-blink timer), true otherwise.
  virtual BOOL IsIdleMessage(MSG* msg);

  // The last message retrieved.
  MSG m_msg{};

 private:
  std::vector<CMessageFilter*> m_messageFilters;
  std::vector<CIdleHandler*> m_idleHandlers;
};
