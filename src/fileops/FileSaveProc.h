#pragma once
// Offers to save a copy of the file. Run only checks the file and queues the
// request; the Save dialog runs later from the view's message loop, so it
// never runs inside the web view's event callback.
#include "fileops/FileProc.h"
#include "fileops/ISaveCopyTarget.h"
#include "settings/SaveAsEntry.h"

class FileSaveProc final : public FileProc {
 public:
  FileSaveProc(ISaveCopyTarget* target, SaveAsEntry entry) : m_target(target), m_entry(std::move(entry)) {}

  // A missing file shows "ファイルが見つかりません:" followed by the path and
  // returns the error; otherwise the request is queued on the target.
  HRESULT Run(const std::u16string& path) override;

 private:
  ISaveCopyTarget* m_target;  // not owned; the view owns it and the table holding this handler
  SaveAsEntry m_entry;
};
