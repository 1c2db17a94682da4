#pragma once
// Places a window centred on another one, the way dialogs open.
#include "com/Types.h"

// Centres `window` on `center`. With no centre window given, a child window
// centres on its parent and a top-level window on its owner. A top-level
// window stays inside the work area of the monitor nearest to the centre
// window (or to itself when there is none), and a centre window that is
// hidden or minimised counts as none, which centres on that work area. A
// child window centres within its parent's client area. When the window is
// larger than the area, its top-left corner stays inside.
BOOL CenterWindow(HWND window, HWND center = nullptr);
