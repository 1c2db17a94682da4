#pragma once
// Where the save handler leaves its requests: SaveCopyQueue in the program,
// a recording fake in the handler's tests.
#include "com/Types.h"
#include "fileops/SaveCopyRequest.h"

class ISaveCopyTarget {
 public:
  // The window WM_SAVE_COPY is posted to, and the owner of the messages the
  // save shows; null while there is none.
  virtual HWND GetSaveCopyWindow() const = 0;
  // Queues a request to be handled later from the message loop.
  virtual void QueueSaveCopy(SaveCopyRequest request) = 0;

 protected:
  ~ISaveCopyTarget() = default;
};
