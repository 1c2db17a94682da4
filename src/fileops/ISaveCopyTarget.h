#pragma once
// Where the save handler leaves its requests: the web view host implements
// this, so the handler neither sees the view's class nor reaches into it.
#include "com/Types.h"
#include "fileops/SaveCopyRequest.h"

class ISaveCopyTarget {
 public:
  // The window WM_SAVE_COPY is posted to, and the owner of the messages the
  // save shows; null while there is none.
  virtual HWND GetSaveCopyWindow() const = 0;
  // Queues a request; each WM_SAVE_COPY handles the oldest one.
  virtual void QueueSaveCopy(SaveCopyRequest request) = 0;

 protected:
  ~ISaveCopyTarget() = default;
};
