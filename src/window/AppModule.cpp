#include "window/AppModule.h"

#include "com/HResult.h"

CAppModule g_module;

HRESULT CAppModule::Init(HINSTANCE instance) {
  m_hInst = instance;
  return S_OK;
}

void CAppModule::Term() {
  std::lock_guard guard(m_lock);
  m_loops.clear();
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) {
  std::lock_guard guard(m_lock);
  return m_loops.emplace(std::this_thread::get_id(), loop).second ? TRUE : FALSE;
}

BOOL CAppModule::RemoveMessageLoop() {
  std::lock_guard guard(m_lock);
  return m_loops.erase(std::this_thread::get_id()) ? TRUE : FALSE;
}

CMessageLoop* CAppModule::GetMessageLoop() const {
  std::lock_guard guard(m_lock);
  auto it = m_loops.find(std::this_thread::get_id());
  return it == m_loops.end() ? nullptr : it->second;
}
