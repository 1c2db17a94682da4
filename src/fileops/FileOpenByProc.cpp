#include "fileops/FileOpenByProc.h"

#include "fileops/ShellOpen.h"

HRESULT FileOpenByProc::Run(const std::u16string& path) {
  ShellOpen(app, path);
  return S_OK;
}
