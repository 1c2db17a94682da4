#pragma once
// The GTK backend's own state, shared by LinuxWindowing and the signal
// handlers in LinuxWindowSignals.
#include <gtk/gtk.h>
#include <memory>

#include "platform/linux/WindowTrace.h"
#include "platform/linux/windowing/LinuxWindowing.h"
#include "platform/linux/windowing/NativeWindow.h"

struct LinuxWindowing::Impl {
  bool initialized = false;
  // The key press or click that asked for the window menu. The menu opens
  // later, when the posted request is dispatched, and GTK wants the event
  // that triggered it to take the pointer and keyboard.
  std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> menuTrigger{nullptr, gdk_event_free};
  NativeWindowTable windows;
  WindowTrace trace;

  // The entry of a widget the backend made and GTK has not destroyed.
  NativeWindow* Native(HWND hwnd) {
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : &it->second;
  }
};
