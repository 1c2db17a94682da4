#pragma once
// The handful of Windows-style scalar and handle types that the engine
// contract, the platform layer and the program share. Widths match the
// system's own ABI so that values such as message numbers and styles keep
// their documented meaning.
#include <cstdint>

using HRESULT = std::int32_t;
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using UINT32 = std::uint32_t;
using UINT64 = std::uint64_t;
using INT32 = std::int32_t;
using INT64 = std::int64_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using WCHAR = char16_t;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// GLib defines TRUE and FALSE as macros with the same values; code that sees
// both (the Linux platform, the runtime) then uses the macros.
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
inline constexpr BOOL FALSE = 0;
#endif

// A window handle. Its value is owned by the platform layer; the Linux
// backend hands out the GtkWidget that stands for the window, so that the
// engine runtime can place its view into it without knowing the program.
struct HWND__;
using HWND = HWND__*;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
  LONG x = 0;
  LONG y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

struct EventRegistrationToken {
  INT64 value = 0;
};
