#pragma once
// The receiver of a window's messages. Every window the program creates is
// given one; the platform calls it for sent messages and for posted messages
// that the message loop dispatches. CWindowImplBase is the usual one.
#include "com/Types.h"

class IWindowProcedure {
 public:
  virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IWindowProcedure() = default;
};
