#pragma once
// The base of every window class of the program (frame, view, dialogs): it
// owns one window handle, receives that window's messages and routes them to
// ProcessWindowMessage, the class's message map. A derived class handles a
// message by returning true and setting `result`; whatever it leaves goes to
// the platform's default processing.
//
//   class CMyWindow : public CWindowImplBase {
//     bool ProcessWindowMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
//       switch (msg) {
//         case WM_CREATE: result = OnCreate(); return true;
//         case WM_SIZE: result = OnSize(wp, lp); return true;
//       }
//       return false;
//     }
//   };
//   CMyWindow w; w.Create(parent, &rect, u"", WS_CHILD | WS_VISIBLE);
//
// m_hWnd is set before the first message (WM_CREATE) reaches the map and is
// cleared after WM_NCDESTROY, when OnFinalMessage runs. An object destroyed
// while its window still exists destroys the window first, so the platform
// never calls into a dead object.
#include <string_view>

#include "com/Types.h"
#include "platform/IWindowProcedure.h"
#include "platform/WindowMessages.h"

class CWindowImplBase : public IWindowProcedure {
 public:
  CWindowImplBase() = default;
  CWindowImplBase(const CWindowImplBase&) = delete;
  CWindowImplBase& operator=(const CWindowImplBase&) = delete;
  virtual ~CWindowImplBase();

  // The message map. Returns true when the message was handled.
  virtual bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
  // Runs after the window's last message (WM_NCDESTROY); does nothing here.
  virtual void OnFinalMessage(HWND hwnd) {}

  // Creates the window. A null rectangle lets the platform choose (for a
  // child window: an empty rectangle at the origin). Returns the handle or
  // null.
  HWND Create(HWND parent, const RECT* rect = nullptr, std::u16string_view title = {},
              DWORD style = 0, DWORD exStyle = 0, UINT id = 0);

  LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) final;

  // Shorthands for the platform calls on this window.
  BOOL IsWindow() const;
  BOOL DestroyWindow();
  BOOL ShowWindow(int command);
  BOOL SetWindowText(std::u16string_view text);
  BOOL GetClientRect(RECT* rect) const;
  BOOL GetWindowRect(RECT* rect) const;
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LONG GetWindowLong(int index) const;
  LONG SetWindowLong(int index, LONG value);
  HWND GetParent() const;
  HWND SetFocus();
  // A message box owned by this window.
  int MessageBox(std::u16string_view text, std::u16string_view caption = {}, UINT type = MB_OK);
  // Centres the window (see ::CenterWindow).
  BOOL CenterWindow(HWND center = nullptr);

  HWND m_hWnd = nullptr;

 protected:
  // Default processing of a message for this window.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Set while the object is being destroyed: the derived part (and with it
  // the message map) is gone, so messages go to default processing.
  bool m_objectDying = false;
};
