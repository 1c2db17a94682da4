#pragma once
// A hook the loop calls when its queue has run empty after a message that
// ends idleness.
#include "com/Types.h"

class CIdleHandler {
 public:
  // The result is not used.
  virtual BOOL OnIdle() = 0;

 protected:
  ~CIdleHandler() = default;
};
