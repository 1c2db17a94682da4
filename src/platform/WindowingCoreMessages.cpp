// WindowingCore: the thread's message queue. Sent messages (a send from
// another thread waits for the user-interface thread to answer it), posted
// ones, the quit request, and their retrieval and dispatch.
#include "platform/WindowingCore.h"

#include <memory>
#include <mutex>

LRESULT WindowingCore::CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = Find(hwnd);
  if (!record) return 0;
  if (record->kind == WindowKind::Control)
    return NativeControlMessage(hwnd, message, wParam, lParam);
  if (!record->procedure) return DefWindowProc(hwnd, message, wParam, lParam);
  return record->procedure->WindowProc(hwnd, message, wParam, lParam);
}

LRESULT WindowingCore::SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsUiThread()) return CallProcedure(hwnd, message, wParam, lParam);
  auto pending = std::make_shared<PendingSend>();
  pending->msg = MSG{hwnd, message, wParam, lParam};
  std::unique_lock lock(m_queueMutex);
  m_incomingSends.push_back(pending);
  lock.unlock();
  WakeUp();
  lock.lock();
  m_sendDone.wait(lock, [&] { return pending->done; });
  return pending->result;
}

bool WindowingCore::ProcessIncomingSends() {
  bool any = false;
  for (;;) {
    std::shared_ptr<PendingSend> pending;
    {
      std::lock_guard lock(m_queueMutex);
      if (m_incomingSends.empty()) break;
      pending = m_incomingSends.front();
      m_incomingSends.pop_front();
    }
    any = true;
    const LRESULT result =
        CallProcedure(pending->msg.hwnd, pending->msg.message, pending->msg.wParam, pending->msg.lParam);
    std::lock_guard lock(m_queueMutex);
    pending->result = result;
    pending->done = true;
    m_sendDone.notify_all();
  }
  return any;
}

BOOL WindowingCore::PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard lock(m_queueMutex);
    m_queue.push_back(MSG{hwnd, message, wParam, lParam});
  }
  if (!IsUiThread()) WakeUp();
  return TRUE;
}

void WindowingCore::PostQuitMessage(int exitCode) {
  {
    std::lock_guard lock(m_queueMutex);
    m_quitPending = true;
    m_quitCode = exitCode;
  }
  if (!IsUiThread()) WakeUp();
}

bool WindowingCore::TakeQueued(MSG* msg, bool remove) {
  std::lock_guard lock(m_queueMutex);
  if (!m_queue.empty()) {
    *msg = m_queue.front();
    if (remove) m_queue.pop_front();
    return true;
  }
  if (m_quitPending) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(static_cast<INT_PTR>(m_quitCode)), 0};
    if (remove) m_quitPending = false;
    return true;
  }
  return false;
}

BOOL WindowingCore::PeekMessage(MSG* msg, HWND, UINT, UINT, UINT remove) {
  if (!msg) return FALSE;
  ProcessIncomingSends();
  if (TakeQueued(msg, (remove & PM_REMOVE) != 0)) return TRUE;
  PumpNative();
  ProcessIncomingSends();
  return TakeQueued(msg, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WindowingCore::GetMessage(MSG* msg, HWND, UINT, UINT) {
  if (!msg) return -1;
  for (;;) {
    ProcessIncomingSends();
    if (TakeQueued(msg, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    WaitForWork();
  }
}

BOOL WindowingCore::TranslateMessage(const MSG*) { return FALSE; }

LRESULT WindowingCore::DispatchMessage(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
