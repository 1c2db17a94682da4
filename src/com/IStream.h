#pragma once
// A read-only byte stream, such as the body of a web resource response or an
// open local file.
#include "com/IUnknown.h"
#include "com/Types.h"

// What Stat reports about a stream: the parts this program uses.
struct STATSTG {
  LPWSTR pwcsName = nullptr;  // CoTaskMem; null with STATFLAG_NONAME
  DWORD type = 0;             // STGTY_STREAM for a stream
  UINT64 cbSize = 0;          // the size in bytes
};
inline constexpr DWORD STGTY_STREAM = 2;
inline constexpr DWORD STATFLAG_NONAME = 1;

struct IStream : IUnknown {
  static constexpr IID kIid = MakeGuid("{0000000C-0000-0000-C000-000000000046}");
  using BaseInterface = IUnknown;

  // Reads up to `bytes` bytes. S_OK when the buffer was filled, S_FALSE when
  // fewer bytes remained (zero at the end), a failure HRESULT otherwise.
  virtual HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) = 0;

  // Describes the stream; the engine asks for the size (cbSize) so that it
  // can announce the body's length before sending it. With STATFLAG_NONAME
  // no name is returned.
  virtual HRESULT Stat(STATSTG* statstg, DWORD grfStatFlag) = 0;
};
