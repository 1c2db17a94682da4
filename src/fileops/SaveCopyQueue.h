#pragma once
// Save a copy from the request to the saved file: the queue of requests the
// save handlers make, one WM_SAVE_COPY per request, and the guard that keeps
// Save dialogs from stacking. The view owns one and hands WM_SAVE_COPY to it.
#include <deque>

#include "com/Types.h"
#include "fileops/ISaveCopyTarget.h"
#include "fileops/SaveCopyRequest.h"

class SaveCopyQueue final : public ISaveCopyTarget {
 public:
  // The window WM_SAVE_COPY goes to and that owns the dialogs; set when that
  // window is created, before any handler can make a request.
  void SetWindow(HWND window) { m_window = window; }

  HWND GetSaveCopyWindow() const override { return m_window; }
  // Queues the request and posts one WM_SAVE_COPY for it.
  void QueueSaveCopy(SaveCopyRequest request) override;

  // WM_SAVE_COPY: saves a copy for the oldest request. Posted messages keep
  // flowing under the Save dialog's and the copy's modal loops; a
  // WM_SAVE_COPY that arrives then is counted and posted again once the save
  // ends, so the second dialog opens after the first has closed.
  void SaveNext();

 private:
  HWND m_window = nullptr;
  // Requests not yet handled, oldest first: each WM_SAVE_COPY takes the
  // oldest, so two quick requests each get their dialog.
  std::deque<SaveCopyRequest> m_requests;
  // The remembered state of the Save dialog's "open after saving" box.
  bool m_openAfterSave = false;
  bool m_saving = false;
  int m_deferred = 0;
};
