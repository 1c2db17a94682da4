#pragma once
// The process-wide module: the instance handle and the registry of message
// loops by thread, so that windows find the loop of the thread they run on.
#include <map>
#include <mutex>
#include <thread>

#include "com/Types.h"

class CMessageLoop;

class CAppModule {
 public:
  using HINSTANCE = void*;

  HRESULT Init(HINSTANCE instance);
  void Term();
  // Registers the loop for the calling thread; FALSE when the thread has one.
  BOOL AddMessageLoop(CMessageLoop* loop);
  // Removes the calling thread's entry; FALSE when there is none.
  BOOL RemoveMessageLoop();
  // The calling thread's loop, or null.
  CMessageLoop* GetMessageLoop() const;

  HINSTANCE m_hInst = nullptr;

 private:
  mutable std::mutex m_lock;
  std::map<std::thread::id, CMessageLoop*> m_loops;
};

// The one module object of the process.
extern CAppModule g_module;
