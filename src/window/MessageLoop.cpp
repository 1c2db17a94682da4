#include "window/MessageLoop.h"

#include <algorithm>

#include "platform/IWindowing.h"
#include "platform/Platform.h"

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
  m_messageFilters.push_back(filter);
  return TRUE;
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
  auto it = std::find(m_messageFilters.begin(), m_messageFilters.end(), filter);
  if (it == m_messageFilters.end()) return FALSE;
  m_messageFilters.erase(it);
  return TRUE;
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
  m_idleHandlers.push_back(handler);
  return TRUE;
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
  auto it = std::find(m_idleHandlers.begin(), m_idleHandlers.end(), handler);
  if (it == m_idleHandlers.end()) return FALSE;
  m_idleHandlers.erase(it);
  return TRUE;
}

int CMessageLoop::Run() {
  IWindowing& windowing = Platform::Windowing();
  bool doIdle = true;
  int idleCount = 0;
  for (;;) {
    while (doIdle && !windowing.PeekMessage(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) doIdle = false;
    }
    const BOOL got = windowing.GetMessage(&m_msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) break;
    if (!PreTranslateMessage(&m_msg)) {
      windowing.TranslateMessage(&m_msg);
      windowing.DispatchMessage(&m_msg);
    }
    if (IsIdleMessage(&m_msg)) {
      doIdle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(static_cast<INT_PTR>(m_msg.wParam));
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
  // A copy, so that a filter removing itself does not disturb the walk.
  const std::vector<CMessageFilter*> filters = m_messageFilters;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it)
    if (*it && (*it)->PreTranslateMessage(msg)) return TRUE;
  return FALSE;
}

BOOL CMessageLoop::OnIdle(int) {
  const std::vector<CIdleHandler*> handlers = m_idleHandlers;
  for (CIdleHandler* handler : handlers)
    if (handler) handler->OnIdle();
  return FALSE;
}

BOOL CMessageLoop::IsIdleMessage(MSG* msg) {
  switch (msg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case WM_SYSTIMER:
      return FALSE;
  }
  return TRUE;
}
