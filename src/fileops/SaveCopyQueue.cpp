#include "fileops/SaveCopyQueue.h"

#include "fileops/SaveCopy.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"

void SaveCopyQueue::QueueSaveCopy(SaveCopyRequest request) {
  m_requests.push_back(std::move(request));
  Platform::Windowing().PostMessage(m_window, WM_SAVE_COPY, 0, 0);
}

void SaveCopyQueue::SaveNext() {
  // Each posted message handles the request it was posted for; a message
  // without one (never expected) does nothing.
  if (m_requests.empty()) return;
  if (m_saving) {
    ++m_deferred;
    return;
  }
  const SaveCopyRequest request = std::move(m_requests.front());
  m_requests.pop_front();
  m_saving = true;
  SaveCopy::Run(m_window, request, m_openAfterSave);
  m_saving = false;
  for (; m_deferred > 0; --m_deferred) Platform::Windowing().PostMessage(m_window, WM_SAVE_COPY, 0, 0);
}
