#pragma once
// Windows, messages and dialogs: everything the program does with the
// screen goes through this interface (Platform::Windowing()). The model is
// the familiar one of window handles, message numbers, a per-thread queue,
// window procedures and modal dialogs, so that frame, view and dialog code
// can be written and tested without a toolkit. WindowingCore implements the
// queue and the message routing once; LinuxWindowing maps the windows onto
// GTK and FakeWindowing records them for unit tests.
//
// Coordinates: a top-level window's rectangle is in screen pixels and its
// client area is the whole window without the decorations the window
// manager draws; a child window's position is in its parent's client
// coordinates. Windows are used from the thread that created the platform
// (the user-interface thread); only SendMessage and PostMessage may be
// called from other threads.
#include <span>
#include <string>
#include <string_view>

#include "com/Types.h"
#include "platform/DialogTemplate.h"
#include "platform/IWindowProcedure.h"
#include "platform/SaveFileDialog.h"
#include "platform/ToolBarButton.h"
#include "platform/WindowMessages.h"

class IWindowing {
 public:
  virtual ~IWindowing() = default;

  // --- Process ----------------------------------------------------------------
  // Connects to the display. False when there is none; nothing else in this
  // interface may be used then.
  virtual bool Initialize() = 0;
  // The per-monitor DPI step of start-up. Toolkits that scale by themselves
  // make it a no-op.
  virtual void SetProcessDpiAware() = 0;
  // The identity under which the desktop groups the program's windows. Must
  // be called before the first window exists.
  virtual void SetApplicationId(std::u16string_view id) = 0;
  virtual std::u16string GetApplicationId() = 0;

  // --- Windows ----------------------------------------------------------------
  // Creates a window whose messages go to `procedure` (not owned; it must
  // outlive the window). With WS_CHILD the window is a child of `parent`
  // placed at (x, y) in the parent's client area; otherwise it is a
  // top-level window and `parent` is its owner. CW_USEDEFAULT in x or cx
  // lets the platform choose. Sends WM_CREATE (returning -1 fails the
  // creation and gives null) and then WM_SIZE with the client size.
  virtual HWND CreateWindowEx(DWORD exStyle, std::u16string_view title, DWORD style, int x, int y,
                              int cx, int cy, HWND parent, UINT id,
                              IWindowProcedure* procedure) = 0;
  // Sends WM_DESTROY to the window and then to its children, WM_NCDESTROY
  // in the reverse order, and removes them from the screen.
  virtual BOOL DestroyWindow(HWND hwnd) = 0;
  virtual BOOL IsWindow(HWND hwnd) = 0;
  // Default processing: WM_CLOSE destroys a window (in a dialog it becomes
  // the IDCANCEL command), WM_SYSCOMMAND carries out SC_CLOSE, SC_MINIMIZE,
  // SC_MAXIMIZE and SC_RESTORE; everything else gives 0.
  virtual LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The parent of a child window, the owner of a top-level one.
  virtual HWND GetParent(HWND hwnd) = 0;
  // GW_OWNER: the owner of a top-level window, null for a child.
  virtual HWND GetWindow(HWND hwnd, UINT relation) = 0;
  virtual BOOL ShowWindow(HWND hwnd, int command) = 0;
  virtual BOOL IsWindowVisible(HWND hwnd) = 0;
  virtual BOOL IsIconic(HWND hwnd) = 0;
  virtual BOOL IsZoomed(HWND hwnd) = 0;
  virtual BOOL SetWindowText(HWND hwnd, std::u16string_view text) = 0;
  // Moves and sizes a window (SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER,
  // SWP_NOACTIVATE, SWP_FRAMECHANGED, SWP_SHOWWINDOW, SWP_HIDEWINDOW are
  // honoured). A change of size sends WM_SIZE before it returns.
  virtual BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags) = 0;
  // (0, 0, width, height) of the client area.
  virtual BOOL GetClientRect(HWND hwnd, RECT* rect) = 0;
  // The window's rectangle in screen coordinates.
  virtual BOOL GetWindowRect(HWND hwnd, RECT* rect) = 0;
  // Screen coordinates to the client coordinates of `hwnd`.
  virtual BOOL ScreenToClient(HWND hwnd, POINT* point) = 0;
  // GWL_STYLE, GWL_EXSTYLE and GWL_ID. Setting GWL_STYLE on a top-level
  // window applies WS_CAPTION and WS_THICKFRAME to its decorations at once;
  // SetWindowLong returns the previous value.
  virtual LONG GetWindowLong(HWND hwnd, int index) = 0;
  virtual LONG SetWindowLong(HWND hwnd, int index, LONG value) = 0;
  // Gives the keyboard focus to the window (or the first focusable widget
  // inside it) and sends it WM_SETFOCUS. Returns the previous focus window.
  virtual HWND SetFocus(HWND hwnd) = 0;
  virtual HWND GetFocus() = 0;
  // The top-level window that has the user's attention: the innermost
  // modal dialog, or the focused frame, or null.
  virtual HWND GetActiveWindow() = 0;
  // The monitor nearest to the window (the primary monitor for null).
  virtual BOOL GetMonitorInfo(HWND nearWindow, MONITORINFO* info) = 0;
  virtual BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) = 0;
  // A dialog's item with the given identifier.
  virtual HWND GetDlgItem(HWND dialog, int id) = 0;
  virtual BOOL MessageBeep(UINT type) = 0;

  // --- Messages ---------------------------------------------------------------
  // Calls the window's procedure and returns its result. From another thread
  // the call is marshalled to the user-interface thread, which runs it the
  // next time it looks at its queue, and the caller waits for the result.
  virtual LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Queues the message for the user-interface thread; any thread may post.
  // A null window makes a thread message.
  virtual BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Asks the loop to end: WM_QUIT with this code is retrieved once the queue
  // holds nothing else.
  virtual void PostQuitMessage(int exitCode) = 0;
  // Looks at the queue without waiting; PM_REMOVE takes the message out.
  // The window and range filters are not supported and must be null and 0.
  virtual BOOL PeekMessage(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) = 0;
  // Waits for the next message: 0 for WM_QUIT, 1 otherwise, -1 on error.
  virtual BOOL GetMessage(MSG* msg, HWND hwnd, UINT first, UINT last) = 0;
  virtual BOOL TranslateMessage(const MSG* msg) = 0;
  virtual LRESULT DispatchMessage(const MSG* msg) = 0;

  // --- Dialogs ------------------------------------------------------------------
  // A modal message box with the OK button (MB_OK) or the buttons of the type;
  // its icon follows MB_ICONERROR, MB_ICONWARNING or MB_ICONINFORMATION.
  // Its text is also written as one line to standard error, so that a person
  // who started the program from a terminal, or a kiosk's log, sees why it
  // stopped. Returns the button chosen (IDOK for OK).
  virtual int MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                         UINT type) = 0;
  // Runs a modal dialog built from the template: sends WM_INITDIALOG,
  // shows it, pumps messages until EndDialog and returns its result (-1 when
  // the dialog cannot be created). Buttons send WM_COMMAND with their
  // identifier; Enter sends the default button's command, Esc sends IDCANCEL,
  // and the close box sends WM_CLOSE, which by default becomes IDCANCEL.
  virtual INT_PTR DialogBox(const DialogTemplate& dialogTemplate, HWND owner,
                            IWindowProcedure* procedure) = 0;
  virtual BOOL EndDialog(HWND dialog, INT_PTR result) = 0;
  // Runs the platform's modal Save dialog. S_OK with the chosen path;
  // HRESULT_FROM_WIN32(ERROR_CANCELLED) when the user cancelled; another
  // failure when the dialog could not be shown.
  virtual HRESULT ShowSaveFileDialog(HWND owner, const SaveFileDialog& dialog, SaveFileDialogResult* result) = 0;

  // --- Controls -------------------------------------------------------------------
  // A toolbar across the top of the parent's client area. A click sends
  // WM_COMMAND (command, BN_CLICKED, toolbar) to the parent; when the toolbar
  // is narrower than its buttons, an overflow arrow offers the hidden ones.
  // A right click on it opens the window menu of its top-level window.
  // WM_SIZE sent to the toolbar stretches it to its parent's client width.
  virtual HWND CreateToolBar(HWND parent, UINT id, std::span<const ToolBarButton> buttons) = 0;
  // The window menu of a top-level window (Alt+Space, a right click on its
  // toolbar) starts with Restore, Minimize, Maximize and Close; items added
  // here follow them. id 0 adds a separator; '&' marks the mnemonic. Choosing
  // an item sends WM_SYSCOMMAND with its identifier to the window.
  virtual BOOL AppendWindowMenuItem(HWND hwnd, UINT id, std::u16string_view text) = 0;
  // Opens the window menu at a point in the window's client coordinates.
  virtual BOOL ShowWindowMenu(HWND hwnd, int x, int y) = 0;
};
