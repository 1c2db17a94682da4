#pragma once
// What the failure log knows about one reported failure. Every pointer may be
// null and the message may be empty; the log leaves out what is not known.
#include <string_view>

#include "com/Types.h"

struct FailureRecord {
  HRESULT hr = 0;
  // Source file and line of the report; the view names its file "View".
  const char* file = nullptr;
  unsigned line = 0;
  // The function that reported and, when a check of an expression failed,
  // the text of that expression.
  const char* function = nullptr;
  const char* code = nullptr;
  // A free-form message and the name of the operation under way.
  std::u16string_view message;
  const char* callContext = nullptr;
  // Where the report was made from, and that function's own caller.
  const void* returnAddress = nullptr;
  const void* callerAddress = nullptr;
};
