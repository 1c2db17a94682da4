#pragma once
// The toolkit-independent half of the windowing platform: the window table,
// the thread's message queue, sent and posted messages (cross-thread sends
// included), default processing, modal dialogs and message boxes' log line.
// A backend derives from it and supplies the Native... operations that put
// windows on a screen (LinuxWindowing) or record them (FakeWindowing), and
// the two ways of waiting: WaitForWork blocks until something may have
// arrived, PumpNative handles what is ready without blocking.
//
// The class is split into sibling files along its concerns: the window
// table and tree (WindowingCore.cpp), geometry, styles and focus
// (WindowingCoreGeometry.cpp), the message queue (WindowingCoreMessages.cpp),
// message boxes, dialogs and the modal loop (WindowingCoreModal.cpp), and
// the toolbar and window menu (WindowingCoreControls.cpp).
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/IWindowing.h"

class WindowingCore : public IWindowing {
 public:
  WindowingCore();
  ~WindowingCore() override;

  void SetApplicationId(std::u16string_view id) override;
  std::u16string GetApplicationId() override;

  HWND CreateWindowEx(DWORD exStyle, std::u16string_view title, DWORD style, int x, int y, int cx,
                      int cy, HWND parent, UINT id, IWindowProcedure* procedure) override;
  BOOL DestroyWindow(HWND hwnd) override;
  BOOL IsWindow(HWND hwnd) override;
  LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  HWND GetParent(HWND hwnd) override;
  HWND GetWindow(HWND hwnd, UINT relation) override;
  BOOL ShowWindow(HWND hwnd, int command) override;
  BOOL IsWindowVisible(HWND hwnd) override;
  BOOL IsIconic(HWND hwnd) override;
  BOOL IsZoomed(HWND hwnd) override;
  BOOL SetWindowText(HWND hwnd, std::u16string_view text) override;
  BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) override;
  BOOL GetClientRect(HWND hwnd, RECT* rect) override;
  BOOL GetWindowRect(HWND hwnd, RECT* rect) override;
  BOOL ScreenToClient(HWND hwnd, POINT* point) override;
  LONG GetWindowLong(HWND hwnd, int index) override;
  LONG SetWindowLong(HWND hwnd, int index, LONG value) override;
  HWND SetFocus(HWND hwnd) override;
  HWND GetFocus() override;
  HWND GetActiveWindow() override;
  BOOL GetMonitorInfo(HWND nearWindow, MONITORINFO* info) override;
  BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) override;
  HWND GetDlgItem(HWND dialog, int id) override;
  BOOL MessageBeep(UINT type) override;

  LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostQuitMessage(int exitCode) override;
  BOOL PeekMessage(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) override;
  BOOL GetMessage(MSG* msg, HWND hwnd, UINT first, UINT last) override;
  BOOL TranslateMessage(const MSG* msg) override;
  LRESULT DispatchMessage(const MSG* msg) override;

  int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                 UINT type) override;
  INT_PTR DialogBox(const DialogTemplate& dialogTemplate, HWND owner,
                    IWindowProcedure* procedure) override;
  BOOL EndDialog(HWND dialog, INT_PTR result) override;

  HWND CreateToolBar(HWND parent, UINT id, std::span<const ToolBarButton> buttons) override;
  BOOL AppendWindowMenuItem(HWND hwnd, UINT id, std::u16string_view text) override;
  BOOL ShowWindowMenu(HWND hwnd, int x, int y) override;

  // The number of items every window menu starts with (Restore, Minimize,
  // Maximize, Close).
  static constexpr int kStandardWindowMenuItems = 4;

  // The line written to standard error for a message box's text: the
  // program's name, then the text with its line breaks turned into spaces.
  static std::string MessageBoxLogLine(std::u16string_view text);

 protected:
  // Runs a nested message loop, as every modal window does, until `done`
  // says so. A quit request ends it early and its exit code is returned, so
  // that the caller can post it again, once its modal window is gone, for
  // the loop it is meant for.
  std::optional<int> RunModalLoop(const std::function<bool()>& done);

  enum class WindowKind { TopLevel, Child, Dialog, Control };

  struct WindowRecord {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::TopLevel;
    IWindowProcedure* procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    // The parent of a child or control, the owner of a top-level window.
    HWND parent = nullptr;
    std::u16string text;
    // Screen coordinates for top-level windows and dialogs, the parent's
    // client coordinates for children and controls.
    RECT rect{};
    bool zoomed = false;
    bool iconic = false;
    bool destroying = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    std::vector<HWND> children;
    std::vector<std::pair<UINT, std::u16string>> windowMenu;
  };

  // What a backend builds for a dialog template: the dialog's handle, its
  // rectangle in screen coordinates and the handles of its identified items.
  struct NativeDialog {
    HWND hwnd = nullptr;
    RECT rect{};
    std::vector<std::pair<int, HWND>> items;
  };

  // --- Backend operations ---------------------------------------------------------
  // Creates the native window for a record whose kind, styles, text, parent
  // and rectangle are filled in. Returns its handle or null.
  virtual HWND NativeCreateWindow(const WindowRecord& record) = 0;
  virtual NativeDialog NativeCreateDialog(const DialogTemplate& dialogTemplate, HWND owner) = 0;
  // Creates a toolbar in the parent's client area and returns its handle and
  // rectangle (in the parent's client coordinates).
  virtual HWND NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons,
                                   RECT* rect) = 0;
  // Removes a window and everything inside it from the screen. Called once,
  // for the root of a destruction, after its records have left the table.
  virtual void NativeDestroyWindow(HWND hwnd) = 0;
  virtual void NativeShowWindow(HWND hwnd, int command) = 0;
  virtual void NativeSetText(HWND hwnd, std::u16string_view text) = 0;
  virtual void NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) = 0;
  virtual void NativeStyleChanged(HWND hwnd, DWORD oldStyle, DWORD newStyle) = 0;
  virtual void NativeSetFocus(HWND hwnd) = 0;
  virtual bool NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) = 0;
  virtual int NativeMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                               UINT type) = 0;
  // Shows a dialog modally over its owner, and hides it when it has ended.
  virtual void NativeShowDialog(HWND dialog, HWND owner) = 0;
  virtual void NativeHideDialog(HWND dialog) = 0;
  // Messages sent to a control (a toolbar, a dialog item).
  virtual LRESULT NativeControlMessage(HWND control, UINT message, WPARAM wParam,
                                       LPARAM lParam) = 0;
  virtual void NativeWindowMenuChanged(HWND hwnd) = 0;
  virtual bool NativeShowWindowMenu(HWND hwnd, int x, int y) = 0;
  virtual void NativeBeep() = 0;
  virtual void NativeInvalidate(HWND hwnd) = 0;
  virtual void NativeApplicationIdChanged(std::u16string_view id) = 0;
  // The rectangle a top-level window gets when its creator lets the
  // platform choose.
  virtual RECT NativeDefaultRect() = 0;
  // Blocks until a message may have been queued (it may return early).
  virtual void WaitForWork() = 0;
  // Handles whatever native events are ready, without blocking.
  virtual void PumpNative() = 0;
  // Makes a WaitForWork in progress return; called from any thread.
  virtual void WakeUp() = 0;
  // Writes one line of diagnostics (standard error by default).
  virtual void WriteErrorLine(std::string_view line);

  // --- For backends --------------------------------------------------------------
  WindowRecord* Find(HWND hwnd);
  const WindowRecord* Find(HWND hwnd) const;
  // The native window changed size or place by itself (the user, the window
  // manager). Updates the record and, when the size changed, posts WM_SIZE
  // (`send` false) or sends it (`send` true).
  void NativeResized(HWND hwnd, const RECT& rect, bool send);
  // The window manager maximised, minimised or restored the window.
  void NativeStateChanged(HWND hwnd, bool zoomed, bool iconic);
  // The native focus moved to this top-level window.
  void NativeActivated(HWND hwnd);
  // The client-area origin of a window in screen coordinates.
  POINT ClientOriginOnScreen(HWND hwnd) const;
  bool IsUiThread() const { return std::this_thread::get_id() == m_uiThread; }
  // Answers every pending cross-thread send; returns whether there was one.
  bool ProcessIncomingSends();

 private:
  struct PendingSend {
    MSG msg;
    LRESULT result = 0;
    bool done = false;
  };

  WPARAM SizeState(const WindowRecord& record) const;
  // WM_SIZE's lParam for a rectangle: its width and height, each clamped to
  // a WORD.
  static LPARAM SizeParam(const RECT& rect);
  LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void CollectSubtree(HWND hwnd, std::vector<HWND>& out) const;
  bool TakeQueued(MSG* msg, bool remove);

  std::thread::id m_uiThread;
  std::map<HWND, WindowRecord> m_windows;
  std::vector<HWND> m_modalDialogs;
  HWND m_focus = nullptr;
  HWND m_active = nullptr;
  std::u16string m_applicationId;

  std::mutex m_queueMutex;
  std::condition_variable m_sendDone;
  std::deque<MSG> m_queue;
  std::deque<std::shared_ptr<PendingSend>> m_incomingSends;
  bool m_quitPending = false;
  int m_quitCode = 0;
};
