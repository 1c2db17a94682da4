#pragma once
// A hook that sees every message the loop retrieves before it is dispatched.
#include "platform/WindowMessages.h"

class CMessageFilter {
 public:
  // True when the message was consumed and must not be dispatched.
  virtual BOOL PreTranslateMessage(MSG* msg) = 0;

 protected:
  ~CMessageFilter() = default;
};
