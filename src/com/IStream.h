#pragma once
// A read-only byte stream, such as the body of a web resource response or an
// open local file.
#include "com/IUnknown.h"
#include "com/Types.h"

struct IStream : IUnknown {
  static constexpr IID kIid = MakeGuid("{0000000C-0000-0000-C000-000000000046}");
  using BaseInterface = IUnknown;

  // Reads up to `bytes` bytes. S_OK when the buffer was filled, S_FALSE when
  // fewer bytes remained (zero at the end), a failure HRESULT otherwise.
  virtual HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) = 0;
};
