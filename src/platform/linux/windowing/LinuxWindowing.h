#pragma once
// The windowing platform over GTK 3. Window handles are the GTK widgets
// themselves, so that the engine runtime can place its view into a window
// it is given:
//   - a top-level window is a GtkWindow whose client area is a GtkLayout
//     (absolute positions like a GtkFixed, but without making the window's
//     minimum size follow its children, so the user can still shrink it);
//   - a child window is a GtkFixed placed at its position in the parent's
//     client area and sized with gtk_widget_set_size_request; whatever is
//     put into it (gtk_fixed_put) lays out absolutely, as the runtime's view
//     does;
//   - a toolbar is a GtkToolbar, a dialog a GtkDialog, its items the
//     GtkLabel, GtkImage, GtkButton and GtkProgressBar built for them.
// The loop's blocking wait runs the GLib main context until a message has
// been queued. The work is split by concern: LinuxWindowSignals turns GTK
// signals into messages, GtkToolBar, GtkDialogBuilder, GtkMessageBox and
// GtkWindowMenu build those widgets, ProgressPulse runs a progress bar's
// marquee and WindowTrace writes the window trace; this class keeps the
// frames and child windows and the loop's hooks (LinuxWindowing.cpp), the
// show commands with the window manager's maximise and restore handshake
// (LinuxWindowingShowState.cpp) and the toolbar (LinuxWindowingToolBar.cpp).
#include <functional>
#include <memory>
#include <string>

#include "platform/WindowingCore.h"

class LinuxWindowing final : public WindowingCore {
 public:
  LinuxWindowing();
  ~LinuxWindowing() override;

  bool Initialize() override;
  void SetProcessDpiAware() override;
  HRESULT ShowSaveFileDialog(HWND owner, const SaveFileDialog& dialog, SaveFileDialogResult* result) override;

 protected:
  HWND NativeCreateWindow(const WindowRecord& record) override;
  NativeDialog NativeCreateDialog(const DialogTemplate& dialogTemplate, HWND owner) override;
  HWND NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons, RECT* rect) override;
  void NativeDestroyWindow(HWND hwnd) override;
  void NativeShowWindow(HWND hwnd, int command) override;
  void NativeSetText(HWND hwnd, std::u16string_view text) override;
  void NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) override;
  void NativeStyleChanged(HWND hwnd, DWORD oldStyle, DWORD newStyle) override;
  void NativeSetFocus(HWND hwnd) override;
  bool NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) override;
  int NativeMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                       UINT type) override;
  void NativeShowDialog(HWND dialog, HWND owner) override;
  void NativeHideDialog(HWND dialog) override;
  LRESULT NativeControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;
  void NativeWindowMenuChanged(HWND hwnd) override;
  bool NativeShowWindowMenu(HWND hwnd, int x, int y) override;
  void NativeBeep() override;
  void NativeInvalidate(HWND hwnd) override;
  void NativeApplicationIdChanged(std::u16string_view id) override;
  RECT NativeDefaultRect() override;
  void WaitForWork() override;
  void PumpNative() override;
  void WakeUp() override;

 private:
  friend struct LinuxWindowSignals;
  struct Impl;

  // A window's or dialog's caption as UTF-8, for the trace.
  std::string Caption(HWND hwnd) const;
  // Waits, with a bound, until the window manager has set or cleared the
  // state flag (a GdkWindowState bit) and, when `resizes`, has given the
  // window its new size; then updates the record from what it now is.
  void WaitForWindowState(HWND hwnd, unsigned flag, bool set, bool resizes);
  // Waits, with the same bound, until the window has the size its record
  // asks for.
  void WaitForRequestedSize(HWND hwnd);
  // Runs the main loop until `done` holds or the bound has passed; returns
  // whether it holds.
  bool IterateUntil(const std::function<bool()>& done);
  // On a display where the compositor places windows (Wayland), turns an
  // undecorated frame asked to cover exactly one monitor into a request for
  // full screen on it, and what follows into leaving it. Returns true when
  // the compositor sizes the window, so that the rectangle is not applied.
  bool FollowCompositorFullScreen(HWND hwnd, const RECT& rect, DWORD style);
  // The toolbar's part of NativeControlMessage.
  LRESULT ToolBarMessage(HWND toolBar, UINT message, WPARAM wParam, LPARAM lParam);

  std::unique_ptr<Impl> m_impl;
};
