#pragma once
// Tells the client library how its runtime was found.
#include "com/Types.h"

enum class RuntimeKind : UINT32 {
  // Found by the channel search.
  InstalledRuntime = 0,
  // A fixed runtime folder named by the caller, the environment or policy.
  FixedRuntime = 1,
  // The Edge browser's own installation was asked for.
  EdgeView = 2,
};
