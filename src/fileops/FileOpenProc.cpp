#include "fileops/FileOpenProc.h"

#include "fileops/ShellOpen.h"

HRESULT FileOpenProc::Run(const std::u16string& path) {
  ShellOpen(path);
  return S_OK;
}
